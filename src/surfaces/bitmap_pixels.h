#pragma once

#include "common/message.h"
#include "surfaces/bitmap_header.h"
#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace patapata {

class FileReader;

/// The largest picture any image reader decodes, in pixels (8192 × 8192).
inline constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

/// A validated description of a BMP file's pixel data.
struct BitmapLayout {
  int32_t width = 0;
  /// Number of rows, positive.
  int32_t height = 0;
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  /// Byte offset of the pixel data in the file.
  uint32_t offBits = 0;
  /// Colours of the indexed formats, 0x00RRGGBB; indices past its end are black.
  std::vector<uint32_t> palette;
  /// Red, green and blue masks of the 16- and 32-bit formats: each zero or one contiguous run
  /// of bits within the pixel.
  std::array<uint32_t, 3> masks{};
};

/// The layout of a checked header: its size, row order, depth and compression, with the
/// masks and colour table the reader settled on.
BitmapLayout bitmapLayout(const BitmapInfo& info, const std::array<uint32_t, 3>& masks,
                          std::vector<uint32_t> palette);

/// Decodes the pixel data described by `layout`, top-down: palette indices and the colour
/// table for 1-, 4- and 8-bit and run-length pictures, 0x00RRGGBB colours for the others, or,
/// for those, raw pixels of `display` when one is given.
/// Pixels that run-length data never writes take palette index 0; a run or delta past the
/// row or the image is clipped. Throws Error "ストリームからの読み込みエラー" when
/// uncompressed data is cut short, and Error with `invalidMessage` when the picture
/// is larger than kMaxBitmapPixels or than the run-length data could describe.
DecodedImage decodeBitmapPixels(std::span<const uint8_t> file, const BitmapLayout& layout,
                                MessageId invalidMessage, const PixelFormat* display = nullptr);

/// How much of a file decodeBitmapPixelsInPieces reads at a time: small enough to stay in the
/// cache while its rows are converted.
inline constexpr std::size_t kBitmapPieceBytes = std::size_t{256} << 10;

/// True for the pictures decodeBitmapPixelsInPieces decodes: uncompressed, stored in colours.
bool decodesInPieces(const BitmapLayout& layout);

/// The pixels of such a picture in `display`, as decodeBitmapPixels gives them, read from
/// `file` a piece of at most `pieceBytes` (or one row) at a time instead of from the whole
/// file in memory: a large sheet then costs the memory of its picture only.
DecodedImage decodeBitmapPixelsInPieces(const BitmapLayout& layout, FileReader& file,
                                        MessageId invalidMessage, const PixelFormat& display,
                                        std::size_t pieceBytes = kBitmapPieceBytes);

/// The masks of the formats without bit fields: 5-5-5 at 16 bits, 8-8-8 at 32.
std::array<uint32_t, 3> defaultBitmapMasks(uint16_t bitCount);

/// True when `mask` is zero or one contiguous run of bits below bit `bitCount`.
bool isContiguousMask(uint32_t mask, uint16_t bitCount);

}  // namespace patapata
