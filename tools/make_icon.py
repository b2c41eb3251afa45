#!/usr/bin/env python3
"""Draws the page's icon, a flag with a music note, as a 16-colour .ico.

Images of 32x32, 16x16, 20x20 and 24x24 pixels, in that order, each drawn
from the same shapes so that every size stays clean.
"""
import struct
import sys

# Sixteen colours as (blue, green, red); each is written with a reserved 0
# after it. The order is the VGA text palette's, with blue at 1 and 9 and red
# at 4 and 12: red and blue swap places against Windows' standard order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_GREY, LIGHT_GREY, BLUE, NAVY, WHITE = 0, 8, 7, 9, 1, 15
TRANSPARENT = None
SIZES = [32, 16, 20, 24]


def draw(size):
    """Returns rows (top first) of palette indexes or TRANSPARENT."""
    px = [[TRANSPARENT] * size for _ in range(size)]
    u = size / 16.0  # one unit of the 16-pixel design

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * u)), int(round(y1 * u))):
            for x in range(int(round(x0 * u)), int(round(x1 * u))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    fill(1, 1, 3, 16, DARK_GREY)       # pole
    fill(1.5, 1, 2.5, 16, LIGHT_GREY)  # pole highlight
    fill(3, 2, 15, 11, NAVY)           # flag border
    fill(4, 3, 14, 10, BLUE)           # flag
    fill(7, 7, 10, 9, WHITE)           # note head
    fill(9, 3, 10, 8, WHITE)           # note stem
    fill(10, 3, 11, 4, WHITE)          # note tail, curling down
    fill(11, 4, 12, 6, WHITE)
    return px


def image(size):
    rows = draw(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is TRANSPARENT else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for b, g, r in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def icon():
    images = [image(s) for s in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(icon())
