#!/usr/bin/env python3
"""Checks the resources of the DLL and the status check against what the
page, the host and a file-properties page rely on: the DLL's dialog 101
byte for byte and its icon group 103; for both, the version record's fixed
part field by field and each of its strings by its key in the block its
Translation names, and that every resource is in language 1033.

Usage: check_resources.py DLL STATUS_CHECK"""
import os
import re
import struct
import subprocess
import sys
import tempfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
dll, status_check = sys.argv[1:]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def resource(path, type_id, name):
    return subprocess.run(['wrestool', '-x', '--raw', f'--type={type_id}', f'--name={name}', path],
                          check=True, capture_output=True).stdout


def words(text):
    return text.encode('utf-16-le') + b'\0\0'


def align(blob):
    return blob + b'\0' * (-len(blob) % 4)


def check_languages(path):
    listing = subprocess.run(['wrestool', '-l', path], check=True, capture_output=True, text=True).stdout
    for line in listing.splitlines():
        check('--language=1033' in line, f'{path}: resource not in language 1033: {line}')
    return listing


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


dialog = resource(dll, 5, 101)
expected = expected_dialog()
check(dialog[:len(expected)] == expected and not dialog[len(expected):].strip(b'\0'),
      f'dialog 101 differs from the template:\n  got      {dialog.hex()}\n  expected {expected.hex()}')

listing = check_languages(dll)
check('--type=14 --name=103' in listing, 'no icon group 103')

with tempfile.NamedTemporaryFile(suffix='.ico') as icon:
    subprocess.run(['wrestool', '-x', '--type=14', '--name=103', f'--output={icon.name}', dll], check=True)
    images = subprocess.run(['icotool', '-l', icon.name], check=True, capture_output=True, text=True).stdout
sizes = [(int(w), int(h), int(d)) for w, h, d in re.findall(r'--width=(\d+) --height=(\d+) --bit-depth=(\d+)', images)]
check(sizes == [(32, 32, 4), (16, 16, 4), (20, 20, 4), (24, 24, 4)], f'icon images are {sizes}')
check(images.count('--palette-size=16') == 4, f'icon palettes: {images}')


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


def declared_version():
    """The version as contract/version.h defines it, once for every file."""
    with open(os.path.join(SOURCE, 'contract', 'version.h')) as f:
        defined = dict(re.findall(r'^#define (VEXIL_\w+) (.+)$', f.read(), flags=re.M))
    numbers = [int(defined[f'VEXIL_VERSION_{part}']) for part in ('MAJOR', 'MINOR', 'PATCH', 'BUILD')]
    return numbers, defined['VEXIL_VERSION_FULL_TEXT'].strip('"'), defined['VEXIL_COMPONENT_NAME'].strip('"')


VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, VS_FFI_FILEFLAGSMASK = 0xFEEF04BD, 0x00010000, 0x3F
VOS_NT_WINDOWS32, VFT_APP, VFT_DLL, VFT2_UNKNOWN = 0x00040004, 1, 2, 0
FIXED_FIELDS = ('signature', 'structure version', 'file version (high)', 'file version (low)', 'product version (high)',
                'product version (low)', 'flags mask', 'flags', 'OS', 'type', 'subtype', 'date (high)', 'date (low)')


def check_version_record(path, file_type, described, internal_name):
    """What a file-properties page shows: every field of the fixed part,
    and each string under its own key, in the string block that Translation
    names."""
    numbers, full_text, product = declared_version()
    root = version_node(resource(path, 16, 1), 0)
    check(root[0] == 'VS_VERSION_INFO', f'{path}: the version record is {root[0]!r}')
    high, low = numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]
    expected_fixed = (VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, high, low, high, low, VS_FFI_FILEFLAGSMASK, 0, VOS_NT_WINDOWS32, file_type,
                      VFT2_UNKNOWN, 0, 0)
    check(len(root[1]) == 4 * len(FIXED_FIELDS), f'{path}: the fixed part is {len(root[1])} bytes')
    if len(root[1]) == 4 * len(FIXED_FIELDS):
        for field, got, expected in zip(FIXED_FIELDS, struct.unpack('<13I', root[1]), expected_fixed):
            check(got == expected, f'{path}: fixed {field} is {got:#010x}, not {expected:#010x}')

    strings_expected = {
        'CompanyName': 'Vexil Status developers',
        'FileDescription': described,
        'FileVersion': full_text,
        'InternalName': internal_name,
        'LegalCopyright': 'Copyright (C) 2026 Vexil Status developers',
        'OriginalFilename': os.path.basename(path),
        'ProductName': product,
        'ProductVersion': full_text,
    }
    blocks = {key: {name: text.decode('utf-16-le').rstrip('\0') for name, text, _ in strings}
              for key, _, strings in child(root, 'StringFileInfo')[2]}
    translation = child(child(root, 'VarFileInfo'), 'Translation')[1]
    check(len(translation) == 4, f'{path}: Translation is {translation.hex()}')
    if len(translation) == 4:
        language, code_page = struct.unpack('<HH', translation)
        named = f'{language:04X}{code_page:04X}'
        check(named in blocks, f'{path}: Translation {language:04X} {code_page} names none of the string blocks {list(blocks)}')
        strings = blocks.get(named, {})
        for key, expected in strings_expected.items():
            check(strings.get(key) == expected, f'{path}: {key} is {strings.get(key)!r}, not {expected!r}')
        check(set(strings) <= set(strings_expected), f'{path}: unexpected strings {sorted(set(strings) - set(strings_expected))}')


check_version_record(dll, VFT_DLL, 'Shows the playing track as the Yahoo! Messenger status', 'vexil_status')
check_version_record(status_check, VFT_APP, 'Checks why the Yahoo! Messenger status does or does not change', 'vexil_check')
check_languages(status_check)

if failures:
    print('\n'.join('FAIL: ' + f for f in failures))
    sys.exit(1)
print(f'resources ok: dialog 101, icon group 103 (32, 16, 20, 24 px, 16 colours); the version records of {os.path.basename(dll)} and '
      f'{os.path.basename(status_check)}, fixed part and strings where Translation points; language 1033')
