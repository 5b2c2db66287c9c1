#!/usr/bin/env python3
"""Draws the bundled sample character, a chick called ひよこ, and writes its sprite sheet
(hiyoko.bmp, 8 bits per pixel) and character file (hiyoko.chp, Shift-JIS) beside this script.

Run it again after changing it; both outputs are committed so nobody has to."""

import math
import os
import struct

CEL_W, CEL_H = 121, 271
COLUMNS = 6
KEY = (255, 0, 255)  # transparent colour: the sheet's bottom-right pixel

SKY = [(150 + i * 5, 200 + i * 3, 255) for i in range(16)]
GRASS, GRASS_DARK, SOIL = (96, 176, 72), (64, 140, 56), (150, 110, 70)
YELLOW, YELLOW_DARK, ORANGE = (255, 224, 64), (232, 184, 32), (248, 140, 32)
BLACK, WHITE, PINK, BLUE, GREY = (32, 24, 24), (255, 255, 255), (255, 160, 170), (90, 160, 255), (120, 150, 110)
RED, STAR, STAR_CORE = (220, 40, 40), (255, 240, 120), (255, 255, 220)


class Sheet:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[KEY] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, c)

    def ellipse(self, cx, cy, rx, ry, c, clip=None):
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    if clip is None or (clip[0] <= x < clip[2] and clip[1] <= y < clip[3]):
                        self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for dx in range(width):
                for dy in range(width):
                    self.put(int(round(x)) + dx, int(round(y)) + dy, c)

    def polygon(self, points, c):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(int(math.ceil(a)), int(math.floor(b)) + 1):
                    self.put(x, y, c)


def background(s, ox, oy):
    for y in range(CEL_H):
        band = SKY[min(15, y * 16 // 220)]
        for x in range(CEL_W):
            s.put(ox + x, oy + y, band if y < 228 else GRASS)
    for x in range(0, CEL_W, 9):  # tufts of grass along the horizon
        s.line(ox + x, oy + 228, ox + x + 3, oy + 222, GRASS_DARK)
    s.rect(ox, oy + 258, ox + CEL_W, oy + CEL_H, SOIL)
    for cx, cy in ((24, 40), (84, 70)):  # two clouds
        s.ellipse(ox + cx, oy + cy, 14, 7, WHITE)
        s.ellipse(ox + cx + 12, oy + cy - 4, 11, 8, WHITE)


def chick(s, ox, oy, dy=0, dx=0, squash=1.0, eyes="open", look=0, wings="down",
          beak="closed", brows=False, blush=True, tear=False):
    cx = ox + 60 + dx
    ground = oy + 240
    ry = 30 * squash
    cy = ground - 8 - ry + dy
    s.ellipse(ox + 60, ground + 1, 26 - min(10, -dy // 3 if dy < 0 else 0), 4, GREY)  # shadow
    # Feet
    for fx in (-10, 8):
        s.line(cx + fx, cy + ry, cx + fx, cy + ry + 7, ORANGE, 2)
        s.line(cx + fx - 3, cy + ry + 7, cx + fx + 4, cy + ry + 7, ORANGE, 2)
    # Body, with a darker belly edge
    s.ellipse(cx, cy, 33, ry + 1, YELLOW_DARK)
    s.ellipse(cx, cy - 1, 32, ry, YELLOW)
    # Tuft
    s.line(cx, cy - ry, cx - 3, cy - ry - 9, YELLOW_DARK, 2)
    s.line(cx + 2, cy - ry, cx + 6, cy - ry - 7, YELLOW_DARK, 2)
    # Wings
    if wings == "down":
        s.ellipse(cx - 31, cy + 6, 8, 13, YELLOW_DARK)
        s.ellipse(cx + 31, cy + 6, 8, 13, YELLOW_DARK)
    else:
        s.polygon([(cx - 26, cy), (cx - 46, cy - 26), (cx - 34, cy + 4)], YELLOW_DARK)
        s.polygon([(cx + 26, cy), (cx + 46, cy - 26), (cx + 34, cy + 4)], YELLOW_DARK)
    ey = cy - ry * 0.25
    for side in (-1, 1):
        ex = cx + side * 12
        if eyes == "open":
            s.ellipse(ex + look, ey, 4, 5, BLACK)
            s.put(ex + look - 1, int(ey) - 2, WHITE)
            s.put(ex + look, int(ey) - 2, WHITE)
        elif eyes == "closed":
            s.line(ex - 4, ey, ex + 4, ey, BLACK, 2)
        elif eyes == "happy":
            s.line(ex - 4, ey + 2, ex, ey - 3, BLACK, 2)
            s.line(ex, ey - 3, ex + 4, ey + 2, BLACK, 2)
        elif eyes == "x":
            s.line(ex - 4, ey - 4, ex + 4, ey + 4, BLACK, 2)
            s.line(ex - 4, ey + 4, ex + 4, ey - 4, BLACK, 2)
        elif eyes == "swirl":
            for r in (5, 3):
                for a in range(0, 360, 12):
                    s.put(int(ex + r * math.cos(math.radians(a))), int(ey + r * math.sin(math.radians(a))), BLACK)
        if brows:
            s.line(ex - 5 * side, ey - 9, ex + 4 * side, ey - 6, BLACK, 2)
        if blush:
            s.ellipse(ex + side * 7, ey + 8, 4, 2, PINK)
    if tear:
        s.ellipse(cx - 14, ey + 10, 2, 4, BLUE)
    by = ey + 5
    if beak == "closed":
        s.polygon([(cx - 6, by), (cx + 6, by), (cx, by + 7)], ORANGE)
    else:
        s.polygon([(cx - 6, by - 2), (cx + 6, by - 2), (cx, by + 3)], ORANGE)
        s.polygon([(cx - 5, by + 3), (cx + 5, by + 3), (cx, by + 9)], RED)


def sparkle(s, ox, oy, size, phase):
    c = size / 2
    r_out, r_in = c - 1, c / 3
    points = []
    for k in range(8):
        a = math.radians(k * 45 + phase)
        r = r_out if k % 2 == 0 else r_in
        points.append((ox + c + r * math.cos(a), oy + c + r * math.sin(a)))
    s.polygon(points, STAR)
    s.ellipse(ox + c, oy + c, 2.5, 2.5, STAR_CORE)


def sweat(s, ox, oy):
    s.polygon([(ox + 7, oy + 1), (ox + 12, oy + 12), (ox + 2, oy + 12)], BLUE)
    s.ellipse(ox + 7, oy + 13, 5, 5, BLUE)
    s.put(ox + 5, oy + 12, WHITE)


# Cel number → drawing; cel 1 is the backdrop of every frame.
FRAMES = {
    0x02: dict(), 0x03: dict(dy=-2), 0x04: dict(dy=-3), 0x05: dict(dy=-2, eyes="closed"),
    0x06: dict(look=-3), 0x07: dict(look=3),
    0x08: dict(dx=-3, brows=True, beak="open", blush=False),
    0x09: dict(dx=3, brows=True, beak="open", blush=False),
    0x0A: dict(squash=1.15, dy=-4, eyes="open"),
    0x0B: dict(eyes="happy", wings="up"), 0x0C: dict(dy=-14, eyes="happy", wings="up", beak="open"),
    0x0D: dict(dy=-26, eyes="happy", wings="up", beak="open"),
    0x0E: dict(dx=-5, eyes="x", squash=0.85, beak="open"),
    0x0F: dict(dx=5, eyes="x", squash=0.85, beak="open"),
    0x10: dict(eyes="closed", squash=0.9),
    0x11: dict(eyes="swirl", dx=-2, beak="open"), 0x12: dict(eyes="swirl", dx=2, beak="open"),
    0x13: dict(dy=-10, eyes="happy", wings="up"),
    0x14: dict(dy=-30, eyes="happy", wings="up", beak="open"),
    0x15: dict(dy=-18, eyes="happy", wings="up", beak="open"),
    0x16: dict(squash=0.7, eyes="closed", tear=True, blush=False),
    0x17: dict(squash=0.72, eyes="closed", tear=True, blush=False, dy=1),
}
CHAR_CELS = sorted(FRAMES)
EFFECT_Y = CEL_H * ((len(CHAR_CELS) + 1 + COLUMNS - 1) // COLUMNS)

# Effect cels on a strip below the frames: (x, y, w, h) on the sheet.
EFFECTS = {0x20: (0, EFFECT_Y, 24, 24), 0x21: (24, EFFECT_Y, 14, 20), 0x22: (40, EFFECT_Y, 24, 24)}
# Destination cels give view positions; 0x30 hangs over the right edge, 0x31 over the left.
DESTS = {0x30: (104, 118, 24, 24), 0x31: (-8, 150, 24, 24), 0x32: (84, 168, 14, 20)}


def cel_origin(index):
    return (index % COLUMNS) * CEL_W, (index // COLUMNS) * CEL_H


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    width = COLUMNS * CEL_W
    height = EFFECT_Y + 32
    s = Sheet(width, height)
    cels = {1: (0, 0, CEL_W, CEL_H)}
    background(s, 0, 0)
    for i, cel in enumerate(CHAR_CELS, start=1):
        ox, oy = cel_origin(i)
        chick(s, ox, oy, **FRAMES[cel])
        cels[cel] = (ox, oy, CEL_W, CEL_H)
    sparkle(s, *EFFECTS[0x20][:2], 24, 0)
    sweat(s, *EFFECTS[0x21][:2])
    sparkle(s, *EFFECTS[0x22][:2], 24, 22)
    cels.update(EFFECTS)
    cels.update(DESTS)
    assert s.px[height - 1][width - 1] == KEY
    write_bmp8(os.path.join(here, "hiyoko.bmp"), s)
    write_chp(os.path.join(here, "hiyoko.chp"), cels)


def write_bmp8(path, s):
    colours = sorted({c for row in s.px for c in row})
    assert len(colours) <= 256, len(colours)
    index = {c: i for i, c in enumerate(colours)}
    stride = (s.w + 3) & ~3
    pixels = bytearray()
    for row in reversed(s.px):  # bottom-up rows
        pixels += bytes(index[c] for c in row) + bytes(stride - s.w)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, s.w, s.h, 1, 8, 0, len(pixels), 2835, 2835,
                       len(colours), 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def write_chp(path, cels):
    lines = [
        "#CHARNAME ひよこ",
        "#ANIME 120",
        "#CHARBMP hiyoko.bmp",
        "#DATA 16",
    ]
    for n in sorted(cels):
        x, y, w, h = cels[n]
        lines.append(f"#{n:02X} {x} {y} {w} {h}")
    lines += [
        "#PATERN 01 02030405",     # 通常１: breathing, a blink
        "#PATERN 02 0606060707070606",  # 通常２: looking around
        "#PATERN 03 08090809",     # おじゃま: cross
        "#PATERN 05 0A",           # 立ち
        "#PATERN 15 1314151413",   # 勝ち: jumping
        "#PATERN 16 1617",         # 負け: crying
        "#PATERN 06 0B0C0D0C0B",   # 喜び１, with sparkles over both edges of the view
        "#LAYER 06 2022202220 3031303130",
        "#PATERN 07 0B0D0B0D",     # 喜び２
        "#PATERN 08 0D0D0C0B",     # 喜び３
        "#PATERN 10 0E0F0E0F10",   # ダメージ１, with a drop of sweat
        "#LAYER 10 2121212121 3232323232",
        "#PATERN 11 0F0E0F0E10",   # ダメージ２
        "#PATERN 12 10100E0F10",   # ダメージ３
        "#PATERN 04 11121112",     # ミス: dizzy
    ]
    text = "\r\n".join(lines) + "\r\n"
    with open(path, "wb") as f:
        f.write(text.encode("cp932"))


if __name__ == "__main__":
    main()
