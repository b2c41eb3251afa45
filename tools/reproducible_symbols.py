#!/usr/bin/env python3
"""Makes the PDB and the linker map that GNU ld writes beside the DLL depend
on the build's inputs alone, as the DLL does: the paths they give inside
the source and build folders (every object's, the working folder, the
PDB's own) start with "." and "build" instead, as the compiler's are, and
the PDB's signature field, where ld puts the link time, is 0 like the DLL's
time stamp. The GUID and age, which tie the PDB to the DLL, stay as they
are. Rewrites both files in place.

Usage: reproducible_symbols.py PDB MAP SOURCE_FOLDER BUILD_FOLDER"""
import os
import re
import struct
import sys

MAGIC = b'Microsoft C/C++ MSF 7.00\r\n\x1aDS\0\0\0'
NO_STREAM = 0xFFFFFFFF
INFO_STREAM, DBI_STREAM = 1, 3
DBI_HEADER_SIZE, MODULE_INFO_SIZE_AT = 64, 24
MODULE_RECORD_SIZE, MODULE_STREAM_AT, MODULE_SYMBOLS_SIZE_AT = 64, 34, 36
NO_MODULE_STREAM = 0xFFFF
ENVIRONMENT_BLOCK = 0x113D


def blocks_needed(size, block_size):
    return -(-size // block_size)


def read_streams(data):
    block_size, _, _, directory_size, _, map_block = struct.unpack_from('<6I', data, len(MAGIC))

    def gather(indices, size):
        return b''.join(data[i * block_size:(i + 1) * block_size] for i in indices)[:size]

    count = blocks_needed(directory_size, block_size)
    directory = gather(struct.unpack_from(f'<{count}I', data, map_block * block_size), directory_size)
    stream_count, = struct.unpack_from('<I', directory)
    sizes = struct.unpack_from(f'<{stream_count}I', directory, 4)
    at = 4 + 4 * stream_count
    streams = []
    for size in sizes:
        count = 0 if size == NO_STREAM else blocks_needed(size, block_size)
        streams.append(None if size == NO_STREAM else gather(struct.unpack_from(f'<{count}I', directory, at), size))
        at += 4 * count
    return block_size, streams


def write_streams(block_size, streams):
    """A fresh file: the streams, their directory and its block map, in that
    order, after the header and the two free block maps."""
    pages = []

    def place(data):
        first = 3 + len(pages)
        pages.extend(data[at:at + block_size] for at in range(0, len(data), block_size))
        return list(range(first, 3 + len(pages)))

    placed = [place(stream or b'') for stream in streams]
    directory = struct.pack('<I', len(streams))
    directory += b''.join(struct.pack('<I', NO_STREAM if s is None else len(s)) for s in streams)
    directory += b''.join(struct.pack(f'<{len(p)}I', *p) for p in placed)
    directory_blocks = place(directory)
    map_block, = place(struct.pack(f'<{len(directory_blocks)}I', *directory_blocks))
    block_count = 3 + len(pages)
    if block_count > block_size:
        sys.exit(f'reproducible_symbols: {block_count} blocks need more than one free block map')
    free_map = bytearray(block_size)
    for block in range(block_count, 8 * block_size):
        free_map[block // 8] |= 1 << (block % 8)
    header = MAGIC + struct.pack('<6I', block_size, 1, block_count, len(directory), 0, map_block)
    return b''.join(page.ljust(block_size, b'\0') for page in [header, bytes(free_map), b''] + pages)


def relative(text, folders):
    """The text with every folder replaced, where it starts one."""
    for folder, replacement in folders:
        if text == folder or text.startswith(folder + b'/'):
            return replacement + text[len(folder):]
    return text


def without_folders_in_line(line, folders):
    """A map line with every folder replaced where it starts a path; a path
    may hold spaces, as a maintainer's "My Projects" does."""
    for folder, replacement in folders:
        line = re.sub(rb'(?<![^\s(])' + re.escape(folder) + rb'(?=/|\s|$)', lambda _: replacement, line)
    return line


def without_folders_in_environment(symbols, folders):
    """The module's symbol records with the folders made relative in the
    linker's environment block (working folder, PDB path)."""
    out, at = b'', 4
    while at < len(symbols):
        length, kind = struct.unpack_from('<HH', symbols, at)
        record = symbols[at:at + 2 + length]
        if kind == ENVIRONMENT_BLOCK:
            texts = record[5:].split(b'\0')
            body = record[2:5] + b''.join(relative(t, folders) + b'\0' for t in texts[:texts.index(b'')]) + b'\0'
            body += b'\0' * (-(2 + len(body)) % 4)
            record = struct.pack('<H', len(body)) + body
        out += record
        at += 2 + length
    return symbols[:4] + out


def reproducible(streams, folders):
    info = bytearray(streams[INFO_STREAM])
    info[4:8] = bytes(4)
    streams[INFO_STREAM] = bytes(info)

    dbi = streams[DBI_STREAM]
    modules_size, = struct.unpack_from('<i', dbi, MODULE_INFO_SIZE_AT)
    modules, at = b'', DBI_HEADER_SIZE
    while at < DBI_HEADER_SIZE + modules_size:
        fixed = bytearray(dbi[at:at + MODULE_RECORD_SIZE])
        module_name, object_name = dbi[at + MODULE_RECORD_SIZE:].split(b'\0', 2)[:2]
        at += MODULE_RECORD_SIZE + len(module_name) + len(object_name) + 2
        at += -at % 4
        stream, = struct.unpack_from('<H', fixed, MODULE_STREAM_AT)
        if stream != NO_MODULE_STREAM:
            symbols_size, = struct.unpack_from('<I', fixed, MODULE_SYMBOLS_SIZE_AT)
            old = streams[stream]
            symbols = without_folders_in_environment(old[:symbols_size], folders)
            streams[stream] = symbols + old[symbols_size:]
            struct.pack_into('<I', fixed, MODULE_SYMBOLS_SIZE_AT, len(symbols))
        record = bytes(fixed) + relative(module_name, folders) + b'\0' + relative(object_name, folders) + b'\0'
        modules += record + b'\0' * (-len(record) % 4)
    header = bytearray(dbi[:DBI_HEADER_SIZE])
    struct.pack_into('<i', header, MODULE_INFO_SIZE_AT, len(modules))
    streams[DBI_STREAM] = bytes(header) + modules + dbi[DBI_HEADER_SIZE + modules_size:]
    for named, _ in folders:
        if any(s is not None and named in s for s in streams):
            sys.exit(f'reproducible_symbols: {named.decode()} is still named in the PDB')


def main():
    pdb, linker_map, source, build = sys.argv[1:]
    # Longest first: the build folder may lie inside the source folder.
    folders = sorted({(os.fsencode(f), b'.') for f in (source, os.path.realpath(source))} |
                     {(os.fsencode(f), b'build') for f in (build, os.path.realpath(build))}, key=lambda f: -len(f[0]))
    with open(pdb, 'rb') as f:
        block_size, streams = read_streams(f.read())
    reproducible(streams, folders)
    with open(pdb, 'wb') as f:
        f.write(write_streams(block_size, streams))
    with open(linker_map, 'rb') as f:
        lines = f.read().split(b'\n')
    with open(linker_map, 'wb') as f:
        f.write(b'\n'.join(without_folders_in_line(line, folders) for line in lines))


main()
