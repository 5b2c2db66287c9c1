#!/usr/bin/env python3
"""Writes sheet.bmp, the sprite sheet of multi.chp: 300 x 280 pixels, 24 bits, bottom-up.

Cel 1 is a gradient backdrop; cels 2..5 are 30 x 40 sprites and cel 6 a 20 x 20 layer
sprite, each with a ring of magenta (the key colour, also the bottom-right pixel) so that
keyed copies show what lies below."""
import struct

W, H = 300, 280
KEY = (255, 0, 255)


def pixel(x, y):
    if (x, y) == (W - 1, H - 1):
        return KEY
    if x < 121 and y < 271:
        return (x * 2 % 256, y % 256, 64)
    for i, left in enumerate((130, 160, 190, 220)):
        if left <= x < left + 30 and y < 40:
            dx, dy = x - left - 15, y - 20
            if 60 <= dx * dx + dy * dy <= 90:
                return KEY
            return (40 + 50 * i, 200 - 30 * i, (x * 7 + y * 3) % 256)
    if 130 <= x < 150 and 200 <= y < 220:
        if (x + y) % 5 == 0:
            return KEY
        return (250, (x * 11) % 256, (y * 13) % 256)
    return (10, 20, 30)


row_bytes = (W * 3 + 3) // 4 * 4
pixels = bytearray()
for y in range(H - 1, -1, -1):
    row = bytearray()
    for x in range(W):
        r, g, b = pixel(x, y)
        row += bytes((b, g, r))
    row += bytes(row_bytes - len(row))
    pixels += row
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open('sheet.bmp', 'wb') as f:
    f.write(header + info + pixels)
