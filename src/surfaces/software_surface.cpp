#include "surfaces/software_surface.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace patapata::platform {

// Raw values are little-endian; the whole-pixel copies and fills below move them as native
// integers.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr uint8_t kReclaimedByte = 0xA5;

uint32_t readRaw(const uint8_t* p, int32_t bytes) {
  switch (bytes) {
    case 1:
      return p[0];
    case 2:
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8);
    case 3:
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    default:
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
             (uint32_t{p[3]} << 24);
  }
}

void writeRaw(uint8_t* p, int32_t bytes, uint32_t v) {
  for (int32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool inside(const Rect& r, int32_t width, int32_t height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

// Copies one row of `count` pixels, skipping those whose value is `key` when keyed.
// `reverse` walks right to left, for overlapping copies within one surface.
template <typename Pixel>
void copyRowTyped(uint8_t* dst, const uint8_t* src, int32_t count, bool keyed, uint32_t key,
                  bool reverse) {
  if (!keyed) {
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

void copyRow(uint8_t* dst, const uint8_t* src, int32_t count, int32_t bytes, bool keyed,
             uint32_t key, bool reverse) {
  switch (bytes) {
    case 4:
      copyRowTyped<uint32_t>(dst, src, count, keyed, key, reverse);
      return;
    case 2:
      copyRowTyped<uint16_t>(dst, src, count, keyed, key, reverse);
      return;
    case 1:
      copyRowTyped<uint8_t>(dst, src, count, keyed, key, reverse);
      return;
    default:
      break;
  }
  if (!keyed) {
    std::memmove(dst, src, static_cast<std::size_t>(count) * bytes);
    return;
  }
  for (int32_t k = 0; k < count; ++k) {
    const int32_t i = reverse ? count - 1 - k : k;
    const uint32_t v = readRaw(src + std::ptrdiff_t{i} * bytes, bytes);
    if (v != key) writeRaw(dst + std::ptrdiff_t{i} * bytes, bytes, v);
  }
}

}  // namespace

PlatformSurface::PlatformSurface(int32_t width, int32_t height, PixelFormat format, Memory memory)
    : width_(width),
      height_(height),
      pitch_(((width * format.bytesPerPixel()) + 3) & ~3),
      format_(format),
      memory_(memory),
      pixels_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0) {}

uint32_t PlatformSurface::pixel(int32_t x, int32_t y) const {
  return readRaw(row(y) + std::ptrdiff_t{x} * format_.bytesPerPixel(), format_.bytesPerPixel());
}

void PlatformSurface::setPixel(int32_t x, int32_t y, uint32_t raw) {
  writeRaw(row(y) + std::ptrdiff_t{x} * format_.bytesPerPixel(), format_.bytesPerPixel(), raw);
}

bool PlatformSurface::setColorKey(uint32_t raw) {
  if (lost_) return false;
  colorKey_ = raw;
  return true;
}

bool PlatformSurface::lock(const Rect* rect, LockDescription& out) {
  if (lost_ || locked_) return false;
  Rect area{0, 0, width_, height_};
  if (rect != nullptr) {
    if (rect->isEmpty() || !inside(*rect, width_, height_)) return false;
    area = *rect;
  }
  locked_ = true;
  out.bits = row(area.top) + std::ptrdiff_t{area.left} * format_.bytesPerPixel();
  out.pitch = pitch_;
  out.format = format_;
  return true;
}

bool PlatformSurface::restore() {
  if (restoreRefused_) return false;
  lost_ = false;
  return true;
}

void PlatformSurface::markLost() {
  lost_ = true;
  std::fill(pixels_.begin(), pixels_.end(), kReclaimedByte);
}

bool PlatformSurface::copyFrom(int32_t x, int32_t y, const PlatformSurface& source,
                               const Rect& sourceRect, bool keyed) {
  if (lost_ || source.lost_ || locked_ || source.locked_) return false;
  if (source.format_.bytesPerPixel() != format_.bytesPerPixel()) return false;
  if (sourceRect.isEmpty() || !inside(sourceRect, source.width_, source.height_)) return false;
  const int64_t right = int64_t{x} + sourceRect.width();
  const int64_t bottom = int64_t{y} + sourceRect.height();
  if (x < 0 || y < 0 || right > width_ || bottom > height_) return false;

  const int32_t bytes = format_.bytesPerPixel();
  const auto w = static_cast<int32_t>(sourceRect.width());
  const auto h = static_cast<int32_t>(sourceRect.height());
  // Within one surface, walk away from the overlap so no pixel is read after being written.
  const bool sameSurface = &source == this;
  const bool bottomUp = sameSurface && y > sourceRect.top;
  const bool rightToLeft = sameSurface && y == sourceRect.top && x > sourceRect.left;
  for (int32_t k = 0; k < h; ++k) {
    const int32_t r = bottomUp ? h - 1 - k : k;
    copyRow(row(y + r) + std::ptrdiff_t{x} * bytes,
            source.row(sourceRect.top + r) + std::ptrdiff_t{sourceRect.left} * bytes, w, bytes,
            keyed, source.colorKey_, rightToLeft);
  }
  return true;
}

bool PlatformSurface::fill(uint32_t raw) {
  if (lost_ || locked_) return false;
  const int32_t bytes = format_.bytesPerPixel();
  for (int32_t y = 0; y < height_; ++y) {
    uint8_t* p = row(y);
    if (bytes == 4) {
      for (int32_t x = 0; x < width_; ++x, p += 4) std::memcpy(p, &raw, 4);
    } else if (bytes == 2) {
      const auto raw16 = static_cast<uint16_t>(raw);
      for (int32_t x = 0; x < width_; ++x, p += 2) std::memcpy(p, &raw16, 2);
    } else {
      for (int32_t x = 0; x < width_; ++x, p += bytes) writeRaw(p, bytes, raw);
    }
  }
  return true;
}

SurfaceService::SurfaceService(PixelFormat displayFormat) : displayFormat_(displayFormat) {}

std::unique_ptr<PlatformSurface> SurfaceService::createSurface(int32_t width, int32_t height,
                                                               Memory memory) {
  const bool refused =
      memory == Memory::system ? faults_.refuseSystemMemory : faults_.refuseDisplayMemory;
  if (refused) return nullptr;
  return make(width, height, memory);
}

std::unique_ptr<PlatformSurface> SurfaceService::createPrimarySurface(int32_t width,
                                                                      int32_t height) {
  if (faults_.refusePrimary) return nullptr;
  return make(width, height, Memory::display);
}

std::unique_ptr<PlatformSurface> SurfaceService::make(int32_t width, int32_t height,
                                                      Memory memory) const {
  if (width <= 0 || height <= 0) return nullptr;
  const int64_t bytes =
      ((int64_t{width} * displayFormat_.bytesPerPixel() + 3) & ~int64_t{3}) * int64_t{height};
  if (bytes > kMaxSurfaceBytes) return nullptr;
  return std::make_unique<PlatformSurface>(width, height, displayFormat_, memory);
}

}  // namespace patapata::platform
