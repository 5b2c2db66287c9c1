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

}  // namespace

ColourChannel::ColourChannel(uint32_t channelMask)
    : mask(channelMask),
      shift(channelMask == 0 ? 0 : std::countr_zero(channelMask)),
      bits(std::popcount(channelMask)) {}

uint32_t ColourChannel::widen(uint32_t raw) const {
  if (bits == 0) return 0;
  const uint32_t v = (raw & mask) >> shift;
  if (bits >= 8) return v >> (bits - 8);
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << bits) | v;
    filled += bits;
  }
  return out >> (filled - 8);
}

uint32_t PixelFormat::fromRgb(uint32_t rgb) const {
  return packChannel((rgb >> 16) & 0xFF, redMask) | packChannel((rgb >> 8) & 0xFF, greenMask) |
         packChannel(rgb & 0xFF, blueMask);
}

uint32_t PixelFormat::toRgb(uint32_t raw) const {
  return (ColourChannel(redMask).widen(raw) << 16) | (ColourChannel(greenMask).widen(raw) << 8) |
         ColourChannel(blueMask).widen(raw);
}

}  // namespace patapata
