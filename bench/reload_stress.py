#!/usr/bin/env python3
"""Saves a large sheet again and again while the real viewer watches it, and counts what went
wrong: error boxes, and saves whose picture the view did not show within a second.

Usage: bench/reload_stress.py [--saves N] [--exe PATH]   (run it under xvfb-run -a)

The viewer runs with automatic sheet reload on and settings of its own (a private
XDG_CONFIG_HOME). Each save writes a 2048 x 2048 24-bit BMP of one colour, in one of three
ways: in place at the same size, truncated and written in chunks, or written to a temporary
file and renamed over the sheet. After each save the script reads the view's pixel from the
screen until it shows the new colour, for at most a second.
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import time

SIZE = 2048
TITLE = "ぱたぱた！"
CHUNK = 1 << 20


def bmp(colour):
    """A bottom-up 24-bit BMP of one colour; the bottom-right pixel (the key) is black."""
    row_bytes = SIZE * 3
    pixel = bytes((colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16))
    row = pixel * SIZE
    # Bottom-up: the first row in the file is the bottom one, whose last pixel is the key.
    bottom = pixel * (SIZE - 1) + b"\0\0\0"
    data = bottom + row * (SIZE - 1)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    assert len(data) == row_bytes * SIZE
    return header + info + data


def colour_of(save):
    """A colour of its own for every save, never black, never the last one."""
    return ((save * 97 + 40) % 216 + 40) << 16 | ((save * 53 + 90) % 216 + 40) << 8 | (
        (save * 29 + 140) % 216 + 40)


def write_in_place(path, data):
    with open(path, "r+b") as f:
        for start in range(0, len(data), CHUNK):
            f.write(data[start:start + CHUNK])
            f.flush()
            time.sleep(0.002)


def write_truncating(path, data):
    with open(path, "wb") as f:
        for start in range(0, len(data), CHUNK):
            f.write(data[start:start + CHUNK])
            f.flush()
            time.sleep(0.002)


def write_and_rename(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def window_origin():
    out = subprocess.run(["xwininfo", "-name", TITLE], capture_output=True, text=True)
    if out.returncode != 0:
        return None
    x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", out.stdout).group(1))
    y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", out.stdout).group(1))
    return x, y


def windows_titled():
    """Top-level windows with the program's title and a window class: the main window and any
    message box (Qt's hidden 1 x 1 leader window has no class)."""
    out = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True)
    return out.stdout.count('"' + TITLE + '": ("')


def screen_pixel(x, y):
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "txt:-"], capture_output=True, text=True)
    match = re.search(r"#([0-9A-Fa-f]{6})", out.stdout)
    return int(match.group(1), 16) if match else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saves", type=int, default=500, help="saves in each way")
    parser.add_argument("--exe", default="build/default/src/app/patapata")
    options = parser.parse_args()

    work = tempfile.mkdtemp(prefix="patapata-stress-")
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "patapata"))
    with open(os.path.join(config, "patapata", "patapata.conf"), "w") as f:
        f.write("[reload]\nsheet=true\n\n[window]\nposition=@Point(0 0)\n")
    sheet = os.path.join(work, "sheet.bmp")
    with open(sheet, "wb") as f:
        f.write(bmp(colour_of(0)))
    character = os.path.join(work, "stress.chp")
    with open(character, "w") as f:
        f.write("#CHARNAME stress\n#ANIME 16\n#CHARBMP sheet.bmp\n#1 0 0 121 271\n"
                "#2 0 0 1 1\n#PATERN 01 02\n")

    env = dict(os.environ, XDG_CONFIG_HOME=config)
    viewer = subprocess.Popen([os.path.abspath(options.exe), character], env=env)
    try:
        origin = None
        for _ in range(100):
            origin = window_origin()
            if origin:
                break
            time.sleep(0.1)
        if not origin:
            sys.exit("the viewer's window did not appear")
        # The view's middle: the view stands at (104, 0) of the client area, below the menu bar.
        x, y = origin[0] + 164, origin[1] + 160
        deadline = time.monotonic() + 5
        while screen_pixel(x, y) != colour_of(0) and time.monotonic() < deadline:
            time.sleep(0.05)
        if screen_pixel(x, y) != colour_of(0):
            sys.exit("the view does not show the first picture")

        ways = [("in place, same size", write_in_place), ("truncate and write in chunks",
                                                          write_truncating),
                ("temporary file and rename", write_and_rename)]
        print(f"{'way':<30} {'saves':>6} {'wrong':>6} {'boxes':>6} {'mean ms':>8} {'max ms':>7}")
        save = 0
        failed = False
        for name, write in ways:
            wrong = 0
            delays = []
            for _ in range(options.saves):
                save += 1
                colour = colour_of(save)
                data = bmp(colour)
                write(sheet, data)
                written = time.monotonic()
                shown = None
                while time.monotonic() - written < 1.0:
                    if screen_pixel(x, y) == colour:
                        shown = time.monotonic() - written
                        break
                    time.sleep(0.02)
                if shown is None:
                    wrong += 1
                else:
                    delays.append(shown * 1000)
            boxes = windows_titled() - 1
            mean = sum(delays) / len(delays) if delays else float("nan")
            top = max(delays) if delays else float("nan")
            print(f"{name:<30} {options.saves:>6} {wrong:>6} {boxes:>6} {mean:>8.0f} {top:>7.0f}",
                  flush=True)
            failed = failed or wrong > 0 or boxes > 0
        sys.exit(1 if failed else 0)
    finally:
        viewer.terminate()
        viewer.wait()


if __name__ == "__main__":
    main()
