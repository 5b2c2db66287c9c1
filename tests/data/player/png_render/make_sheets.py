#!/usr/bin/env python3
"""Writes the two sheets of the PNG render test and their character files.

sheet.png is an RGBA sprite sheet as paint programs export it: 300 x 280 pixels, sprites on a
transparent background. Transparent pixels (alpha below 128) hide all kinds of colours, and
the bottom-right pixel is one of them, hiding magenta; anti-aliased edge pixels have alphas
of 128 and more. sheet_keyed.bmp is the same picture as a 24-bit BMP with every transparent
pixel painted magenta, the colour the sheet's rule gives them. png.chp and bmp.chp are the
same character, each naming one of the two sheets, so both must play the same frames.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 300, 280
KEY = (255, 0, 255)


def pixel(x, y):
    """(r, g, b, alpha) of the sheet."""
    hidden = ((x // 4 * 37) % 256, (y // 4 * 53) % 256, (x // 4 * y // 4) % 256)
    fade = (x // 4 * 7 + y // 4 * 13) % 128  # alphas 0..127: transparent
    if (x, y) == (W - 1, H - 1):
        return KEY + (0,)
    if x < 121 and y < 271:
        # The backdrop, copied opaque: its transparent holes show the key colour.
        if (x // 10 + y // 10) % 7 == 0:
            return hidden + (fade,)
        return (x * 2 % 256, y % 256, 64, 255)
    for i, left in enumerate((130, 160, 190, 220)):
        if left <= x < left + 30 and y < 40:
            dx, dy = x - left - 15, y - 20
            distance = dx * dx + dy * dy
            if distance > 90:
                return hidden + (fade,)
            if distance > 75:  # the anti-aliased rim
                return (250, 250, 250, 128 + (distance * 9) % 128)
            return (40 + 50 * i, 200 - 30 * i, (x * 7 + y * 3) % 256, 255)
    if 130 <= x < 150 and 200 <= y < 220:
        if (x + y) % 5 == 0:
            return hidden + (fade,)
        return (250, (x * 11) % 256, (y * 13) % 256, 255)
    return hidden + (fade,)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_png(path, rows):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_bmp(path, rows):
    row_bytes = (W * 3 + 3) // 4 * 4
    pixels = b"".join(bytes(v for r, g, b in row for v in (b, g, r)).ljust(row_bytes, b"\0")
                      for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


CHARACTER = """#CHARNAME png
#ANIME 50
#CHARBMP {sheet}
#1 0 0 121 271
#2 130 0 30 40
#3 160 0 30 40
#4 190 0 30 40
#5 220 0 30 40
#6 130 200 20 20
#7 -5 100 20 20
#8 110 250 20 30
#PATERN 01 0203
#PATERN 06 040504
#LAYER 06 0606 0708
#PATERN 10 05
#LAYER 10 06FF 08
"""


def main():
    rgba = [[pixel(x, y) for x in range(W)] for y in range(H)]
    write_png(os.path.join(HERE, "sheet.png"), rgba)
    keyed = [[p[:3] if p[3] >= 128 else KEY for p in row] for row in rgba]
    write_bmp(os.path.join(HERE, "sheet_keyed.bmp"), keyed)
    for name, sheet in (("png.chp", "sheet.png"), ("bmp.chp", "sheet_keyed.bmp")):
        with open(os.path.join(HERE, name), "w", newline="\r\n") as f:
            f.write(CHARACTER.format(sheet=sheet))


if __name__ == "__main__":
    main()
