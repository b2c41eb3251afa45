#!/usr/bin/env python3
"""Checks the DLL's resources against what the page and the host rely on:
dialog 101 byte for byte, icon group 103, the version record and each of
its strings by its key in the block its Translation names, and that all of
them are in language 1033."""
import re
import struct
import subprocess
import sys
import tempfile

dll = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def resource(type_id, name):
    return subprocess.run(['wrestool', '-x', '--raw', f'--type={type_id}', f'--name={name}', dll],
                          check=True, capture_output=True).stdout


def words(text):
    return text.encode('utf-16-le') + b'\0\0'


def align(blob):
    return blob + b'\0' * (-len(blob) % 4)


BUTTON, STATIC, COMBOBOX = 0x80, 0x82, 0x85
CONTROLS = [
    # class, id, text (str or icon ordinal), x, y, cx, cy, style
    (BUTTON, 102, 'Enable plugin', 13, 16, 59, 10, 0x50010003),
    (STATIC, 104, 'Text Format:', 11, 35, 40, 8, 0x50020000),
    (COMBOBOX, 1002, '', 55, 32, 264, 136, 0x50210142),
    (STATIC, 0xFFFF, 103, 293, 7, 20, 20, 0x50000003),
    (BUTTON, 0xFFFF, 'Vexil Status', 5, 1, 318, 51, 0x50000007),
]


def expected_dialog():
    blob = struct.pack('<IIHhhhh', 0x40000040, 0, len(CONTROLS), 0, 0, 332, 161)
    blob += b'\0\0' + b'\0\0' + words('')  # no menu, default class, empty title
    blob += struct.pack('<H', 8) + words('MS Sans Serif')
    for cls, control_id, text, x, y, cx, cy, style in CONTROLS:
        blob = align(blob)
        blob += struct.pack('<IIhhhhH', style, 0, x, y, cx, cy, control_id)
        blob += struct.pack('<HH', 0xFFFF, cls)
        blob += struct.pack('<HH', 0xFFFF, text) if isinstance(text, int) else words(text)
        blob += b'\0\0'  # no creation data
    return blob


dialog = resource(5, 101)
expected = expected_dialog()
check(dialog[:len(expected)] == expected and not dialog[len(expected):].strip(b'\0'),
      f'dialog 101 differs from the template:\n  got      {dialog.hex()}\n  expected {expected.hex()}')

listing = subprocess.run(['wrestool', '-l', dll], check=True, capture_output=True, text=True).stdout
for line in listing.splitlines():
    check('--language=1033' in line, f'resource not in language 1033: {line}')
check('--type=14 --name=103' in listing, 'no icon group 103')

with tempfile.NamedTemporaryFile(suffix='.ico') as icon:
    subprocess.run(['wrestool', '-x', '--type=14', '--name=103', f'--output={icon.name}', dll], check=True)
    images = subprocess.run(['icotool', '-l', icon.name], check=True, capture_output=True, text=True).stdout
sizes = [(int(w), int(h), int(d)) for w, h, d in re.findall(r'--width=(\d+) --height=(\d+) --bit-depth=(\d+)', images)]
check(sizes == [(32, 32, 4), (16, 16, 4), (20, 20, 4), (24, 24, 4)], f'icon images are {sizes}')
check(images.count('--palette-size=16') == 4, f'icon palettes: {images}')

# What a file-properties page shows: each string under its own key, in the
# string block that Translation names.
STRINGS = {
    'CompanyName': 'Vexil Status developers',
    'FileDescription': 'Shows the playing track as the Yahoo! Messenger status',
    'FileVersion': '0.1.0.1',
    'InternalName': 'vexil_status',
    'LegalCopyright': 'Copyright (C) 2026 Vexil Status developers',
    'OriginalFilename': 'vexil_status.dll',
    'ProductName': 'Vexil Status',
    'ProductVersion': '0.1.0.1',
}


def version_node(blob, at):
    """The version record's node at at, as (key, value's bytes, children)."""
    length, value_length, is_text = struct.unpack_from('<HHH', blob, at)
    key_end = at + 6
    while blob[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = blob[at + 6:key_end].decode('utf-16-le')
    value_at = key_end + 2
    value_at += -value_at % 4
    value = blob[value_at:value_at + value_length * (2 if is_text else 1)]
    children, child_at = [], value_at + len(value)
    while True:
        child_at += -child_at % 4
        if child_at >= at + length:
            break
        children.append(version_node(blob, child_at))
        child_at += struct.unpack_from('<H', blob, child_at)[0]
    return key, value, children


def child(node, key):
    return next((c for c in node[2] if c[0] == key), (key, b'', []))


root = version_node(resource(16, 1), 0)
check(root[0] == 'VS_VERSION_INFO', f'the version record is {root[0]!r}')
signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<IIIIII', root[1])
check(signature == 0xFEEF04BD, 'no fixed version information')
check((file_ms, file_ls) == (0x00000001, 0x00000001), f'file version {file_ms:08x}.{file_ls:08x}')
check((product_ms, product_ls) == (0x00000001, 0x00000001), f'product version {product_ms:08x}.{product_ls:08x}')

blocks = {key: {name: text.decode('utf-16-le').rstrip('\0') for name, text, _ in strings}
          for key, _, strings in child(root, 'StringFileInfo')[2]}
translation = child(child(root, 'VarFileInfo'), 'Translation')[1]
check(len(translation) == 4, f'Translation is {translation.hex()}')
if len(translation) == 4:
    language, code_page = struct.unpack('<HH', translation)
    named = f'{language:04X}{code_page:04X}'
    check(named in blocks, f'Translation {language:04X} {code_page} names none of the string blocks {list(blocks)}')
    strings = blocks.get(named, {})
    for key, expected in STRINGS.items():
        check(strings.get(key) == expected, f'{key} is {strings.get(key)!r}, not {expected!r}')
    check(set(strings) <= set(STRINGS), f'unexpected strings {sorted(set(strings) - set(STRINGS))}')

if failures:
    print('\n'.join('FAIL: ' + f for f in failures))
    sys.exit(1)
print('resources ok: dialog 101, icon group 103 (32, 16, 20, 24 px, 16 colours), version 0.1.0.1 with its strings where Translation points, language 1033')
