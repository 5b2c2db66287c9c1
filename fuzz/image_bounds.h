#pragma once

#include "surfaces/bitmap_pixels.h"
#include "surfaces/image.h"
#include "surfaces/image_conversion.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace patapata::fuzz {

/// The most pixels a BMP file of `fileBytes` bytes can describe: one bit per pixel when
/// uncompressed, 255 pixels per two bytes of run-length data, and the sparse run-length
/// pictures (every pixel left at palette index 0) up to a million pixels.
inline int64_t describablePixels(std::size_t fileBytes) {
  const int64_t runLength = (static_cast<int64_t>(fileBytes) / 2 + 1) * 255;
  const int64_t sparse = int64_t{1} << 20;
  return runLength > sparse ? runLength : sparse;
}

/// The most pixels a PNG file of `fileBytes` bytes can describe: deflate inflates at most
/// 1032 times, and a 1-bit picture holds eight pixels in a byte.
inline int64_t describablePngPixels(std::size_t fileBytes) {
  return static_cast<int64_t>(fileBytes) * 1032 * 8;
}

/// Aborts (a finding) when a decoded picture is inconsistent or larger than `describable`, the
/// most pixels its file could describe.
inline void checkDecoded(const DecodedImage& image, int64_t describable) {
  const int64_t pixels = int64_t{image.width} * image.height;
  if (image.width < 0 || image.height < 0) std::abort();
  if (static_cast<int64_t>(image.size()) != pixels) std::abort();
  if (image.indexed() && !image.pixels.empty()) std::abort();  // one form or the other
  if (pixels > kMaxBitmapPixels || pixels > describable) std::abort();
  for (const uint32_t p : image.pixels) {
    if ((p >> 24) != 0) std::abort();  // colours are 0x00RRGGBB
  }
  for (const uint32_t p : image.palette) {
    if ((p >> 24) != 0) std::abort();
  }
}

/// Writes a decoded picture into surface memory of exactly its size in both display formats,
/// so that the sanitizers see any write past it. Large pictures are left out: clearing their
/// memory would slow the search through the readers far more than it adds.
inline void writeDecoded(const DecodedImage& image) {
  if (int64_t{image.width} * image.height > (int64_t{1} << 16)) return;
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    const int32_t pitch = image.width * format.bytesPerPixel();
    std::vector<uint8_t> memory(static_cast<std::size_t>(pitch) * image.height);
    LockDescription target;
    target.bits = memory.data();
    target.pitch = pitch;
    target.format = format;
    writeImage(image, target);
  }
}

}  // namespace patapata::fuzz
