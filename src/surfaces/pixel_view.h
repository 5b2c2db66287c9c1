#pragma once

#include "surfaces/pixel_rows.h"

#include <cstddef>
#include <cstdint>

namespace patapata {

/// Raw pixels to read, owned by someone else (a locked surface, a decoded picture): `height`
/// rows of `width` pixels of `bytesPerPixel` bytes, each row `pitch` bytes after the one before
/// (negative to walk the rows upwards). Raw values are the pixels' little-endian bytes, as the
/// surfaces store them; they are compared, never converted.
struct PixelView {
  const uint8_t* bits = nullptr;
  std::ptrdiff_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bytesPerPixel = 0;

  /// True when the numbers describe pixels that can be read: a size of at least one pixel,
  /// 1 to 4 bytes per pixel and rows that do not overlap. Everything that takes a view reads
  /// nothing of one that is not.
  bool isReadable() const {
    if (bits == nullptr || width <= 0 || height <= 0) return false;
    if (bytesPerPixel < 1 || bytesPerPixel > 4) return false;
    const std::ptrdiff_t row = std::ptrdiff_t{width} * bytesPerPixel;
    return height == 1 || pitch >= row || -pitch >= row;
  }

  /// The first byte of row `y`, which must lie inside the view.
  const uint8_t* row(int32_t y) const { return bits + std::ptrdiff_t{y} * pitch; }

  /// The raw value of pixel (x, y), which must lie inside a readable view.
  uint32_t raw(int32_t x, int32_t y) const {
    return pixel_rows::scalar::load(row(y) + std::ptrdiff_t{x} * bytesPerPixel, bytesPerPixel);
  }
};

/// A sheet's transparent colour: the raw value of its bottom-right pixel; 0 for a view that is
/// not readable.
inline uint32_t sheetKeyOf(const PixelView& sheet) {
  return sheet.isReadable() ? sheet.raw(sheet.width - 1, sheet.height - 1) : 0;
}

}  // namespace patapata
