#pragma once

#include "surfaces/image.h"

#include <cstdint>
#include <span>

namespace patapata {

/// The longest side of a PNG picture the reader takes, in pixels; the area is held to
/// kMaxBitmapPixels as for BMP files.
inline constexpr uint32_t kMaxPngSide = uint32_t{1} << 20;

/// Decodes a PNG file (the ".png" reader) with libpng: every colour type and bit depth,
/// interlaced or not, 16-bit samples rounded to 8 bits, gamma and colour chunks ignored.
/// Palette and grey pictures keep one index per pixel (indices past the palette are black, as
/// in BMP files); the others hold colours.
///
/// Transparency follows the sheet's colour-key rule: when the picture has an alpha channel or
/// a tRNS chunk and its bottom-right pixel's alpha is below 128, every pixel whose alpha is
/// below 128 takes the bottom-right pixel's colour, which becomes the key; pixels of alpha
/// 128 or more keep their colour. Otherwise alpha is ignored.
///
/// A file that ends where the picture goes on (a save in progress) throws Error PictureCutShort,
/// whose text is the same. Throws Error "ビットマップイメージが不正です" for anything else libpng
/// refuses (truncated files, CRC or checksum errors, bad headers, chunks missing or out of order,
/// too much or too little image data), for pictures larger than kMaxBitmapPixels or kMaxPngSide,
/// and for pictures larger than the file's compressed data could describe; nothing of the
/// picture's size is allocated then.
DecodedImage decodePng(std::span<const uint8_t> file);

}  // namespace patapata
