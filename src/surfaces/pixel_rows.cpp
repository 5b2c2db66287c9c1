#include "surfaces/pixel_rows.h"

#include "surfaces/key_mask.h"

#include <bit>
#include <cstdint>
#include <cstring>

// Highway compiles the code between HWY_BEFORE_NAMESPACE and HWY_AFTER_NAMESPACE once for
// every instruction set it targets, by including this file again; HWY_DYNAMIC_DISPATCH then
// picks the best one the processor runs.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "surfaces/pixel_rows.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep

#include <hwy/cache_control.h>
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace patapata::pixel_rows::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR

// Vectors of one lane gain nothing over the plain loops.
template <typename T>
void copyKeyedBlock(const RowPair& rows, T key) {
  scalar::copy(rows, sizeof(T), CopyMode::keyed, key, RowWalk::leftToRight);
}
template <typename T>
void copyKeyedOverBlock(const RowTriple& rows, T key) {
  scalar::copyKeyedOver(rows, sizeof(T), key);
}
template <typename T>
void fillBlock(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height, T raw) {
  scalar::fill(first, pitch, width, height, sizeof(T), raw);
}
template <typename T>
void markRow(const uint8_t* row, int32_t width, uint32_t key, uint64_t* mask) {
  key_mask::scalar::mark(row, width, sizeof(T), key, mask);
}
void CopyBlock(const RowPair& rows, int32_t bytesPerPixel) {
  scalar::copy(rows, bytesPerPixel, CopyMode::opaque, 0, RowWalk::leftToRight);
}
bool CopyNoticingChange(const RowPair& rows, int32_t bytesPerPixel) {
  return scalar::copyNoticingChange(rows, bytesPerPixel);
}
void BgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out) {
  scalar::bgrToXrgb8888(bgr, count, out);
}
void BgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out) {
  scalar::bgrToRgb565(bgr, count, out);
}
void XrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out) {
  scalar::xrgbToRgb565(rgb, count, out);
}

#else

// Pixels are loaded and stored as bytes and reinterpreted in registers, so that no pointer to
// a wider type is formed into memory that holds bytes, at whatever alignment.
template <typename T>
struct Lanes {
  hn::ScalableTag<T> d;
  hn::Repartition<uint8_t, hn::ScalableTag<T> > bytes;

  hn::Vec<hn::ScalableTag<T> > load(const uint8_t* p) const {
    return hn::BitCast(d, hn::LoadU(bytes, p));
  }
  void store(hn::Vec<hn::ScalableTag<T> > v, uint8_t* p) const {
    hn::StoreU(hn::BitCast(bytes, v), bytes, p);
  }
};

// The rows below are as wide as a vector or wider. Each row is taken in vectors whose stores
// are aligned, which a store across two cache lines is not, with a first and a last vector
// that overlap the aligned ones at the row's ends. Writing a pixel twice with the same value
// changes nothing, since source and destination never overlap.

// The first pixel at or after `p` whose address is a multiple of `vectorBytes`, counted from
// `p`; 0 when pixels there are not aligned to their own size, as then none is.
template <typename T>
HWY_INLINE std::ptrdiff_t pixelsToAlignment(const uint8_t* p, std::size_t vectorBytes) {
  const auto address = reinterpret_cast<std::uintptr_t>(p);
  if (address % sizeof(T) != 0) return 0;
  const std::size_t misalignment = address & (vectorBytes - 1);
  if (misalignment == 0) return 0;
  return static_cast<std::ptrdiff_t>((vectorBytes - misalignment) / sizeof(T));
}

template <typename T>
void copyKeyedBlock(const RowPair& rows, T key) {
  const Lanes<T> v;
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(v.d));
  const std::ptrdiff_t width = rows.width;
  if (width < n) return scalar::copy(rows, sizeof(T), CopyMode::keyed, key, RowWalk::leftToRight);
  const auto vkey = hn::Set(v.d, key);
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* src = rows.src + y * rows.srcPitch;
    const auto step = [&](std::ptrdiff_t x) HWY_ATTR {
      const std::size_t at = static_cast<std::size_t>(x) * sizeof(T);
      const auto pixels = v.load(src + at);
      v.store(hn::IfThenElse(hn::Eq(pixels, vkey), v.load(dst + at), pixels), dst + at);
    };
    // A vector that reads destination pixels a store just before wrote in part waits for the
    // store to reach the cache; so the last vector goes first, and the first one last, when
    // the aligned stores next to it are long done.
    step(width - n);
    for (std::ptrdiff_t x = pixelsToAlignment<T>(dst, n * sizeof(T)); x + n <= width; x += n) {
      step(x);
    }
    step(0);
  }
}

// The unit in which memory reaches the cache.
constexpr std::size_t kCacheLine = 64;

// Nothing is read from the destination, so the vectors may go in any order.
template <typename T>
void copyKeyedOverBlock(const RowTriple& rows, T key) {
  const Lanes<T> v;
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(v.d));
  const std::ptrdiff_t width = rows.width;
  if (width < n) return scalar::copyKeyedOver(rows, sizeof(T), key);
  const auto vkey = hn::Set(v.d, key);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(T);
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* under = rows.under + y * rows.underPitch;
    const uint8_t* over = rows.over + y * rows.overPitch;
    // Rows of a cel in the sheet lie a sheet's width apart, too short for the processor to
    // notice them as a stream: the next row's lines are asked for before this row is copied.
    // WebAssembly has no prefetch, and its compiler keeps the empty loop.
    if (!HWY_ARCH_WASM && y + 1 < rows.height) {
      for (std::size_t at = 0; at < rowBytes; at += kCacheLine) {
        hwy::Prefetch(under + rows.underPitch + at);
        hwy::Prefetch(over + rows.overPitch + at);
      }
    }
    const auto step = [&](std::ptrdiff_t x) HWY_ATTR {
      const std::size_t at = static_cast<std::size_t>(x) * sizeof(T);
      const auto pixels = v.load(over + at);
      v.store(hn::IfThenElse(hn::Eq(pixels, vkey), v.load(under + at), pixels), dst + at);
    };
    step(0);
    step(width - n);
    // Two vectors a step, both loaded before either is stored; the three rows are walked by
    // pointers, which WebAssembly, having no scaled addressing, otherwise recomputes per load.
    const std::ptrdiff_t start = pixelsToAlignment<T>(dst, n * sizeof(T));
    const std::size_t vectorBytes = static_cast<std::size_t>(n) * sizeof(T);
    const std::ptrdiff_t pairs = (width - start) / (2 * n);
    const std::size_t first = static_cast<std::size_t>(start) * sizeof(T);
    const uint8_t* o = over + first;
    const uint8_t* u = under + first;
    uint8_t* d = dst + first;
    for (std::ptrdiff_t i = 0; i < pairs; ++i) {
      const auto a = v.load(o);
      const auto aUnder = v.load(u);
      const auto b = v.load(o + vectorBytes);
      const auto bUnder = v.load(u + vectorBytes);
      v.store(hn::IfThenElse(hn::Eq(a, vkey), aUnder, a), d);
      v.store(hn::IfThenElse(hn::Eq(b, vkey), bUnder, b), d + vectorBytes);
      o += 2 * vectorBytes;
      u += 2 * vectorBytes;
      d += 2 * vectorBytes;
    }
    const std::ptrdiff_t x = start + pairs * 2 * n;
    if (x + n <= width) step(x);
  }
}

void CopyBlock(const RowPair& rows, int32_t bytesPerPixel) {
  const Lanes<uint8_t> v;
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(v.d));
  const std::ptrdiff_t bytes = std::ptrdiff_t{rows.width} * bytesPerPixel;
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* src = rows.src + y * rows.srcPitch;
    if (bytes < n) {
      std::memcpy(dst, src, static_cast<std::size_t>(bytes));
      continue;
    }
    v.store(v.load(src), dst);
    v.store(v.load(src + bytes - n), dst + bytes - n);
    for (std::ptrdiff_t x = pixelsToAlignment<uint8_t>(dst, n); x + n <= bytes; x += n) {
      v.store(v.load(src + x), dst + x);
    }
  }
}

// Each vector of the destination is compared before it is stored, so a byte rewritten by an
// overlapping vector was compared before the first store changed it.
bool CopyNoticingChange(const RowPair& rows, int32_t bytesPerPixel) {
  const Lanes<uint8_t> v;
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(v.d));
  const std::ptrdiff_t bytes = std::ptrdiff_t{rows.width} * bytesPerPixel;
  auto differences = hn::Zero(v.d);
  bool changed = false;
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* src = rows.src + y * rows.srcPitch;
    if (bytes < n) {
      changed = changed || std::memcmp(dst, src, static_cast<std::size_t>(bytes)) != 0;
      std::memcpy(dst, src, static_cast<std::size_t>(bytes));
      continue;
    }
    const auto step = [&](std::ptrdiff_t x) HWY_ATTR {
      const auto pixels = v.load(src + x);
      differences = hn::Or(differences, hn::Xor(pixels, v.load(dst + x)));
      v.store(pixels, dst + x);
    };
    step(0);
    step(bytes - n);
    for (std::ptrdiff_t x = pixelsToAlignment<uint8_t>(dst, n); x + n <= bytes; x += n) step(x);
  }
  return changed || !hn::AllTrue(v.d, hn::Eq(differences, hn::Zero(v.d)));
}

// Inlined into the loop over rows, so that a row costs no call and no new broadcast.
template <typename T>
HWY_INLINE void fillRun(uint8_t* p, std::ptrdiff_t count, const Lanes<T>& v,
                        hn::Vec<hn::ScalableTag<T> > value) {
  const auto n = static_cast<std::ptrdiff_t>(hn::Lanes(v.d));
  constexpr auto size = static_cast<std::ptrdiff_t>(sizeof(T));
  v.store(value, p);
  v.store(value, p + (count - n) * size);
  for (std::ptrdiff_t x = pixelsToAlignment<T>(p, n * sizeof(T)); x + n <= count; x += n) {
    v.store(value, p + x * size);
  }
}

template <typename T>
void fillBlock(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height, T raw) {
  const Lanes<T> v;
  const auto n = static_cast<int32_t>(hn::Lanes(v.d));
  const auto value = hn::Set(v.d, raw);
  // Rows without padding between them are one run.
  if (pitch == std::ptrdiff_t{width} * static_cast<std::ptrdiff_t>(sizeof(T))) {
    const std::ptrdiff_t count = std::ptrdiff_t{width} * height;
    if (count >= n) {
      fillRun<T>(first, count, v, value);
      return;
    }
  }
  if (width < n) return scalar::fill(first, pitch, width, height, sizeof(T), raw);
  for (int32_t y = 0; y < height; ++y) fillRun<T>(first + y * pitch, width, v, value);
}

// `step(x)` for the vectors of `n` pixels from 0 to `count`, which is at least `n`; the last
// vector overlaps the one before when `count` is no multiple of `n`.
template <typename Step>
HWY_INLINE void eachVector(int32_t count, int32_t n, const Step& step) {
  int32_t x = 0;
  for (; x + n <= count; x += n) step(x);
  if (x < count) step(count - n);
}

// 24-bit rows are split into blue, green and red lanes and put together again in the display
// format.
void BgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out) {
  const hn::ScalableTag<uint8_t> d;
  const auto n = static_cast<int32_t>(hn::Lanes(d));
  if (count < n) return scalar::bgrToXrgb8888(bgr, count, out);
  const auto zero = hn::Zero(d);
  const auto step = [&](int32_t x) HWY_ATTR {
    hn::Vec<decltype(d)> b;
    hn::Vec<decltype(d)> g;
    hn::Vec<decltype(d)> r;
    hn::LoadInterleaved3(d, bgr + std::ptrdiff_t{x} * 3, b, g, r);
    hn::StoreInterleaved4(b, g, r, zero, d, out + std::ptrdiff_t{x} * 4);
  };
  eachVector(count, n, step);
}

void BgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out) {
  const hn::ScalableTag<uint8_t> d;
  const auto n = static_cast<int32_t>(hn::Lanes(d));
  if (count < n) return scalar::bgrToRgb565(bgr, count, out);
  const auto greenLow = hn::Set(d, uint8_t{0xE0});
  const auto redHigh = hn::Set(d, uint8_t{0xF8});
  const auto step = [&](int32_t x) HWY_ATTR {
    hn::Vec<decltype(d)> b;
    hn::Vec<decltype(d)> g;
    hn::Vec<decltype(d)> r;
    hn::LoadInterleaved3(d, bgr + std::ptrdiff_t{x} * 3, b, g, r);
    // Low byte: green's bits 4-2 over blue's top five; high byte: red's top five over green's
    // top three.
    const auto low = hn::Or(hn::And(hn::ShiftLeft<3>(g), greenLow), hn::ShiftRight<3>(b));
    const auto high = hn::Or(hn::And(r, redHigh), hn::ShiftRight<5>(g));
    hn::StoreInterleaved2(low, high, d, out + std::ptrdiff_t{x} * 2);
  };
  eachVector(count, n, step);
}

void XrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out) {
  const hn::ScalableTag<uint32_t> d;
  const hn::RebindToSigned<decltype(d)> di;
  const hn::Rebind<uint16_t, decltype(d)> d16;
  const hn::Repartition<uint8_t, decltype(d16)> d8;
  const auto n = static_cast<int32_t>(hn::Lanes(d));
  if (count < n) return scalar::xrgbToRgb565(rgb, count, out);
  const auto red = hn::Set(d, 0xF800u);
  const auto green = hn::Set(d, 0x07E0u);
  const auto blue = hn::Set(d, 0x001Fu);
  const auto step = [&](int32_t x) HWY_ATTR {
    const auto c = hn::LoadU(d, rgb + x);
    const auto raw =
        hn::Or(hn::Or(hn::And(hn::ShiftRight<8>(c), red), hn::And(hn::ShiftRight<5>(c), green)),
               hn::And(hn::ShiftRight<3>(c), blue));
    // Every value fits 16 bits, so the saturating narrowing keeps it.
    const auto narrow = hn::DemoteTo(d16, hn::BitCast(di, raw));
    hn::StoreU(hn::BitCast(d8, narrow), d8, out + std::ptrdiff_t{x} * 2);
  };
  eachVector(count, n, step);
}

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
    key_mask::scalar::mark(row, width, sizeof(T), key, mask);
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
    key_mask::scalar::mark(row + std::size_t(whole) * sizeof(T), width - whole, sizeof(T), key,
                           mask + whole / 64);
  }
}

#endif  // HWY_TARGET == HWY_SCALAR

// The exported forms, one for each pixel size the vectors take.
void CopyKeyed8(const RowPair& rows, uint32_t key) {
  copyKeyedBlock<uint8_t>(rows, static_cast<uint8_t>(key));
}
void CopyKeyed16(const RowPair& rows, uint32_t key) {
  copyKeyedBlock<uint16_t>(rows, static_cast<uint16_t>(key));
}
void CopyKeyed32(const RowPair& rows, uint32_t key) {
  copyKeyedBlock<uint32_t>(rows, key);
}
void CopyKeyedOver16(const RowTriple& rows, uint32_t key) {
  copyKeyedOverBlock<uint16_t>(rows, static_cast<uint16_t>(key));
}
void CopyKeyedOver32(const RowTriple& rows, uint32_t key) {
  copyKeyedOverBlock<uint32_t>(rows, key);
}
void Fill8(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height, uint32_t raw) {
  fillBlock<uint8_t>(first, pitch, width, height, static_cast<uint8_t>(raw));
}
void Fill16(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height, uint32_t raw) {
  fillBlock<uint16_t>(first, pitch, width, height, static_cast<uint16_t>(raw));
}
void Fill32(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height, uint32_t raw) {
  fillBlock<uint32_t>(first, pitch, width, height, raw);
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

int64_t Target() {
  return HWY_TARGET;
}

}  // namespace patapata::pixel_rows::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace patapata::pixel_rows {

// Raw values are little-endian; the vector forms move them as native integers.
static_assert(std::endian::native == std::endian::little);

HWY_EXPORT(CopyKeyed8);
HWY_EXPORT(CopyKeyed16);
HWY_EXPORT(CopyKeyed32);
HWY_EXPORT(CopyBlock);
HWY_EXPORT(CopyNoticingChange);
HWY_EXPORT(CopyKeyedOver16);
HWY_EXPORT(CopyKeyedOver32);
HWY_EXPORT(Fill8);
HWY_EXPORT(Fill16);
HWY_EXPORT(Fill32);
HWY_EXPORT(BgrToXrgb8888);
HWY_EXPORT(BgrToRgb565);
HWY_EXPORT(XrgbToRgb565);
HWY_EXPORT(Mark8);
HWY_EXPORT(Mark16);
HWY_EXPORT(Mark32);
HWY_EXPORT(Target);

void copy(const RowPair& rows, int32_t bytesPerPixel) {
  if (rows.width <= 0 || rows.height <= 0) return;
  HWY_DYNAMIC_DISPATCH(CopyBlock)(rows, bytesPerPixel);
}

bool copyNoticingChange(const RowPair& rows, int32_t bytesPerPixel) {
  if (rows.width <= 0 || rows.height <= 0) return false;
  return HWY_DYNAMIC_DISPATCH(CopyNoticingChange)(rows, bytesPerPixel);
}

namespace {

// A key with bits beyond a pixel's size equals no pixel; the vector forms compare only the
// pixel's bits.
bool keyFits(uint32_t key, int32_t bytesPerPixel) {
  return bytesPerPixel >= 4 || key >> (8 * bytesPerPixel) == 0;
}

// The vector form for pixels of `bytesPerPixel` bytes among those for 1, 2 and 4 bytes; null
// where there is none, and the scalar rows take the pixels.
template <typename F>
F* forSize(int32_t bytesPerPixel, F* one, F* two, F* four) {
  switch (bytesPerPixel) {
    case 1:
      return one;
    case 2:
      return two;
    case 4:
      return four;
    default:
      return nullptr;
  }
}

/// The mask's vector form for pixels of `bytesPerPixel` bytes, or null.
auto markVectors(int32_t bytesPerPixel) {
  return forSize(bytesPerPixel, &HWY_DYNAMIC_DISPATCH(Mark8), &HWY_DYNAMIC_DISPATCH(Mark16),
                 &HWY_DYNAMIC_DISPATCH(Mark32));
}

}  // namespace

void copyKeyed(const RowPair& rows, int32_t bytesPerPixel, uint32_t key) {
  if (rows.width <= 0 || rows.height <= 0) return;
  if (!keyFits(key, bytesPerPixel)) return copy(rows, bytesPerPixel);
  const auto vectors =
      forSize(bytesPerPixel, &HWY_DYNAMIC_DISPATCH(CopyKeyed8), &HWY_DYNAMIC_DISPATCH(CopyKeyed16),
              &HWY_DYNAMIC_DISPATCH(CopyKeyed32));
  if (vectors == nullptr)
    return scalar::copy(rows, bytesPerPixel, CopyMode::keyed, key, RowWalk::leftToRight);
  vectors(rows, key);
}

void copyKeyedOver(const RowTriple& rows, int32_t bytesPerPixel, uint32_t key) {
  if (rows.width <= 0 || rows.height <= 0) return;
  if (!keyFits(key, bytesPerPixel)) {
    return copy({rows.dst, rows.dstPitch, rows.over, rows.overPitch, rows.width, rows.height},
                bytesPerPixel);
  }
  const auto vectors = forSize<void(const RowTriple&, uint32_t)>(
      bytesPerPixel, nullptr, &HWY_DYNAMIC_DISPATCH(CopyKeyedOver16),
      &HWY_DYNAMIC_DISPATCH(CopyKeyedOver32));
  if (vectors == nullptr) return scalar::copyKeyedOver(rows, bytesPerPixel, key);
  vectors(rows, key);
}

void fill(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height,
          int32_t bytesPerPixel, uint32_t raw) {
  if (width <= 0 || height <= 0) return;
  const auto vectors = forSize(bytesPerPixel, &HWY_DYNAMIC_DISPATCH(Fill8),
                               &HWY_DYNAMIC_DISPATCH(Fill16), &HWY_DYNAMIC_DISPATCH(Fill32));
  if (vectors == nullptr) return scalar::fill(first, pitch, width, height, bytesPerPixel, raw);
  vectors(first, pitch, width, height, raw);
}

void bgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out) {
  if (count > 0) HWY_DYNAMIC_DISPATCH(BgrToXrgb8888)(bgr, count, out);
}

void bgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out) {
  if (count > 0) HWY_DYNAMIC_DISPATCH(BgrToRgb565)(bgr, count, out);
}

void xrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out) {
  if (count > 0) HWY_DYNAMIC_DISPATCH(XrgbToRgb565)(rgb, count, out);
}

const char* instructionSet() {
  return hwy::TargetName(HWY_DYNAMIC_DISPATCH(Target)());
}

namespace scalar {

uint32_t load(const uint8_t* p, int32_t bytes) {
  uint32_t v = 0;
  for (int32_t i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void store(uint8_t* p, int32_t bytes, uint32_t raw) {
  for (int32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(raw >> (8 * i));
}

namespace {

template <typename Pixel>
void copyRowTyped(uint8_t* dst, const uint8_t* src, int32_t count, CopyMode mode, uint32_t key,
                  RowWalk walk) {
  const bool reverse = walk == RowWalk::rightToLeft;
  if (mode == CopyMode::opaque) {
    std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(Pixel));
    return;
  }
  for (int32_t k = 0; k < count; ++k) {
    const int32_t i = reverse ? count - 1 - k : k;
    Pixel v;
    std::memcpy(&v, src + i * sizeof(Pixel), sizeof(Pixel));
    if (v != key) std::memcpy(dst + i * sizeof(Pixel), &v, sizeof(Pixel));
  }
}

void copyRow(uint8_t* dst, const uint8_t* src, int32_t count, int32_t bytes, CopyMode mode,
             uint32_t key, RowWalk walk) {
  switch (bytes) {
    case 4:
      copyRowTyped<uint32_t>(dst, src, count, mode, key, walk);
      return;
    case 2:
      copyRowTyped<uint16_t>(dst, src, count, mode, key, walk);
      return;
    case 1:
      copyRowTyped<uint8_t>(dst, src, count, mode, key, walk);
      return;
    default:
      break;
  }
  if (mode == CopyMode::opaque) {
    std::memmove(dst, src, static_cast<std::size_t>(count) * bytes);
    return;
  }
  for (int32_t k = 0; k < count; ++k) {
    const int32_t i = walk == RowWalk::rightToLeft ? count - 1 - k : k;
    const uint32_t v = load(src + std::ptrdiff_t{i} * bytes, bytes);
    if (v != key) store(dst + std::ptrdiff_t{i} * bytes, bytes, v);
  }
}

}  // namespace

void copy(const RowPair& rows, int32_t bytesPerPixel, CopyMode mode, uint32_t key, RowWalk walk) {
  for (int32_t y = 0; y < rows.height; ++y) {
    copyRow(rows.dst + y * rows.dstPitch, rows.src + y * rows.srcPitch, rows.width, bytesPerPixel,
            mode, key, walk);
  }
}

bool copyNoticingChange(const RowPair& rows, int32_t bytesPerPixel) {
  bool changed = false;
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* src = rows.src + y * rows.srcPitch;
    for (std::ptrdiff_t x = 0; x < std::ptrdiff_t{rows.width} * bytesPerPixel; ++x) {
      changed = changed || dst[x] != src[x];
      dst[x] = src[x];
    }
  }
  return changed;
}

void copyKeyedOver(const RowTriple& rows, int32_t bytesPerPixel, uint32_t key) {
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* dst = rows.dst + y * rows.dstPitch;
    const uint8_t* under = rows.under + y * rows.underPitch;
    const uint8_t* over = rows.over + y * rows.overPitch;
    for (std::ptrdiff_t x = 0; x < std::ptrdiff_t{rows.width} * bytesPerPixel; x += bytesPerPixel) {
      const uint32_t v = load(over + x, bytesPerPixel);
      store(dst + x, bytesPerPixel, v != key ? v : load(under + x, bytesPerPixel));
    }
  }
}

void fill(uint8_t* first, std::ptrdiff_t pitch, int32_t width, int32_t height,
          int32_t bytesPerPixel, uint32_t raw) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = first + y * pitch;
    for (int32_t x = 0; x < width; ++x, p += bytesPerPixel) store(p, bytesPerPixel, raw);
  }
}

void bgrToXrgb8888(const uint8_t* bgr, int32_t count, uint8_t* out) {
  for (int32_t x = 0; x < count; ++x, bgr += 3, out += 4) {
    out[0] = bgr[0];
    out[1] = bgr[1];
    out[2] = bgr[2];
    out[3] = 0;
  }
}

void bgrToRgb565(const uint8_t* bgr, int32_t count, uint8_t* out) {
  for (int32_t x = 0; x < count; ++x, bgr += 3, out += 2) {
    const uint32_t raw =
        ((uint32_t{bgr[2]} >> 3) << 11) | ((uint32_t{bgr[1]} >> 2) << 5) | (uint32_t{bgr[0]} >> 3);
    store(out, 2, raw);
  }
}

void xrgbToRgb565(const uint32_t* rgb, int32_t count, uint8_t* out) {
  for (int32_t x = 0; x < count; ++x, out += 2) {
    const uint32_t c = rgb[x];
    store(out, 2, ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
  }
}

}  // namespace scalar

}  // namespace patapata::pixel_rows

// The key mask's forms are compiled here, with the other vector rows, so that Highway compiles
// one file for every target.
namespace patapata::key_mask {

void mark(const uint8_t* row, int32_t width, int32_t bytesPerPixel, uint32_t key, uint64_t* mask) {
  if (width <= 0) return;
  if (!pixel_rows::keyFits(key, bytesPerPixel)) {
    std::memset(mask, 0xFF, words(width) * sizeof(uint64_t));
    if (width % 64 != 0) mask[width / 64] = (uint64_t{1} << (width % 64)) - 1;
    return;
  }
  const auto vectors = pixel_rows::markVectors(bytesPerPixel);
  if (vectors == nullptr) return scalar::mark(row, width, bytesPerPixel, key, mask);
  vectors(row, width, key, mask);
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
