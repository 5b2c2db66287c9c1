#!/usr/bin/env python3
"""Writes the BMP/DIB golden corpus under tests/data/bmp/.

Every file is written byte by byte here; the expected pixels come from an independent decoder,
ImageMagick (`convert bmp:FILE rgb:-`), so that the readers are not checked against
themselves. Outputs per case: NAME.bmp or NAME.dib, NAME.rgb (width x height x 3 bytes,
top-down) and one line "FILE WIDTH HEIGHT BITS" in manifest.txt, where BITS is the number of
high bits of each channel that the comparison trusts (8 unless a case says otherwise).

Run again after changing a case; the files are committed. Needs ImageMagick 6 (Debian package
imagemagick).
"""

import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bmp")

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3


def pattern(w, h, levels):
    """A deterministic picture of indices 0..levels-1, rows top-down."""
    return [[(x * 7 + y * 3 + (x * y) % 5) % levels for x in range(w)] for y in range(h)]


def colours(count, seed):
    """`count` distinct 0x00RRGGBB colours."""
    out = []
    for i in range(count):
        r = (i * 53 + seed * 17) & 0xFF
        g = (i * 97 + seed * 29 + 40) & 0xFF
        b = (i * 31 + seed * 71 + 90) & 0xFF
        out.append((r << 16) | (g << 8) | b)
    return out


def true_colour(w, h, seed):
    return [[(((x * 37 + y * 11 + seed) & 0xFF) << 16) | (((x * 5 + y * 59 + seed * 3) & 0xFF) << 8)
             | ((x * 23 + y * 41 + seed * 7) & 0xFF) for x in range(w)] for y in range(h)]


def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def pack_indexed(rows, bpp):
    out = []
    for row in rows:
        bits = 0
        nbits = 0
        data = bytearray()
        for v in row:
            bits = (bits << bpp) | v
            nbits += bpp
            if nbits == 8:
                data.append(bits)
                bits = nbits = 0
        if nbits:
            data.append(bits << (8 - nbits))
        out.append(pad4(bytes(data)))
    return out


def pack_true(rows, bpp, masks=None):
    if bpp == 16 and masks is None:
        masks = (0x7C00, 0x03E0, 0x001F)
    out = []
    for row in rows:
        data = bytearray()
        for c in row:
            r, g, b = c >> 16, (c >> 8) & 0xFF, c & 0xFF
            if bpp == 24:
                data += bytes([b, g, r])
            elif bpp == 32 and masks is None:
                data += bytes([b, g, r, 0])
            else:
                value = 0
                for channel, mask in zip((r, g, b), masks):
                    width = bin(mask).count("1")
                    shift = (mask & -mask).bit_length() - 1
                    value |= ((channel >> (8 - width)) << shift) & mask
                data += value.to_bytes(bpp // 8, "little")
        out.append(pad4(bytes(data)))
    return out


def rows_in_file_order(packed, top_down):
    return b"".join(packed if top_down else reversed(packed))


def rle_encode(rows, four):
    """Encodes index rows bottom-up: runs, literal (absolute) stretches, end of line, end of
    picture."""
    out = bytearray()
    for y, row in enumerate(reversed(rows)):
        i = 0
        n = len(row)
        while i < n:
            run = 1
            while i + run < n and run < 255 and row[i + run] == row[i]:
                run += 1
            if run >= 2:
                v = row[i]
                out += bytes([run, (v << 4) | v if four else v])
                i += run
                continue
            j = i
            while j < n and j - i < 255 and not (j + 1 < n and row[j + 1] == row[j]):
                j += 1
            lit = row[i:j]
            if len(lit) >= 3:
                if four:
                    body = bytearray()
                    for k in range(0, len(lit), 2):
                        hi = lit[k]
                        lo = lit[k + 1] if k + 1 < len(lit) else 0
                        body.append((hi << 4) | lo)
                else:
                    body = bytearray(lit)
                if len(body) % 2:
                    body.append(0)
                out += bytes([0, len(lit)]) + body
            else:
                for v in lit:
                    out += bytes([1, (v << 4) if four else v])
            i = j
        out += b"\0\1" if y == len(rows) - 1 else b"\0\0"
    return bytes(out)


def info_header(size, w, h, bpp, compression, image_size, colours_used, masks=None,
                alpha_mask=0, planes=1):
    if size == 12:
        return struct.pack("<IHHHH", 12, w, h, planes, bpp)
    head = struct.pack("<IiiHHIIiiII", size, w, h, planes, bpp, compression, image_size, 2835,
                       2835, colours_used, 0)
    if size < 40:
        # A cut OS/2 2.x header: it ends after the last field it reaches.
        return head[:size]
    if size == 64:
        # OS/2 2.x: units, reserved, recording (bottom-up), rendering, two sizes, colour
        # encoding (RGB) and an application's identifier.
        return head + struct.pack("<HHHHIIII", 0, 0, 0, 0, 0, 0, 0, 0x12345678)
    if size >= 52:
        m = masks or (0, 0, 0)
        head += struct.pack("<III", *m)
    if size >= 56:
        head += struct.pack("<I", alpha_mask)
    if size >= 108:
        head += struct.pack("<I", 0x73524742)  # colour space "sRGB"
        head += b"\0" * (36 + 12)  # end points, gamma
    if size >= 124:
        head += struct.pack("<IIII", 4, 0, 0, 0)  # intent: perceptual
    assert len(head) == size, (size, len(head))
    return head


def bmp_file(w, h, bpp, data, compression=BI_RGB, palette=(), masks=None, header=40,
             colours_used=None, top_down=False):
    height = -h if top_down else h
    if colours_used is None:
        colours_used = len(palette) if header != 12 and len(palette) < (1 << bpp) else 0
    info = info_header(header, w, height, bpp, compression, len(data), colours_used,
                       masks if header >= 52 else None)
    extra = b""
    if compression == BI_BITFIELDS and header == 40:
        extra = struct.pack("<III", *masks)
    entry = (lambda c: bytes([c & 0xFF, (c >> 8) & 0xFF, c >> 16])) if header == 12 else (
        lambda c: bytes([c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0]))
    table = b"".join(entry(c) for c in palette)
    off = 14 + len(info) + len(extra) + len(table)
    return b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off) + info + extra + table + data


CASES = []

# Channels narrower than 5 bits: ImageMagick 6 widens them by shifting alone (4 bits 1111 give
# 0xF0), so its white is not white. The readers repeat the high bits (0xFF), which agrees on
# the 4 bits the file holds; the comparison trusts those.
TRUSTED_BITS = {"info_16bpp_bitfields_444.bmp": 4}


# ImageMagick 6 reads the colour table after an OS/2 2.x header as 3-byte entries; OS/2 2.x
# entries (RGB2) have 4 bytes, as after the Windows information header, and Qt reads them so.
# It also reads 40 header bytes whatever a cut header's size says, taking the colour table for
# the compression when the header stops at 16 bytes. The expected pixels of those cases are
# ImageMagick's for the same file with the 40-byte header, which only differs in the header's
# size, OS/2's extra fields and, for a cut header, the fields it does not reach, written as the
# zeros they count as. A 36-byte header reaches the colour count, so ImageMagick reads that
# file as it is.
REFERENCE_HEADER = {16: 40, 64: 40}


def case(name, ext="bmp"):
    """Registers make() under NAME.EXT; the reference decoder reads make(for_reference=True)."""
    def register(fn):
        CASES.append((f"{name}.{ext}", fn))
        return fn
    return register


def indexed(name, bpp, header=40, top_down=False, palette_size=None, ext="bmp", w=13, h=7):
    size = palette_size or (1 << bpp)

    @case(name, ext)
    def make(for_reference=False):
        rows = pattern(w, h, size)
        data = rows_in_file_order(pack_indexed(rows, bpp), top_down)
        return bmp_file(w, h, bpp, data, palette=colours(size, bpp + size),
                        header=REFERENCE_HEADER.get(header, header) if for_reference else header,
                        top_down=top_down)


def true(name, bpp, header=40, top_down=False, masks=None, ext="bmp", w=11, h=6):
    @case(name, ext)
    def make(for_reference=False):
        rows = true_colour(w, h, bpp + header)
        data = rows_in_file_order(pack_true(rows, bpp, masks), top_down)
        compression = BI_BITFIELDS if masks is not None else BI_RGB
        return bmp_file(w, h, bpp, data, compression=compression, masks=masks, header=header,
                        top_down=top_down)


def rle(name, bpp, palette_size=None, header=40, ext="bmp", w=19, h=6):
    size = palette_size or (1 << bpp)

    @case(name, ext)
    def make(for_reference=False):
        rows = pattern(w, h, size)
        # Long stretches of one colour so that both run and literal codes appear.
        for y in range(h):
            for x in range(4 + y, min(w, 12 + y)):
                rows[y][x] = y % size
        data = rle_encode(rows, bpp == 4)
        return bmp_file(w, h, bpp, data, compression=BI_RLE4 if bpp == 4 else BI_RLE8,
                        palette=colours(size, 3 + bpp),
                        header=REFERENCE_HEADER.get(header, header) if for_reference else header)


def rle_delta(name, bpp, ext="bmp"):
    """Runs, a literal stretch, deltas across and up, an early end of line, and the end of the
    picture before the last rows: the skipped pixels keep palette index 0."""
    @case(name, ext)
    def make(for_reference=False):
        four = bpp == 4
        def run(n, v):
            return bytes([n, (v << 4) | v if four else v])
        def lit(values):
            if four:
                body = bytearray((values[k] << 4) | (values[k + 1] if k + 1 < len(values) else 0)
                                 for k in range(0, len(values), 2))
            else:
                body = bytearray(values)
            if len(body) % 2:
                body.append(0)
            return bytes([0, len(values)]) + bytes(body)
        stream = (run(3, 1) + lit([2, 3, 4, 5, 6]) + b"\0\0"    # row 0 ends early
                  + run(2, 7) + b"\0\2\3\0" + run(4, 8) + b"\0\0"  # delta right on row 1
                  + run(1, 9) + b"\0\2\2\2" + run(3, 10) + b"\0\0"  # delta up to row 4
                  + lit([11, 12, 13]) + run(2, 14) + b"\0\1")        # row 5, then the end
        w, h = 12, 8
        return bmp_file(w, h, bpp, stream, compression=BI_RLE4 if four else BI_RLE8,
                        palette=colours(16, 40 + bpp))


# OS/2 core headers (12 bytes, 3-byte colour table entries).
indexed("core_1bpp", 1, header=12)
indexed("core_4bpp", 4, header=12)
indexed("core_8bpp", 8, header=12)
true("core_24bpp", 24, header=12)
# Windows information header, every depth, both row orders.
indexed("info_1bpp", 1)
indexed("info_1bpp_topdown", 1, top_down=True)
indexed("info_4bpp", 4)
indexed("info_4bpp_topdown", 4, top_down=True)
indexed("info_4bpp_short_palette", 4, palette_size=5)
indexed("info_8bpp", 8)
indexed("info_8bpp_topdown", 8, top_down=True)
indexed("info_8bpp_short_palette", 8, palette_size=20)
indexed("info_1bpp_short_palette", 1, palette_size=1)
true("info_16bpp_555", 16, masks=None)
true("info_16bpp_555_topdown", 16, top_down=True)
true("info_16bpp_bitfields_565", 16, masks=(0xF800, 0x07E0, 0x001F))
true("info_16bpp_bitfields_555", 16, masks=(0x7C00, 0x03E0, 0x001F))
true("info_16bpp_bitfields_444", 16, masks=(0x0F00, 0x00F0, 0x000F))
true("info_24bpp", 24)
true("info_24bpp_topdown", 24, top_down=True)
true("info_24bpp_width1", 24, w=1, h=5)
true("info_32bpp", 32)
true("info_32bpp_topdown", 32, top_down=True)
true("info_32bpp_bitfields_xbgr", 32, masks=(0x000000FF, 0x0000FF00, 0x00FF0000))
true("info_32bpp_bitfields_rgbx", 32, masks=(0xFF000000, 0x00FF0000, 0x0000FF00))
# Run-length encodings.
rle("info_rle8", 8, palette_size=24)
rle("info_rle8_full_palette", 8)
rle("info_rle4", 4)
rle("info_rle4_short_palette", 4, palette_size=6)
rle_delta("info_rle8_delta", 8)
rle_delta("info_rle4_delta", 4)
# The larger headers of the .bmp reader.
true("v2_16bpp_565", 16, header=52, masks=(0xF800, 0x07E0, 0x001F))
true("v3_32bpp_bitfields", 32, header=56, masks=(0x00FF0000, 0x0000FF00, 0x000000FF))
true("v4_24bpp", 24, header=108)
true("v4_16bpp_565", 16, header=108, masks=(0xF800, 0x07E0, 0x001F))
indexed("v4_8bpp_topdown", 8, header=108, top_down=True)
true("v5_32bpp", 32, header=124)
true("v5_32bpp_bitfields", 32, header=124, masks=(0x00FF0000, 0x0000FF00, 0x000000FF))
indexed("v5_4bpp_short_palette", 4, header=124, palette_size=9)
rle("v5_rle8", 8, header=124)
# The OS/2 2.x information header (64 bytes, 4-byte colour table entries), as in the public
# BMP test suite's pal8os2v2 files.
indexed("os2v2_1bpp", 1, header=64)
indexed("os2v2_4bpp", 4, header=64)
indexed("os2v2_8bpp", 8, header=64)
indexed("os2v2_8bpp_short_palette", 8, header=64, palette_size=30)
true("os2v2_24bpp", 24, header=64)
rle("os2v2_rle8", 8, header=64)
rle("os2v2_rle4", 4, header=64)
# OS/2 2.x headers cut short: 16 bytes end after the bit count, as in the public BMP test
# suite's pal8os2v2-16 file; 36 bytes reach the colour count.
indexed("os2v2_16_8bpp", 8, header=16)
indexed("os2v2_36_4bpp_short_palette", 4, header=36, palette_size=9)
# The .dib reader: core and information headers only, 5-5-5, 5-6-5 and 8-8-8 bit fields.
indexed("dib_core_1bpp", 1, header=12, ext="dib")
indexed("dib_core_8bpp", 8, header=12, ext="dib")
indexed("dib_4bpp_short_palette", 4, palette_size=7, ext="dib")
indexed("dib_8bpp_topdown", 8, top_down=True, ext="dib")
true("dib_16bpp_555", 16, ext="dib")
true("dib_16bpp_bitfields_565", 16, masks=(0xF800, 0x07E0, 0x001F), ext="dib")
true("dib_24bpp", 24, ext="dib")
true("dib_32bpp_bitfields", 32, masks=(0x00FF0000, 0x0000FF00, 0x000000FF), ext="dib")
true("dib_32bpp_topdown", 32, top_down=True, ext="dib")
rle("dib_rle8", 8, palette_size=30, ext="dib")
rle("dib_rle4", 4, ext="dib")
rle_delta("dib_rle4_delta", 4, ext="dib")


def imagemagick():
    for name in ("convert-im6.q16", "convert"):
        path = shutil.which(name)
        if path:
            return path
    sys.exit("ImageMagick's convert is needed (apt-get install imagemagick)")


def main():
    os.makedirs(OUT, exist_ok=True)
    convert = imagemagick()
    manifest = []
    for file_name, make in CASES:
        path = os.path.join(OUT, file_name)
        with open(path, "wb") as f:
            f.write(make())
        stem = os.path.splitext(file_name)[0]
        reference = make(for_reference=True)
        # "bmp:" makes ImageMagick read .dib files as BMP files too; "-" reads standard input.
        result = subprocess.run([convert, "bmp:-", "-depth", "8", "rgb:-"], input=reference,
                                capture_output=True)
        # ImageMagick reports "unexpected end-of-file" when run-length data ends the picture
        # before its last row, although it decodes all of it; only those cases may warn.
        if result.returncode != 0 and not (stem.endswith("_delta") and
                                           b"unexpected end-of-file" in result.stderr):
            sys.exit(f"{file_name}: {result.stderr.decode()}")
        rgb = result.stdout
        size = subprocess.run([convert, "bmp:-", "-format", "%w %h", "info:"], input=reference,
                              capture_output=True).stdout.split()
        w, h = int(size[0]), int(size[1])
        assert len(rgb) == w * h * 3, file_name
        with open(os.path.join(OUT, stem + ".rgb"), "wb") as f:
            f.write(rgb)
        manifest.append(f"{file_name} {w} {h} {TRUSTED_BITS.get(file_name, 8)}\n")
    with open(os.path.join(OUT, "manifest.txt"), "w") as f:
        f.writelines(manifest)
    print(f"{len(manifest)} cases written to {OUT}")


if __name__ == "__main__":
    main()
