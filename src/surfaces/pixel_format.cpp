#include "surfaces/pixel_format.h"

#include <bit>

namespace patapata {

namespace {

uint32_t packChannel(uint32_t value8, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint32_t reduced = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (reduced << shift) & mask;
}

uint32_t unpackChannel(uint32_t raw, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  uint32_t v = (raw & mask) >> shift;
  if (bits >= 8) return v >> (bits - 8);
  // Replicate the high bits into the low ones so that full intensity stays 255.
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << bits) | v;
    filled += bits;
  }
  return out >> (filled - 8);
}

}  // namespace

uint32_t PixelFormat::fromRgb(uint32_t rgb) const {
  return packChannel((rgb >> 16) & 0xFF, redMask) | packChannel((rgb >> 8) & 0xFF, greenMask) |
         packChannel(rgb & 0xFF, blueMask);
}

uint32_t PixelFormat::toRgb(uint32_t raw) const {
  return (unpackChannel(raw, redMask) << 16) | (unpackChannel(raw, greenMask) << 8) |
         unpackChannel(raw, blueMask);
}

}  // namespace patapata
