#include "surfaces/key_mask.h"

#include "surfaces/pixel_rows.h"

#include <bit>
#include <cstring>

// Compiled once for every instruction set Highway targets, by including this file again;
// HWY_DYNAMIC_DISPATCH picks the best one the processor runs.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "surfaces/key_mask.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace patapata::key_mask::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR

void Mark8(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  scalar::mark(row, width, 1, key, mask);
}
void Mark16(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  scalar::mark(row, width, 2, key, mask);
}
void Mark32(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  scalar::mark(row, width, 4, key, mask);
}

#else

// Whole words of 64 pixels take 64 / lanes compares, each giving its lanes' bits; the pixels
// after the last whole word go a pixel at a time. Pixels are loaded as bytes, so that no
// pointer to a wider type is formed into memory that holds bytes.
template <typename T>
void markRow(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  const hn::ScalableTag<T> d;
  const hn::Repartition<uint8_t, hn::ScalableTag<T> > bytes;
  const std::size_t n = hn::Lanes(d);
  const int32_t whole = width / 64 * 64;
  if (n > 64 || 64 % n != 0) {
    scalar::mark(row, width, sizeof(T), key, mask);
    return;
  }
  const auto vkey = hn::Set(d, static_cast<T>(key));
  for (int32_t x = 0; x < whole; x += 64) {
    uint64_t word = 0;
    for (std::size_t i = 0; i < 64; i += n) {
      const auto pixels = hn::BitCast(d, hn::LoadU(bytes, row + (x + i) * sizeof(T)));
      uint8_t bits[8] = {};
      hn::StoreMaskBits(d, hn::Ne(pixels, vkey), bits);
      uint64_t lanes = 0;
      std::memcpy(&lanes, bits, sizeof(lanes));
      word |= lanes << i;
    }
    mask[x / 64] = word;
  }
  if (whole < width) {
    scalar::mark(row + std::size_t(whole) * sizeof(T), width - whole, sizeof(T), key,
                 mask + whole / 64);
  }
}

void Mark8(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  markRow<uint8_t>(row, width, key, mask);
}
void Mark16(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  markRow<uint16_t>(row, width, key, mask);
}
void Mark32(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  markRow<uint32_t>(row, width, key, mask);
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace patapata::key_mask::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace patapata::key_mask {

// The bits come out of the vectors in the order of the bytes in memory.
static_assert(std::endian::native == std::endian::little);

HWY_EXPORT(Mark8);
HWY_EXPORT(Mark16);
HWY_EXPORT(Mark32);

void mark(const uint8_t* row, int32_t width, int32_t bytesPerPixel, uint32_t key, uint64_t* mask) {
  if (width <= 0) return;
  if (bytesPerPixel < 4 && key >> (8 * bytesPerPixel) != 0) {
    std::memset(mask, 0xFF, words(width) * sizeof(uint64_t));
    if (width % 64 != 0) mask[width / 64] = (uint64_t{1} << (width % 64)) - 1;
    return;
  }
  switch (bytesPerPixel) {
    case 4:
      return HWY_DYNAMIC_DISPATCH(Mark32)(row, width, key, mask);
    case 2:
      return HWY_DYNAMIC_DISPATCH(Mark16)(row, width, key, mask);
    case 1:
      return HWY_DYNAMIC_DISPATCH(Mark8)(row, width, key, mask);
    default:
      return scalar::mark(row, width, bytesPerPixel, key, mask);
  }
}

namespace scalar {

void mark(const uint8_t* row, int32_t width, int32_t bytesPerPixel, uint32_t key, uint64_t* mask) {
  for (std::size_t i = 0; i < words(width); ++i) mask[i] = 0;
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t raw =
        pixel_rows::scalar::load(row + std::size_t(x) * bytesPerPixel, bytesPerPixel);
    if (raw != key) mask[x / 64] |= uint64_t{1} << (x % 64);
  }
}

}  // namespace scalar

}  // namespace patapata::key_mask

#endif  // HWY_ONCE
