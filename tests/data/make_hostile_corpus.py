#!/usr/bin/env python3
"""Writes the hostile BMP/DIB/PNG corpus under tests/data/hostile/.

One file per class of classic decoder fault: headers that lie about sizes and offsets, zero,
negative and INT_MIN heights, huge pictures in tiny files, colour counts past 2^bpp, indices
past the palette, run-length runs and deltas past the row or the picture, streams cut short,
bit-field masks that are zero, overlapping or too wide, and bit counts or compressions that
do not go together. For PNG: truncations, CRC and checksum errors, huge dimensions,
decompression bombs, bad IHDR fields, chunks missing, repeated or out of order, and image data
too short, too long or badly filtered. Every file is written byte by byte here.

manifest.txt holds one line per file, three fields separated by tabs:
    FILE  CLASS  EXPECTATION
where EXPECTATION is either
    error MESSAGEID MESSAGE              the load fails with that message
    picture W H all RRGGBB              a W x H picture of one colour
    picture W H RRGGBB,RRGGBB,...       a W x H picture, pixels top-down
    picture 0 0                         an empty picture (the surface is left empty)
The expectations are the readers' documented rules worked out by hand below, not the readers'
output. Run again after changing a case; the files are committed.
"""

import os
import struct
import zlib

from make_png_corpus import chunk

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "hostile")

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3

BAD_BMP = "error InvalidBitmap ビットマップイメージが不正です"
# A picture that ends where it goes on is a save in progress; the words are the same.
CUT_SHORT_PNG = "error PictureCutShort ビットマップイメージが不正です"
BAD_DIB = "error InvalidDib 不正な DIB です"
SHORT = "error StreamReadError ストリームからの読み込みエラー"
BAD_FORMAT = "error InvalidPixelFormat 不正なピクセルフォーマットです"
NOT_CREATED = "error SurfaceNotCreated IDirectDrawSurface は作成されていません"


def bad_bits(n):
    return "error InvalidBitCount 不正なビット数です (%d)" % n


def picture(w, h, pixels):
    return "picture %d %d %s" % (w, h, ",".join("%06x" % p for p in pixels))


def plain(w, h, colour):
    return "picture %d %d all %06x" % (w, h, colour)


def bmp(w, h, bpp, data, compression=BI_RGB, palette=(), masks=None, header=40,
        colours_used=None, off_bits=None, file_size=None, image_size=None, planes=1,
        magic=b"BM"):
    """A BMP file whose every field can lie."""
    if header == 12:
        info = struct.pack("<IHHHH", 12, w & 0xFFFF, h & 0xFFFF, planes, bpp)
        table = b"".join(struct.pack("<BBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16) for c in palette)
    else:
        used = len(palette) if colours_used is None else colours_used
        info = struct.pack("<IiiHHIIiiII", header, w, h, planes, bpp, compression,
                           len(data) if image_size is None else image_size, 2835, 2835, used, 0)
        if masks is not None:
            info += b"".join(struct.pack("<I", m) for m in masks)
        info = info.ljust(header, b"\0") if len(info) < header else info
        table = b"".join(struct.pack("<I", c) for c in palette)
    offset = 14 + len(info) + len(table)
    size = offset + len(data) if file_size is None else file_size
    head = magic + struct.pack("<IHHI", size, 0, 0, offset if off_bits is None else off_bits)
    return head + info + table + bytes(data)


def patch(data, at, value, size=4):
    out = bytearray(data)
    out[at:at + size] = (value & ((1 << (8 * size)) - 1)).to_bytes(size, "little")
    return bytes(out)


# Offsets of the fields after a 14-byte file header and a 40-byte information header.
OFF_BITS, HEADER_SIZE, WIDTH, HEIGHT, PLANES, BIT_COUNT, COMPRESSION, COLOURS_USED = (
    10, 14, 18, 22, 26, 28, 30, 46)

RED, GREEN, BLUE, WHITE = 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF
G = 0x202020  # palette index 0 of the indexed cases
W = 0xFFFFFF  # palette index 1


def rgb2x2(**kw):
    """2 x 2 at 24 bits: red, green / blue, white (top-down); rows bottom-up in the file."""
    data = bytes([0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0]) + bytes([0, 0, 0xFF, 0, 0xFF, 0, 0, 0])
    return bmp(2, 2, 24, data, **kw)


RGB2X2 = [RED, GREEN, BLUE, WHITE]


def indexed8(data, compression=BI_RGB, w=4, h=2, **kw):
    return bmp(w, h, 8, data, compression=compression, palette=[G, W], **kw)


def rle4(data, w=4, h=2):
    return bmp(w, h, 4, data, compression=BI_RLE4, palette=[G, W])


def fields(bpp, masks, data, w=2, h=1, header=40):
    return bmp(w, h, bpp, data, compression=BI_BITFIELDS, masks=masks, header=header)


CASES = []


def case(name, fault_class, data, expectation):
    CASES.append((name, fault_class, data, expectation))


# Lying sizes: the readers never trust the size fields, only the bytes that are there.
case("file_size_field_lies.bmp", "lying size", rgb2x2(file_size=0xFFFFFFFF),
     picture(2, 2, RGB2X2))
case("image_size_field_lies.dib", "lying size", rgb2x2(image_size=0x7FFFFFFF),
     picture(2, 2, RGB2X2))
case("header_size_past_file.bmp", "lying size", patch(rgb2x2(), HEADER_SIZE, 124), SHORT)
case("header_size_huge.bmp", "lying size", patch(rgb2x2(), HEADER_SIZE, 0xFFFFFFFF), BAD_BMP)
case("header_size_64.dib", "lying size", patch(rgb2x2(), HEADER_SIZE, 64), BAD_DIB)
case("header_size_zero.bmp", "lying size", patch(rgb2x2(), HEADER_SIZE, 0), BAD_BMP)

# Lying offsets.
case("offset_past_file.bmp", "lying offset", patch(rgb2x2(), OFF_BITS, 0xFFFFFFF0), SHORT)
case("offset_past_file_rle8.bmp", "lying offset",
     patch(indexed8(b"\x00\x01", BI_RLE8), OFF_BITS, 0x10000), SHORT)
case("offset_inside_header.bmp", "lying offset", patch(rgb2x2(), OFF_BITS, 20), BAD_BMP)
case("offset_zero.dib", "lying offset", patch(rgb2x2(), OFF_BITS, 0), BAD_DIB)
# The pixel data starts inside the colour table: its last entry is read as the bottom row.
case("offset_overlaps_palette.bmp", "lying offset",
     patch(indexed8(bytes([0, 1, 0, 1, 1, 0, 1, 0])), OFF_BITS, 14 + 40 + 4),
     picture(4, 2, [G, W, G, W, 0, 0, 0, G]))
case("offset_leaves_too_few_bytes.bmp", "lying offset", patch(rgb2x2(), OFF_BITS, 58), SHORT)

# Heights and widths.
case("height_zero.bmp", "zero height", patch(rgb2x2(), HEIGHT, 0), BAD_BMP)
case("height_zero.dib", "zero height", patch(rgb2x2(), HEIGHT, 0), BAD_DIB)
case("height_negative.bmp", "negative height", patch(rgb2x2(), HEIGHT, -2),
     picture(2, 2, [BLUE, WHITE, RED, GREEN]))
case("height_negative.dib", "negative height", patch(rgb2x2(), HEIGHT, -2),
     picture(2, 2, [BLUE, WHITE, RED, GREEN]))
case("height_int_min.bmp", "INT_MIN height", patch(rgb2x2(), HEIGHT, -0x80000000), BAD_BMP)
case("height_int_min.dib", "INT_MIN height", patch(rgb2x2(), HEIGHT, -0x80000000), BAD_DIB)
case("height_negative_rle8.bmp", "negative height",
     patch(indexed8(b"\x04\x01\x00\x01", BI_RLE8), HEIGHT, -2), BAD_BMP)
case("width_zero.dib", "zero width", patch(rgb2x2(), WIDTH, 0), BAD_DIB)
case("width_negative.bmp", "negative width", patch(rgb2x2(), WIDTH, -2), BAD_BMP)
case("width_int_min.bmp", "INT_MIN width", patch(rgb2x2(), WIDTH, -0x80000000), BAD_BMP)
case("core_width_zero.bmp", "zero width", bmp(0, 1, 24, b"\0\0\0\0", header=12), BAD_BMP)

# Huge pictures in tiny files: refused before anything of that size is allocated.
case("huge_24bit_in_tiny_file.bmp", "huge dimensions",
     patch(patch(rgb2x2(), WIDTH, 8192), HEIGHT, 8192), SHORT)
case("huge_1bit_in_tiny_file.dib", "huge dimensions",
     bmp(8192, 8192, 1, b"\xAA" * 64, palette=[0, WHITE]), SHORT)
case("huge_past_pixel_limit.bmp", "huge dimensions",
     patch(patch(rgb2x2(), WIDTH, 65535), HEIGHT, 65535), BAD_BMP)
case("huge_width_times_height_overflows.dib", "huge dimensions",
     patch(patch(rgb2x2(), WIDTH, 0x10000), HEIGHT, 0x10001), BAD_DIB)
case("huge_width_int_max.bmp", "huge dimensions", patch(rgb2x2(), WIDTH, 0x7FFFFFFF), BAD_BMP)
case("huge_rle8_in_tiny_file.bmp", "huge dimensions",
     indexed8(b"\x00\x00\x00\x01", BI_RLE8, w=4000, h=4000), BAD_BMP)
case("huge_rle4_in_tiny_file.dib", "huge dimensions",
     bmp(8000, 8000, 4, b"\x00\x01", compression=BI_RLE4, palette=[G, W]), BAD_DIB)
case("huge_core_header_in_tiny_file.bmp", "huge dimensions",
     bmp(0xFFFF, 0xFFFF, 24, b"\0" * 8, header=12), BAD_BMP)

# Colour counts past 2^bpp: the table is never longer than the bit count allows.
case("colour_count_past_2_pow_bpp.bmp", "palette count",
     bmp(4, 1, 1, b"\x50\0\0\0", palette=[G, W], colours_used=1000),
     picture(4, 1, [G, W, G, W]))
case("colour_count_huge.dib", "palette count",
     bmp(2, 1, 4, b"\x1F\0\0\0", palette=[G, W] + [0x000080 + i for i in range(14)],
         colours_used=0xFFFFFFFF),
     picture(2, 1, [W, 0x00008D]))
case("colour_count_past_file.bmp", "palette count",
     patch(indexed8(bytes([0, 1, 0, 1, 1, 0, 1, 0])), COLOURS_USED, 0xFFFFFFFF), SHORT)
case("colour_count_zero_means_full_table.dib", "palette count",
     patch(indexed8(bytes([0, 1, 0, 1, 1, 0, 1, 0])), COLOURS_USED, 0), SHORT)

# Indices past the palette: black.
case("index_past_palette.bmp", "palette index",
     indexed8(bytes([0, 1, 2, 255, 1, 0, 7, 1])), picture(4, 2, [W, G, 0, W, G, W, 0, 0]))
case("index_past_palette_4bit.dib", "palette index",
     bmp(4, 1, 4, b"\x01\x2F\0\0", palette=[G, W]), picture(4, 1, [G, W, 0, 0]))
case("index_past_palette_1bit.bmp", "palette index",
     bmp(3, 1, 1, b"\xA0\0\0\0", palette=[GREEN]), picture(3, 1, [0, GREEN, 0]))
case("index_past_palette_rle8.dib", "palette index",
     indexed8(b"\x02\x09\x02\x01\x00\x01", BI_RLE8), picture(4, 2, [G, G, G, G, 0, 0, W, W]))
case("index_past_palette_core.bmp", "palette index",
     bmp(2, 1, 8, b"\x01\x02\0\0", palette=[0x112233, 0x445566], header=12),
     picture(2, 1, [0x445566, 0]))

# Run-length data past the row or the picture: clipped, never written outside.
case("rle8_run_past_row.bmp", "RLE run past the row",
     indexed8(b"\xFF\x01\x00\x00\x02\x01\x00\x01", BI_RLE8),
     picture(4, 2, [W, W, G, G, W, W, W, W]))
case("rle8_literal_past_row.dib", "RLE run past the row",
     indexed8(b"\x00\x06\x01\x01\x01\x01\x01\x01\x00\x00\x01\x01\x00\x01", BI_RLE8),
     picture(4, 2, [W, G, G, G, W, W, W, W]))
case("rle8_many_runs_on_one_row.bmp", "RLE run past the row",
     indexed8(b"\xFF\x01" * 5000, BI_RLE8), picture(4, 2, [G, G, G, G, W, W, W, W]))
case("rle8_delta_past_image.bmp", "RLE delta past the picture",
     indexed8(b"\x02\x01\x00\x02\xFF\xFF\x04\x01\x00\x01", BI_RLE8),
     picture(4, 2, [G, G, G, G, W, W, G, G]))
case("rle8_delta_past_row.dib", "RLE delta past the row",
     indexed8(b"\x00\x02\x09\x00\x02\x01\x00\x00\x01\x01\x00\x01", BI_RLE8),
     picture(4, 2, [W, G, G, G, G, G, G, G]))
case("rle8_end_of_line_past_last_row.bmp", "RLE rows past the picture",
     indexed8(b"\x00\x00" * 4 + b"\x04\x01", BI_RLE8), plain(4, 2, G))
case("rle4_run_past_row.bmp", "RLE run past the row",
     rle4(b"\x09\x10\x00\x01"), picture(4, 2, [G, G, G, G, W, G, W, G]))
case("rle4_delta_past_image.dib", "RLE delta past the picture",
     rle4(b"\x02\x11\x00\x02\x00\x09\x04\x11\x00\x01"),
     picture(4, 2, [G, G, G, G, W, W, G, G]))
case("rle4_literal_past_data.bmp", "RLE literal past the data",
     rle4(b"\x00\x07\x11"), picture(4, 2, [G, G, G, G, W, W, G, G]))
case("rle8_sparse_million_pixels.bmp", "RLE sparse picture",
     indexed8(b"\x00\x01", BI_RLE8, w=1024, h=1024), plain(1024, 1024, G))
case("rle8_no_data.dib", "RLE sparse picture", indexed8(b"", BI_RLE8), plain(4, 2, G))

# Streams cut short.
case("truncated_file_header.bmp", "truncated stream", rgb2x2()[:10], SHORT)
case("truncated_header_size.dib", "truncated stream", rgb2x2()[:16], SHORT)
case("truncated_info_header.bmp", "truncated stream", rgb2x2()[:40], SHORT)
case("truncated_palette.dib", "truncated stream",
     indexed8(bytes([0, 1, 0, 1, 1, 0, 1, 0]))[:14 + 40 + 6], SHORT)
case("truncated_pixels.bmp", "truncated stream", rgb2x2()[:-7], SHORT)
case("truncated_last_row_padding.dib", "truncated stream", rgb2x2()[:-2],
     picture(2, 2, RGB2X2))
case("truncated_bitfield_masks.bmp", "truncated stream",
     patch(fields(16, [0xF800, 0x07E0, 0x001F], b"")[:58], OFF_BITS, 58), SHORT)
case("truncated_rle8_stream.bmp", "truncated stream",
     indexed8(b"\x03\x01\x00", BI_RLE8), picture(4, 2, [G, G, G, G, W, W, W, G]))
case("truncated_rle8_literal.dib", "truncated stream",
     indexed8(b"\x00\xC8\x01\x01\x01", BI_RLE8), picture(4, 2, [G, G, G, G, W, W, W, G]))
case("truncated_rle8_delta.bmp", "truncated stream",
     indexed8(b"\x01\x01\x00\x02\x03", BI_RLE8), picture(4, 2, [G, G, G, G, W, G, G, G]))
case("empty.bmp", "truncated stream", b"", "picture 0 0")
case("empty.dib", "truncated stream", b"", NOT_CREATED)

# Bit-field masks: zero, overlapping, too wide, with gaps.
case("bitfields_zero_masks.bmp", "bit-field masks",
     fields(16, [0, 0, 0], b"\xFF\xFF\x12\x34"), picture(2, 1, [0, 0]))
case("bitfields_zero_mask.dib", "bit-field masks",
     fields(32, [0xFF0000, 0xFF00, 0], b"\0" * 8), BAD_FORMAT)
case("bitfields_overlapping.bmp", "bit-field masks",
     fields(16, [0xFF00, 0x0FF0, 0x00FF], b"\x34\x12\x00\x00"), picture(2, 1, [0x122334, 0]))
case("bitfields_overlapping.dib", "bit-field masks",
     fields(16, [0xF800, 0x0FC0, 0x001F], b"\0" * 4), BAD_FORMAT)
case("bitfields_too_wide.bmp", "bit-field masks",
     fields(16, [0xF8000, 0x07E0, 0x001F], b"\0" * 4), BAD_BMP)
case("bitfields_too_wide.dib", "bit-field masks",
     fields(16, [0xF8000, 0x07E0, 0x001F], b"\0" * 4), BAD_FORMAT)
case("bitfields_with_gap.bmp", "bit-field masks",
     fields(16, [0xF400, 0x03E0, 0x001F], b"\0" * 4), BAD_BMP)
case("bitfields_all_ones.bmp", "bit-field masks",
     fields(32, [0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF], b"\x00\x00\x00\x80\xFF\xFF\xFF\xFF"),
     picture(2, 1, [0x808080, 0xFFFFFF]))
case("bitfields_444_in_dib.dib", "bit-field masks",
     fields(16, [0x0F00, 0x00F0, 0x000F], b"\0" * 4), BAD_FORMAT)

# Bit counts and compressions that do not go together.
case("bit_count_zero.bmp", "bit count", patch(rgb2x2(), BIT_COUNT, 0, 2), BAD_BMP)
case("bit_count_2.dib", "bit count", patch(rgb2x2(), BIT_COUNT, 2, 2), bad_bits(2))
case("bit_count_65535.dib", "bit count", patch(rgb2x2(), BIT_COUNT, 65535, 2), bad_bits(65535))
case("bit_count_64.bmp", "bit count", patch(rgb2x2(), BIT_COUNT, 64, 2), BAD_BMP)
case("rle8_at_24_bits.bmp", "compression", patch(rgb2x2(), COMPRESSION, BI_RLE8), BAD_BMP)
case("rle4_at_8_bits.dib", "compression",
     patch(indexed8(b"\x04\x01\x00\x01", BI_RLE8), COMPRESSION, BI_RLE4), BAD_DIB)
case("bitfields_at_24_bits.dib", "compression", patch(rgb2x2(), COMPRESSION, BI_BITFIELDS),
     BAD_DIB)
case("bitfields_at_8_bits.bmp", "compression",
     patch(indexed8(bytes(8)), COMPRESSION, BI_BITFIELDS), BAD_BMP)
case("compression_jpeg.bmp", "compression", patch(rgb2x2(), COMPRESSION, 4), BAD_BMP)
case("compression_png.dib", "compression", patch(rgb2x2(), COMPRESSION, 5), BAD_DIB)
case("compression_huge.bmp", "compression", patch(rgb2x2(), COMPRESSION, 0xFFFFFFFF), BAD_BMP)
case("planes_zero.bmp", "header fields", patch(rgb2x2(), PLANES, 0, 2), BAD_BMP)
case("type_not_bm.dib", "header fields", b"MB" + rgb2x2()[2:], BAD_DIB)
case("v5_header_in_dib.dib", "header fields",
     bmp(2, 1, 24, b"\0" * 8, header=124), BAD_DIB)
case("os2v2_header_in_dib.dib", "header fields",
     bmp(2, 1, 24, b"\0" * 8, header=64), BAD_DIB)
# OS/2 2.x gives compression 3 to Huffman 1D (fax coding), not to bit fields.
case("os2v2_huffman_1d.bmp", "compression",
     bmp(8, 1, 1, b"\0" * 4, compression=BI_BITFIELDS, palette=[0, WHITE], header=64), BAD_BMP)


# PNG files. Every failure is the reader's one message.
BAD_PNG = BAD_BMP
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
IEND = chunk(b"IEND", b"")


def ihdr(w, h, depth=8, colour=2, compression=0, filter_method=0, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour, compression,
                                      filter_method, interlace))


def png(*chunks):
    return PNG_SIGNATURE + b"".join(chunks)


# 2 x 2 RGB: red, green / blue, white; filter type 0 on both rows.
RGB2X2_ROWS = b"\0" + bytes([255, 0, 0, 0, 255, 0]) + b"\0" + bytes([0, 0, 255, 255, 255, 255])


def png_rgb2x2(idat=None, before_idat=b""):
    data = zlib.compress(RGB2X2_ROWS) if idat is None else idat
    return png(ihdr(2, 2), before_idat, chunk(b"IDAT", data), IEND)


PNG_OK = png_rgb2x2()
IHDR_CRC = 8 + 8 + 13  # offset of the IHDR chunk's CRC
IDAT_AT = IHDR_CRC + 4  # offset of the IDAT chunk


def flip(data, at):
    out = bytearray(data)
    out[at] ^= 0x01
    return bytes(out)


def zeros_stream(count):
    """A zlib stream of `count` zero bytes, compressed a megabyte at a time."""
    z = zlib.compressobj(9)
    out = bytearray()
    block = bytes(1 << 20)
    while count > 0:
        n = min(count, len(block))
        out += z.compress(block[:n])
        count -= n
    return bytes(out + z.flush())


def grey1_bomb(w, h):
    """A 1-bit grey picture of w x h black pixels whose image data really inflates to it."""
    return png(ihdr(w, h, 1, 0), chunk(b"IDAT", zeros_stream(h * ((w + 7) // 8 + 1))), IEND)


case("png_empty.png", "png truncated", b"", CUT_SHORT_PNG)
case("png_signature_only.png", "png truncated", PNG_SIGNATURE, CUT_SHORT_PNG)
case("png_truncated_in_ihdr.png", "png truncated", PNG_OK[:20], CUT_SHORT_PNG)
case("png_truncated_in_idat.png", "png truncated", PNG_OK[:IDAT_AT + 12], CUT_SHORT_PNG)
case("png_truncated_before_iend.png", "png truncated", PNG_OK[:-12], CUT_SHORT_PNG)
case("png_bmp_inside.png", "png signature", rgb2x2(), BAD_PNG)
case("png_signature_line_ends_converted.png", "png signature",
     PNG_OK[:4] + b"\n" + PNG_OK[6:], BAD_PNG)
case("png_crc_error_ihdr.png", "png checksum", flip(PNG_OK, IHDR_CRC + 3), BAD_PNG)
case("png_crc_error_idat.png", "png checksum", flip(PNG_OK, len(PNG_OK) - 13), BAD_PNG)
case("png_crc_error_ancillary_chunk.png", "png checksum",
     flip(png_rgb2x2(before_idat=chunk(b"tEXt", b"Title\0sheet")), IDAT_AT + 8), BAD_PNG)
case("png_adler32_error.png", "png checksum", png_rgb2x2(idat=flip(zlib.compress(RGB2X2_ROWS), -1)),
     BAD_PNG)
case("png_deflate_block_type_3.png", "png image data", png_rgb2x2(idat=b"\x78\x9c\x07\x00"),
     BAD_PNG)
case("png_huge_dimensions.png", "png huge dimensions",
     png(ihdr(100000, 100000), chunk(b"IDAT", zlib.compress(bytes(1000))), IEND), BAD_PNG)
case("png_width_2_pow_31.png", "png huge dimensions",
     png(ihdr(0x80000000, 1), chunk(b"IDAT", zlib.compress(bytes(10))), IEND), BAD_PNG)
case("png_side_past_limit.png", "png huge dimensions", grey1_bomb((1 << 20) + 8, 1), BAD_PNG)
case("png_width_zero.png", "png header fields",
     png(ihdr(0, 2), chunk(b"IDAT", zlib.compress(b"\0\0")), IEND), BAD_PNG)
# Small files whose image data inflates to far more than a sheet may hold or than the picture
# needs, and one that claims a picture its data cannot fill.
case("png_bomb_past_pixel_limit.png", "png decompression bomb", grey1_bomb(8200, 8200), BAD_PNG)
case("png_bomb_extra_image_data.png", "png decompression bomb",
     png_rgb2x2(idat=zlib.compress(RGB2X2_ROWS + bytes(10_000_000), 9)),
     BAD_PNG)
case("png_too_little_data_for_its_size.png", "png decompression bomb",
     png(ihdr(8192, 8192, 8, 6), chunk(b"IDAT", zeros_stream(1_000_000)), IEND), BAD_PNG)
case("png_not_enough_image_data.png", "png image data",
     png_rgb2x2(idat=zlib.compress(RGB2X2_ROWS[:7])), BAD_PNG)
case("png_filter_type_5.png", "png image data",
     png_rgb2x2(idat=zlib.compress(b"\5" + RGB2X2_ROWS[1:])), BAD_PNG)
# As in BMP files, indices past the palette are black.
case("png_palette_index_past_palette.png", "png palette index",
     png(ihdr(2, 1, 8, 3), chunk(b"PLTE", bytes([1, 2, 3, 4, 5, 6])),
         chunk(b"IDAT", zlib.compress(b"\0\x01\x05")), IEND), picture(2, 1, [0x040506, 0]))
case("png_palette_index_past_palette_4bit.png", "png palette index",
     png(ihdr(3, 1, 4, 3), chunk(b"PLTE", bytes([1, 2, 3, 4, 5, 6])),
         chunk(b"IDAT", zlib.compress(b"\0\x1F\x00")), IEND),
     picture(3, 1, [0x040506, 0, 0x010203]))
for name, fields in [("png_bit_depth_3.png", dict(depth=3)),
                     ("png_colour_type_5.png", dict(colour=5)),
                     ("png_palette_at_16_bits.png", dict(depth=16, colour=3)),
                     ("png_rgb_at_4_bits.png", dict(depth=4)),
                     ("png_compression_method_1.png", dict(compression=1)),
                     ("png_filter_method_1.png", dict(filter_method=1)),
                     ("png_interlace_method_2.png", dict(interlace=2))]:
    case(name, "png header fields",
         png(ihdr(2, 2, **fields), chunk(b"IDAT", zlib.compress(RGB2X2_ROWS)), IEND), BAD_PNG)
case("png_ihdr_length_12.png", "png header fields",
     png(chunk(b"IHDR", struct.pack(">IIBBBB", 2, 2, 8, 2, 0, 0)),
         chunk(b"IDAT", zlib.compress(RGB2X2_ROWS)), IEND), BAD_PNG)
case("png_ihdr_twice.png", "png chunk order",
     png(ihdr(2, 2), ihdr(2, 2), chunk(b"IDAT", zlib.compress(RGB2X2_ROWS)), IEND), BAD_PNG)
case("png_ihdr_not_first.png", "png chunk order",
     png(chunk(b"tEXt", b"Title\0sheet"), ihdr(2, 2), chunk(b"IDAT", zlib.compress(RGB2X2_ROWS)),
         IEND), BAD_PNG)
case("png_idat_missing.png", "png chunk order", png(ihdr(2, 2), IEND), BAD_PNG)
case("png_palette_missing.png", "png chunk order",
     png(ihdr(2, 1, 8, 3), chunk(b"IDAT", zlib.compress(b"\0\0\0")), IEND), BAD_PNG)
case("png_trns_longer_than_palette.png", "png chunk order",
     png(ihdr(2, 1, 8, 3), chunk(b"PLTE", bytes([1, 2, 3, 4, 5, 6])),
         chunk(b"tRNS", bytes([0, 255, 255])), chunk(b"IDAT", zlib.compress(b"\0\0\1")), IEND),
     BAD_PNG)
case("png_unknown_critical_chunk.png", "png chunk order",
     png_rgb2x2(before_idat=chunk(b"CRIT", b"must be understood")), BAD_PNG)
case("png_chunk_length_huge.png", "png chunk layout",
     png(ihdr(2, 2), struct.pack(">I", 0x7FFFFFF0) + b"tEXt" + b"x" * 16), BAD_PNG)
# What a reader may accept: bytes after IEND, empty IDAT chunks, and colours hidden under
# transparent pixels, which take the bottom-right pixel's colour.
case("png_bytes_after_iend.png", "png chunk layout", PNG_OK + b"\0" * 100,
     picture(2, 2, RGB2X2))
case("png_empty_idat_chunks.png", "png chunk layout",
     png(ihdr(2, 2), chunk(b"IDAT", b""), chunk(b"IDAT", zlib.compress(RGB2X2_ROWS)),
         chunk(b"IDAT", b""), IEND), picture(2, 2, RGB2X2))
case("png_colours_hidden_by_transparency.png", "png transparency",
     png(ihdr(2, 2, 8, 6),
         chunk(b"IDAT", zlib.compress(b"\0" + bytes([255, 0, 0, 0, 0, 255, 0, 255])
                                      + b"\0" + bytes([0, 0, 255, 127, 255, 255, 255, 0]))), IEND),
     picture(2, 2, [WHITE, GREEN, WHITE, WHITE]))
case("png_half_transparent_edge_is_opaque.png", "png transparency",
     png(ihdr(2, 1, 8, 6),
         chunk(b"IDAT", zlib.compress(b"\0" + bytes([0, 0, 255, 128, 255, 0, 0, 0]))), IEND),
     picture(2, 1, [BLUE, RED]))


def main():
    os.makedirs(OUT, exist_ok=True)
    for old in os.listdir(OUT):
        os.remove(os.path.join(OUT, old))
    names = set()
    lines = ["# FILE\tCLASS\tEXPECTATION (written by tests/data/make_hostile_corpus.py)"]
    for name, fault_class, data, expectation in CASES:
        assert name not in names, name
        names.add(name)
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        lines.append("%s\t%s\t%s" % (name, fault_class, expectation))
    with open(os.path.join(OUT, "manifest.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d files to %s" % (len(CASES), OUT))


if __name__ == "__main__":
    main()
