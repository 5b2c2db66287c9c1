#!/usr/bin/env python3
"""Writes the PNG golden corpus under tests/data/png/.

Every file is encoded here with the standard library (zlib, struct), except one that
ImageMagick writes itself; the expected pixels come from an independent decoder, ImageMagick
(`convert png:FILE -depth 16 -endian MSB rgba:-`), so that the reader is not checked against
itself. Outputs per case: NAME.png, NAME.rgba16 (width x height x 4 channels of 16 bits,
big-endian, top-down, straight alpha: the file's samples exactly, before any reduction to 8 bits
or colour-key rule) and one line "FILE WIDTH HEIGHT" in manifest.txt. The test reduces the
samples to 8 bits and applies the sheet's transparency rule itself. (ImageMagick's own 8-bit
output truncates 16-bit samples rather than rounding them, so it is not used.)

The cases cover every colour type at every bit depth, tRNS on palette, grey and RGB pictures,
16-bit channels, Adam7 interlacing, all five row filters, split IDAT chunks, ancillary and
private chunks, and transparency with a transparent and with an opaque bottom-right pixel.

Run again after changing a case; the files are committed. Needs ImageMagick 6 (Debian package
imagemagick).
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "png")

GREY, RGB, PALETTE, GREY_ALPHA, RGBA = 0, 2, 3, 4, 6
CHANNELS = {GREY: 1, RGB: 3, PALETTE: 1, GREY_ALPHA: 2, RGBA: 4}

# Adam7: first column, first row, column step, row step of each pass.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def pack_row(pixels, depth):
    """One row of sample tuples as bytes: samples below 8 bits packed from the high bit,
    16-bit samples big-endian."""
    if depth >= 8:
        out = bytearray()
        for p in pixels:
            for s in p:
                out += s.to_bytes(depth // 8, "big")
        return bytes(out)
    out = bytearray()
    bits = nbits = 0
    for p in pixels:
        for s in p:
            bits = (bits << depth) | s
            nbits += depth
            if nbits == 8:
                out.append(bits)
                bits = nbits = 0
    if nbits:
        out.append(bits << (8 - nbits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_rows(rows, bpp):
    """Filters each row with type (row number % 5), so that every filter appears."""
    out = bytearray()
    prev = bytes(len(rows[0])) if rows else b""
    for y, row in enumerate(rows):
        kind = y % 5
        line = bytearray([kind])
        for i, x in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            predictor = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            line.append((x - predictor) & 0xFF)
        out += line
        prev = row
    return bytes(out)


def image_data(pixels, depth, colour_type, interlace):
    """The filtered scanlines of a picture given as rows of sample tuples."""
    bpp = max(1, CHANNELS[colour_type] * depth // 8)
    h, w = len(pixels), len(pixels[0])
    if not interlace:
        return filter_rows([pack_row(row, depth) for row in pixels], bpp)
    out = bytearray()
    for x0, y0, dx, dy in ADAM7:
        sub = [pixels[y][x0::dx] for y in range(y0, h, dy)]
        if sub and sub[0]:
            out += filter_rows([pack_row(row, depth) for row in sub], bpp)
    return bytes(out)


def png_file(pixels, depth, colour_type, palette=None, trns=None, interlace=False,
             idat_pieces=1, before_idat=b"", after_idat=b""):
    h, w = len(pixels), len(pixels[0])
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0,
                                      1 if interlace else 0))
    out += before_idat
    if palette is not None:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    data = zlib.compress(image_data(pixels, depth, colour_type, interlace), 9)
    step = -(-len(data) // idat_pieces)
    for at in range(0, len(data), step):
        out += chunk(b"IDAT", data[at:at + step])
    out += after_idat
    return out + chunk(b"IEND", b"")


def samples(w, h, channels, depth, seed):
    """A deterministic picture: each sample spreads over the whole range of its depth."""
    top = (1 << depth) - 1
    return [[tuple((x * (7 + 2 * c) + y * (5 + 3 * c) + (x * y) % 7 + seed * (c + 1)) * 2654435761
                   % (top + 1) for c in range(channels)) for x in range(w)] for y in range(h)]


def colours(count, seed):
    return [((i * 53 + seed * 17) & 0xFF, (i * 97 + seed * 29 + 40) & 0xFF,
             (i * 31 + seed * 71 + 90) & 0xFF) for i in range(count)]


# Alphas around the half-way mark and at both ends, for the transparency rule; the 16-bit ones
# straddle the mark of the 8-bit scale (32767 and 32638 give 127, 32768 and 32895 give 128).
ALPHAS = [0, 255, 1, 127, 128, 129, 254, 64, 200, 0]
ALPHAS16 = [0, 65535, 257, 32767, 32768, 32895, 65534, 32638, 51400, 1]


def with_alpha(pixels, depth, br_alpha):
    """Replaces each pixel's last sample by an alpha from ALPHAS (scaled to the depth); the
    bottom-right pixel's alpha is `br_alpha` (8-bit scale)."""
    scale = 257 if depth == 16 else 1
    table = ALPHAS16 if depth == 16 else ALPHAS
    out = []
    for y, row in enumerate(pixels):
        out.append([p[:-1] + (table[(x + 3 * y) % len(table)],) for x, p in enumerate(row)])
    last = out[-1][-1]
    out[-1][-1] = last[:-1] + (br_alpha * scale,)
    return out


CASES = []


def case(name):
    def register(fn):
        CASES.append((name + ".png", fn))
        return fn
    return register


def plain(name, colour_type, depth, w=13, h=7, interlace=False, **kw):
    @case(name)
    def make():
        return png_file(samples(w, h, CHANNELS[colour_type], depth, depth + colour_type), depth,
                        colour_type, interlace=interlace, **kw)


def paletted(name, depth, size=None, trns=None, br=None, w=13, h=7, interlace=False):
    """A palette picture of `size` entries; `br` forces the bottom-right index."""
    size = size or (1 << depth)

    @case(name)
    def make():
        pixels = [[(v[0] % size,) for v in row] for row in samples(w, h, 1, 8, depth)]
        if br is not None:
            pixels[-1][-1] = (br,)
        return png_file(pixels, depth, PALETTE, palette=colours(size, depth + size),
                        trns=trns, interlace=interlace)


def alpha(name, colour_type, depth, br_alpha, w=13, h=7, interlace=False):
    @case(name)
    def make():
        pixels = with_alpha(samples(w, h, CHANNELS[colour_type], depth, depth + 11), depth,
                            br_alpha)
        return png_file(pixels, depth, colour_type, interlace=interlace)


def keyed(name, colour_type, depth, br_transparent, w=13, h=7):
    """Grey or RGB with a tRNS colour: the bottom-right pixel has that colour or not; a quarter
    of the pixels have it, and at 16 bits others differ from it in the low byte only."""
    @case(name)
    def make():
        channels = CHANNELS[colour_type]
        pixels = samples(w, h, channels, depth, depth + 5)
        key = tuple((40 + 70 * c) * (257 if depth == 16 else 1) % (1 << depth)
                    for c in range(channels))
        for y in range(h):
            for x in range(w):
                if (x + y) % 4 == 0:
                    pixels[y][x] = key
                elif depth == 16 and (x + y) % 4 == 2:
                    pixels[y][x] = tuple(s + 1 for s in key)
        pixels[-1][-1] = key if br_transparent else tuple((s + 3) % (1 << depth) for s in key)
        trns = b"".join(s.to_bytes(2, "big") for s in key)
        return png_file(pixels, depth, colour_type, trns=trns)


# Grey, every depth.
plain("grey_1bit", GREY, 1)
plain("grey_2bit", GREY, 2)
plain("grey_4bit", GREY, 4)
plain("grey_8bit", GREY, 8)
plain("grey_16bit", GREY, 16)
keyed("grey_8bit_trns_br_transparent", GREY, 8, True)
keyed("grey_16bit_trns_br_transparent", GREY, 16, True)
keyed("grey_4bit_trns_br_opaque", GREY, 4, False)
# RGB.
plain("rgb_8bit", RGB, 8)
plain("rgb_16bit", RGB, 16)
plain("rgb_8bit_width1", RGB, 8, w=1, h=5)
keyed("rgb_8bit_trns_br_transparent", RGB, 8, True)
keyed("rgb_16bit_trns_br_transparent", RGB, 16, True)
keyed("rgb_8bit_trns_br_opaque", RGB, 8, False)
# Palettes.
paletted("palette_1bit", 1)
paletted("palette_2bit", 2)
paletted("palette_4bit", 4)
paletted("palette_8bit", 8)
paletted("palette_8bit_short", 8, size=20)
paletted("palette_1bit_one_colour", 1, size=1)
paletted("palette_4bit_trns_br_transparent", 4, trns=bytes([255, 0, 127, 128, 1, 200, 255, 0]),
         br=7)
paletted("palette_4bit_trns_br_opaque", 4, trns=bytes([0, 64, 127, 128, 255, 0]), br=4)
paletted("palette_8bit_trns_shorter_than_palette", 8, size=40, trns=bytes([0, 100, 200]), br=1)
paletted("palette_8bit_trns_br_past_trns", 8, size=40, trns=bytes([0, 100, 200]), br=30)
# Grey with alpha.
alpha("grey_alpha_8bit_br_transparent", GREY_ALPHA, 8, 0)
alpha("grey_alpha_8bit_br_opaque", GREY_ALPHA, 8, 255)
alpha("grey_alpha_16bit_br_transparent", GREY_ALPHA, 16, 100)
# RGBA.
alpha("rgba_8bit_br_transparent", RGBA, 8, 0)
alpha("rgba_8bit_br_alpha_127", RGBA, 8, 127)
alpha("rgba_8bit_br_alpha_128", RGBA, 8, 128)
alpha("rgba_8bit_br_opaque", RGBA, 8, 255)
alpha("rgba_16bit_br_transparent", RGBA, 16, 3)
alpha("rgba_16bit_br_opaque", RGBA, 16, 255)
alpha("rgba_1x1_transparent", RGBA, 8, 0, w=1, h=1)
# Transparent pixels stored as black (as many paint programs write them) beside opaque black
# outlines, and beside a colour a 5-6-5 display cannot tell from black: the outlines must stay.
@case("rgba_8bit_transparent_black_beside_black_outline")
def make():
    w, h = 9, 6
    pixels = [[(0, 0, 0, 0)] * w for _ in range(h)]
    for y in range(1, h - 1):
        for x in range(1, w - 1):
            edge = y in (1, h - 2) or x in (1, w - 2)
            pixels[y][x] = (0, 0, 0, 255) if edge else (200, 40 + 10 * x, 90, 255)
    pixels[2][2] = (3, 2, 5, 255)
    return png_file(pixels, 8, RGBA)


@case("grey_alpha_8bit_transparent_level_used_opaque")
def make():
    pixels = [[(0, 0), (0, 255), (128, 255), (0, 30)], [(255, 255), (2, 255), (0, 255), (0, 0)]]
    return png_file(pixels, 8, GREY_ALPHA)


@case("palette_8bit_transparent_entry_colour_used_opaque")
def make():
    palette = [(0, 0, 0), (0, 0, 0), (250, 10, 10), (1, 2, 1)]
    pixels = [[(1,), (2,), (0,), (3,)], [(1,), (1,), (2,), (0,)]]
    return png_file(pixels, 8, PALETTE, palette=palette, trns=bytes([0]))


# Adam7 interlacing, including pictures too small for some passes.
plain("interlaced_grey_1bit", GREY, 1, w=13, h=11, interlace=True)
plain("interlaced_grey_16bit", GREY, 16, w=10, h=9, interlace=True)
plain("interlaced_rgb_8bit", RGB, 8, w=13, h=11, interlace=True)
paletted("interlaced_palette_4bit_trns", 4, trns=bytes([0, 255, 90, 160]), br=2, w=17, h=9,
         interlace=True)
paletted("interlaced_palette_2bit_3x2", 2, w=3, h=2, interlace=True)
alpha("interlaced_grey_alpha_8bit", GREY_ALPHA, 8, 0, w=9, h=12, interlace=True)
alpha("interlaced_rgba_16bit", RGBA, 16, 0, w=13, h=11, interlace=True)
alpha("interlaced_rgba_1x1", RGBA, 8, 0, w=1, h=1, interlace=True)
# Chunk layout: the data split over many IDAT chunks, ancillary and private chunks around it.
plain("rgb_8bit_split_idat", RGB, 8, idat_pieces=9)
plain("rgba_8bit_ancillary_chunks", RGBA, 8,
      before_idat=(chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"sRGB", b"\0")
                   + chunk(b"pHYs", struct.pack(">IIB", 2835, 2835, 1))
                   + chunk(b"tEXt", b"Software\0make_png_corpus.py")
                   + chunk(b"zTXt", b"Comment\0\0" + zlib.compress(b"x" * 4000))
                   + chunk(b"prVt", b"private ancillary chunk")),
      after_idat=chunk(b"tIME", struct.pack(">HBBBBB", 2024, 1, 2, 3, 4, 5)))


def imagemagick():
    for name in ("convert-im6.q16", "convert"):
        path = shutil.which(name)
        if path:
            return path
    sys.exit("ImageMagick's convert is needed (apt-get install imagemagick)")


def written_by_imagemagick(convert):
    """An RGBA picture as ImageMagick itself writes it (with its own ancillary chunks), dates
    left out so that the file does not change from run to run."""
    w, h = 11, 6
    pixels = with_alpha(samples(w, h, 4, 8, 23), 8, 0)
    raw = b"".join(bytes(p) for row in pixels for p in row)
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.png")
        subprocess.run([convert, "-size", f"{w}x{h}", "-depth", "8", "rgba:-",
                        "-define", "png:exclude-chunks=date,time", "png32:" + out],
                       input=raw, check=True)
        with open(out, "rb") as f:
            return f.read()


def main():
    os.makedirs(OUT, exist_ok=True)
    for old in os.listdir(OUT):
        os.remove(os.path.join(OUT, old))
    convert = imagemagick()
    CASES.append(("rgba_8bit_written_by_imagemagick.png", lambda: written_by_imagemagick(convert)))
    manifest = []
    for file_name, make in CASES:
        path = os.path.join(OUT, file_name)
        with open(path, "wb") as f:
            f.write(make())
        result = subprocess.run([convert, "png:" + path, "-depth", "16", "-endian", "MSB",
                                 "rgba:-"], capture_output=True)
        if result.returncode != 0 or result.stderr:
            sys.exit(f"{file_name}: {result.stderr.decode()}")
        size = subprocess.run([convert, "png:" + path, "-format", "%w %h", "info:"],
                              capture_output=True, text=True, check=True).stdout.split()
        w, h = int(size[0]), int(size[1])
        assert len(result.stdout) == w * h * 8, file_name
        with open(os.path.join(OUT, file_name[:-4] + ".rgba16"), "wb") as f:
            f.write(result.stdout)
        manifest.append(f"{file_name} {w} {h}\n")
    with open(os.path.join(OUT, "manifest.txt"), "w") as f:
        f.writelines(manifest)
    print(f"{len(manifest)} cases written to {OUT}")


if __name__ == "__main__":
    main()
