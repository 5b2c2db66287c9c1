#include "surfaces/pixel_mix.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "surfaces/pixel_mix.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/highway.h>

// Included once more for every instruction set; the helpers below are defined only the first
// time.
#ifndef PATAPATA_PIXEL_MIX_HELPERS
#define PATAPATA_PIXEL_MIX_HELPERS
namespace patapata::pixel_mix {
namespace {

// Exact rounding of (under × (256 − w) + over × w) / 256, which never exceeds 255 × 256 + 128
// and so fits 16 bits.
inline uint32_t mixChannel(uint32_t under, uint32_t over, uint32_t weight) {
  return (under * (kFullWeight - weight) + over * weight + 128) >> 8;
}

// The bytes [from, to) of row y of each block, one at a time.
inline void mixRowBytes(const pixel_rows::RowTriple& rows, int32_t y, std::ptrdiff_t from,
                        std::ptrdiff_t to, uint32_t weight) {
  uint8_t* dst = rows.dst + y * rows.dstPitch;
  const uint8_t* under = rows.under + y * rows.underPitch;
  const uint8_t* over = rows.over + y * rows.overPitch;
  for (std::ptrdiff_t i = from; i < to; ++i) {
    dst[i] = static_cast<uint8_t>(mixChannel(under[i], over[i], weight));
  }
}

// The pixels [from, to) of row y of 5-6-5 blocks, one at a time, each channel at its width.
inline void mixRow565(const pixel_rows::RowTriple& rows, int32_t y, int32_t from, int32_t to,
                      uint32_t weight) {
  uint8_t* dst = rows.dst + y * rows.dstPitch;
  const uint8_t* under = rows.under + y * rows.underPitch;
  const uint8_t* over = rows.over + y * rows.overPitch;
  for (int32_t x = from; x < to; ++x) {
    uint16_t u = 0;
    uint16_t o = 0;
    std::memcpy(&u, under + std::ptrdiff_t{x} * 2, 2);
    std::memcpy(&o, over + std::ptrdiff_t{x} * 2, 2);
    const uint32_t r = mixChannel(u >> 11, o >> 11, weight);
    const uint32_t g = mixChannel((u >> 5) & 0x3F, (o >> 5) & 0x3F, weight);
    const uint32_t b = mixChannel(u & 0x1F, o & 0x1F, weight);
    const auto mixed = static_cast<uint16_t>((r << 11) | (g << 5) | b);
    std::memcpy(dst + std::ptrdiff_t{x} * 2, &mixed, 2);
  }
}

}  // namespace
}  // namespace patapata::pixel_mix
#endif  // PATAPATA_PIXEL_MIX_HELPERS

HWY_BEFORE_NAMESPACE();
namespace patapata::pixel_mix::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Bytes are taken in pairs as 16-bit lanes: the low byte and the high byte of each lane are
// mixed apart, so no lane ever holds more than 255 × 256 + 128. A row's last bytes that fill
// no whole vector are mixed one at a time: a vector overlapping the one before would mix again
// what an in-place mix has already mixed.
void MixBytes(const pixel_rows::RowTriple& rows, std::ptrdiff_t rowBytes, uint32_t weight) {
#if HWY_TARGET == HWY_SCALAR
  // Vectors of one lane gain nothing over the plain loop.
  for (int32_t y = 0; y < rows.height; ++y) mixRowBytes(rows, y, 0, rowBytes, weight);
#else
  const hn::ScalableTag<uint8_t> d8;
  const hn::Repartition<uint16_t, decltype(d8)> d16;
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(d8));
  const auto keep = hn::Set(d16, static_cast<uint16_t>(kFullWeight - weight));
  const auto take = hn::Set(d16, static_cast<uint16_t>(weight));
  const auto half = hn::Set(d16, uint16_t{128});
  const auto lowByte = hn::Set(d16, uint16_t{0x00FF});
  const auto highByte = hn::Set(d16, uint16_t{0xFF00});
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* under = rows.under + y * rows.underPitch;
    const uint8_t* over = rows.over + y * rows.overPitch;
    std::ptrdiff_t x = 0;
    for (; x + n <= rowBytes; x += n) {
      const auto u = hn::BitCast(d16, hn::LoadU(d8, under + x));
      const auto o = hn::BitCast(d16, hn::LoadU(d8, over + x));
      const auto low = hn::Add(
          hn::Add(hn::Mul(hn::And(u, lowByte), keep), hn::Mul(hn::And(o, lowByte), take)), half);
      const auto high = hn::Add(
          hn::Add(hn::Mul(hn::ShiftRight<8>(u), keep), hn::Mul(hn::ShiftRight<8>(o), take)), half);
      const auto mixed = hn::Or(hn::ShiftRight<8>(low), hn::And(high, highByte));
      hn::StoreU(hn::BitCast(d8, mixed), d8, dst + x);
    }
    mixRowBytes(rows, y, x, rowBytes, weight);
  }
#endif
}

// A pixel a lane: each channel is taken out, mixed as in MixBytes (at most 63 × 256 + 128) and
// put back. The last pixels that fill no whole vector are mixed one at a time, as there.
void MixRgb565(const pixel_rows::RowTriple& rows, uint32_t weight) {
#if HWY_TARGET == HWY_SCALAR
  for (int32_t y = 0; y < rows.height; ++y) mixRow565(rows, y, 0, rows.width, weight);
#else
  const hn::ScalableTag<uint8_t> d8;
  const hn::Repartition<uint16_t, decltype(d8)> d16;
  const auto n = static_cast<int32_t>(hn::Lanes(d16));
  const auto keep = hn::Set(d16, static_cast<uint16_t>(kFullWeight - weight));
  const auto take = hn::Set(d16, static_cast<uint16_t>(weight));
  const auto half = hn::Set(d16, uint16_t{128});
  const auto six = hn::Set(d16, uint16_t{0x3F});
  const auto five = hn::Set(d16, uint16_t{0x1F});
  const auto mix = [&](auto u, auto o) {
    return hn::ShiftRight<8>(hn::Add(hn::Add(hn::Mul(u, keep), hn::Mul(o, take)), half));
  };
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* under = rows.under + y * rows.underPitch;
    const uint8_t* over = rows.over + y * rows.overPitch;
    int32_t x = 0;
    for (; x + n <= rows.width; x += n) {
      const std::ptrdiff_t at = std::ptrdiff_t{x} * 2;
      const auto u = hn::BitCast(d16, hn::LoadU(d8, under + at));
      const auto o = hn::BitCast(d16, hn::LoadU(d8, over + at));
      const auto r = mix(hn::ShiftRight<11>(u), hn::ShiftRight<11>(o));
      const auto g = mix(hn::And(hn::ShiftRight<5>(u), six), hn::And(hn::ShiftRight<5>(o), six));
      const auto b = mix(hn::And(u, five), hn::And(o, five));
      const auto mixed = hn::Or(hn::Or(hn::ShiftLeft<11>(r), hn::ShiftLeft<5>(g)), b);
      hn::StoreU(hn::BitCast(d8, mixed), d8, dst + at);
    }
    mixRow565(rows, y, x, rows.width, weight);
  }
#endif
}

}  // namespace patapata::pixel_mix::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace patapata::pixel_mix {

HWY_EXPORT(MixBytes);
HWY_EXPORT(MixRgb565);

namespace {

uint32_t clampedWeight(int32_t weight) {
  return static_cast<uint32_t>(std::clamp(weight, 0, kFullWeight));
}

}  // namespace

void mixBytes(const pixel_rows::RowTriple& rows, int32_t bytesPerPixel, int32_t weight) {
  if (rows.width <= 0 || rows.height <= 0) return;
  HWY_DYNAMIC_DISPATCH(MixBytes)
  (rows, std::ptrdiff_t{rows.width} * bytesPerPixel, clampedWeight(weight));
}

void mixRgb565(const pixel_rows::RowTriple& rows, int32_t weight) {
  if (rows.width <= 0 || rows.height <= 0) return;
  HWY_DYNAMIC_DISPATCH(MixRgb565)(rows, clampedWeight(weight));
}

namespace scalar {

void mixBytes(const pixel_rows::RowTriple& rows, int32_t bytesPerPixel, int32_t weight) {
  const uint32_t w = clampedWeight(weight);
  for (int32_t y = 0; y < rows.height; ++y) {
    mixRowBytes(rows, y, 0, std::ptrdiff_t{rows.width} * bytesPerPixel, w);
  }
}

void mixRgb565(const pixel_rows::RowTriple& rows, int32_t weight) {
  const uint32_t w = clampedWeight(weight);
  for (int32_t y = 0; y < rows.height; ++y) mixRow565(rows, y, 0, rows.width, w);
}

}  // namespace scalar

}  // namespace patapata::pixel_mix

#endif  // HWY_ONCE
