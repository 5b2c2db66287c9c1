#pragma once

#include <cstdint>

namespace patapata {

/// One colour channel of raw pixel values, found by its mask.
struct ColourChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit ColourChannel(uint32_t channelMask);
  /// The channel of `raw` widened to 8 bits; a narrower channel repeats its high bits so that
  /// full intensity stays 255.
  uint32_t widen(uint32_t raw) const;
};

/// A display pixel format. Raw pixel values are little-endian integers of bitsPerPixel bits.
struct PixelFormat {
  int32_t bitsPerPixel = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;

  /// 32-bit XRGB: raw 0x00RRGGBB, top byte always 0.
  static constexpr PixelFormat xrgb8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
  /// 16-bit 5-6-5.
  static constexpr PixelFormat rgb565() { return {16, 0xF800, 0x07E0, 0x001F}; }

  int32_t bytesPerPixel() const { return (bitsPerPixel + 7) / 8; }
  /// Bytes from one row of a surface `width` pixels wide to the next: whole 32-bit words.
  int32_t surfacePitch(int32_t width) const { return ((width * bytesPerPixel()) + 3) & ~3; }

  /// The raw value of a 0x00RRGGBB colour; channels are reduced by dropping low bits.
  uint32_t fromRgb(uint32_t rgb) const;
  /// The 0x00RRGGBB colour of a raw value; reduced channels are widened by bit replication.
  uint32_t toRgb(uint32_t raw) const;

  friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

}  // namespace patapata
