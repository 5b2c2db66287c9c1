#pragma once

#include "surfaces/copy_mode.h"

#include <cstddef>
#include <cstdint>

// The inner loops of the drawing layer: fills, plain and keyed copies and the conversion of
// 24-bit pictures, in vector instructions chosen when the program runs (the best the processor
// has of those built in). `scalar` holds the same operations a pixel at a time: the reference
// the vector forms must equal byte for byte, and the path for what they do not cover.
namespace patapata::pixel_rows {

/// A block of `height` rows of `width` pixels in each of two images; `*Pitch` is the distance
/// from one row to the next in bytes, negative to walk the rows upwards.
struct RowPair {
  uint8_t* dst = nullptr;
  std::ptrdiff_t dstPitch = 0;
  const uint8_t* src = nullptr;
  std::ptrdiff_t srcPitch = 0;
  int32_t width = 0;
  int32_t height = 0;
};

/// Copies the block. No row of `dst` may overlap a row of `src` that is read after it.
void copy(const RowPair& rows, int32_t bytesPerPixel);
/// Copies the block, and tells whether that changed any byte of the destination. The rows must
/// not overlap at all.
bool copyNoticingChange(const RowPair& rows, int32_t bytesPerPixel);
/// Copies the block, leaving the destination pixels whose source pixel equals `key` as they
/// were. The rows must not overlap at all.
void copyKeyed(const RowPair& rows, int32_t bytesPerPixel, uint32_t key);
/// Two blocks of the same size drawn as one: `over`'s pixels, except where they equal `key`,
/// there `under`'s. Neither may overlap `dst`.
struct RowTriple {
  uint8_t* dst = nullptr;
  std::ptrdiff_t dstPitch = 0;
  const uint8_t* under = nullptr;
  std::ptrdiff_t underPitch = 0;
  const uint8_t* over = nullptr;
  std::ptrdiff_t overPitch = 0;
  int32_t width = 0;
  int32_t height = 0;
};

/// The same as copying `under` and then `over` keyed by `key` onto `dst`, in one pass that
/// reads neither the destination nor writes it twice.
void copyKeyedOver(const RowTriple& rows, int32_t bytesPerPixel, uint32_t key);
/// Sets `width` pixels of each of `height` rows to `raw`; the bytes between rows are left.
void fill(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height,
          int32_t bytesPerPixel, uint32_t raw);

/// Converts `count` pixels of 24-bit picture data (blue, green, red bytes) to 32-bit XRGB raw
/// values (0x00RRGGBB, little-endian) at `out`.
void bgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out);
/// Converts `count` pixels of 24-bit picture data to 5-6-5 raw values (little-endian) at
/// `out`, dropping the low bits of each channel.
void bgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out);
/// Converts `count` 0x00RRGGBB colours to 5-6-5 raw values at `out`, as bgrToRgb565.
void xrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out);

/// The instruction set the functions above use on this processor, as Highway names it.
const char* instructionSet();

namespace scalar {

/// The raw value of the little-endian pixel of `bytes` bytes at `p`, and its store.
uint32_t load(const uint8_t* p, int32_t bytes);
void store(uint8_t* p, int32_t bytes, uint32_t raw);

/// As pixel_rows::copy, one pixel at a time, in the direction `walk`; keyed or not. Rows may
/// overlap as long as the walk reads no pixel after writing it.
void copy(const RowPair& rows, int32_t bytesPerPixel, CopyMode mode, uint32_t key, RowWalk walk);
bool copyNoticingChange(const RowPair& rows, int32_t bytesPerPixel);
void copyKeyedOver(const RowTriple& rows, int32_t bytesPerPixel, uint32_t key);
void fill(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height,
          int32_t bytesPerPixel, uint32_t raw);
void bgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out);
void bgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out);
void xrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out);

}  // namespace scalar

}  // namespace patapata::pixel_rows
