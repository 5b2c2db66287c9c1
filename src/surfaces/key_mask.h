#pragma once

#include <cstddef>
#include <cstdint>

// Which pixels of a row are not the colour key, as bits: the first step of finding what is
// drawn on a sheet, in vector instructions chosen when the program runs.
namespace patapata::key_mask {

/// The 64-bit words a mask of `width` pixels takes.
inline std::size_t words(int32_t width) {
  return width <= 0 ? 0 : (static_cast<std::size_t>(width) + 63) / 64;
}

/// Sets bit i % 64 of `mask[i / 64]` when pixel i of the row of `width` pixels of
/// `bytesPerPixel` (1 to 4) bytes at `row` is not `key`, and clears it when it is; the bits past
/// the row's end are cleared. `mask` holds words(width) words. A key with bits beyond a
/// pixel's size equals no pixel.
void mark(const uint8_t* row, int32_t width, int32_t bytesPerPixel, uint32_t key, uint64_t* mask);

namespace scalar {

/// The same, a pixel at a time: the reference the vector forms must equal.
void mark(const uint8_t* row, int32_t width, int32_t bytesPerPixel, uint32_t key, uint64_t* mask);

}  // namespace scalar

}  // namespace patapata::key_mask
