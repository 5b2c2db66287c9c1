#!/usr/bin/env python3
"""Draws the viewer's icon: a yellow chick flapping its wing.

    make_icon.py [icon.png]      the window's 32 x 32, 256-colour PNG, pixel by pixel
    make_icon.py --theme DIR     the same chick as DIR/patapata.svg, and DIR/patapata-N.png
                                 at the desktop theme's sizes, rendered from the SVG with
                                 rsvg-convert (Debian: librsvg2-bin)
"""
import math
import os
import struct
import subprocess
import sys
import zlib

SIZE = 32
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (40, 30, 20),     # 1 outline
    (255, 214, 40),   # 2 body
    (255, 240, 150),  # 3 highlight
    (240, 130, 20),   # 4 beak and feet
    (30, 30, 30),     # 5 eye
    (255, 255, 255),  # 6 eye glint
    (230, 170, 20),   # 7 wing
    (250, 150, 150),  # 8 cheek
]


def inside_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def pixel(x, y):
    px, py = x + 0.5, y + 0.5
    body = inside_ellipse(px, py, 16, 19, 11.5, 10.5)
    body_outline = inside_ellipse(px, py, 16, 19, 12.5, 11.5)
    # The wing is raised: an ellipse tilted up and out to the left.
    wx, wy = px - 7.5, py - 14
    a = math.radians(-35)
    rx, ry = wx * math.cos(a) - wy * math.sin(a), wx * math.sin(a) + wy * math.cos(a)
    wing = (rx / 6.5) ** 2 + (ry / 3.2) ** 2 <= 1.0
    wing_outline = (rx / 7.5) ** 2 + (ry / 4.2) ** 2 <= 1.0
    beak = 24 <= px <= 30 and abs(py - 17) <= (30 - px) * 0.5
    foot = (py >= 29.5 and py <= 31.5) and (11 <= px <= 14 or 18 <= px <= 21)
    if inside_ellipse(px, py, 21, 14, 1.0, 1.0):
        return 6
    if inside_ellipse(px, py, 20.5, 14.5, 2.0, 2.2):
        return 5
    if beak:
        return 4
    if wing:
        return 7
    if wing_outline and not body:
        return 1
    if body:
        if inside_ellipse(px, py, 20.5, 20, 2.2, 1.4):
            return 8
        if inside_ellipse(px, py, 12, 13, 4, 3):
            return 3
        return 2
    if body_outline:
        return 1
    if foot:
        return 4
    return 0


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main(path):
    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    rows = b"".join(b"\x00" + bytes(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    png += chunk(b"tRNS", b"\x00")  # palette entry 0 is transparent
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


THEME_SIZES = [16, 32, 48, 64, 128, 256]


def colour(index):
    return "#%02x%02x%02x" % PALETTE[index]


def svg():
    """The shapes pixel() tests, drawn bottom first, in the same 32-unit square."""
    outline = colour(1)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <title>patapata</title>
  <g fill="{colour(4)}">
    <rect x="11" y="29.5" width="3" height="2"/>
    <rect x="18" y="29.5" width="3" height="2"/>
  </g>
  <ellipse cx="16" cy="19" rx="12.5" ry="11.5" fill="{outline}"/>
  <ellipse transform="translate(7.5 14) rotate(35)" rx="7.5" ry="4.2" fill="{outline}"/>
  <ellipse cx="16" cy="19" rx="11.5" ry="10.5" fill="{colour(2)}"/>
  <ellipse cx="12" cy="13" rx="4" ry="3" fill="{colour(3)}"/>
  <ellipse cx="20.5" cy="20" rx="2.2" ry="1.4" fill="{colour(8)}"/>
  <ellipse transform="translate(7.5 14) rotate(35)" rx="6.5" ry="3.2" fill="{colour(7)}"/>
  <path d="M24 14 L30 17 L24 20 Z" fill="{colour(4)}"/>
  <ellipse cx="20.5" cy="14.5" rx="2" ry="2.2" fill="{colour(5)}"/>
  <circle cx="21" cy="14" r="1" fill="{colour(6)}"/>
</svg>
"""


def theme(directory):
    os.makedirs(directory, exist_ok=True)
    source = os.path.join(directory, "patapata.svg")
    with open(source, "w", encoding="utf-8") as out:
        out.write(svg())
    for size in THEME_SIZES:
        target = os.path.join(directory, f"patapata-{size}.png")
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", target, source],
                       check=True)


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--theme":
        theme(sys.argv[2])
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else "icon.png")
