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

Rect intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Copies one row of `count` pixels, skipping those whose value lies in [low, high] when keyed.
// `reverse` walks right to left, for overlapping copies within one surface.
template <typename Pixel>
void copyRowTyped(uint8_t* dst, const uint8_t* src, int32_t count, bool keyed, uint32_t low,
                  uint32_t high, bool reverse) {
  if (!keyed) {
    std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(Pixel));
    return;
  }
  for (int32_t k = 0; k < count; ++k) {
    const int32_t i = reverse ? count - 1 - k : k;
    Pixel v;
    std::memcpy(&v, src + i * sizeof(Pixel), sizeof(Pixel));
    if (v < low || v > high) std::memcpy(dst + i * sizeof(Pixel), &v, sizeof(Pixel));
  }
}

void copyRow(uint8_t* dst, const uint8_t* src, int32_t count, int32_t bytes, bool keyed,
             uint32_t low, uint32_t high, bool reverse) {
  switch (bytes) {
    case 4:
      copyRowTyped<uint32_t>(dst, src, count, keyed, low, high, reverse);
      return;
    case 2:
      copyRowTyped<uint16_t>(dst, src, count, keyed, low, high, reverse);
      return;
    case 1:
      copyRowTyped<uint8_t>(dst, src, count, keyed, low, high, reverse);
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
    const uint32_t v = readRaw(src + i * bytes, bytes);
    if (v < low || v > high) writeRaw(dst + i * bytes, bytes, v);
  }
}

}  // namespace

PlatformSurface::PlatformSurface(int32_t width, int32_t height, PixelFormat format, uint32_t caps)
    : width_(width),
      height_(height),
      pitch_(((width * format.bytesPerPixel()) + 3) & ~3),
      format_(format),
      caps_(caps),
      memory_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0) {}

uint32_t PlatformSurface::pixel(int32_t x, int32_t y) const {
  return readRaw(row(y) + x * format_.bytesPerPixel(), format_.bytesPerPixel());
}

void PlatformSurface::setPixel(int32_t x, int32_t y, uint32_t raw) {
  writeRaw(row(y) + x * format_.bytesPerPixel(), format_.bytesPerPixel(), raw);
}

int32_t PlatformSurface::setColorKey(uint32_t low, uint32_t high) {
  if (lost_) return DDERR_SURFACELOST;
  keyLow_ = low;
  keyHigh_ = high;
  return DD_OK;
}

int32_t PlatformSurface::setClipper(const Clipper* clipper) {
  clipper_ = clipper;
  return DD_OK;
}

int32_t PlatformSurface::lock(const Rect* rect, LockDescription& out) {
  if (lost_) return DDERR_SURFACELOST;
  if (locked_) return DDERR_SURFACEBUSY;
  Rect area{0, 0, width_, height_};
  if (rect != nullptr) {
    if (rect->isEmpty() || !inside(*rect, width_, height_)) return DDERR_INVALIDRECT;
    area = *rect;
  }
  locked_ = true;
  out.bits = row(area.top) + area.left * format_.bytesPerPixel();
  out.pitch = pitch_;
  out.format = format_;
  return DD_OK;
}

int32_t PlatformSurface::unlock() {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  return DD_OK;
}

int32_t PlatformSurface::restore() {
  if (restoreRefused_) return DDERR_SURFACELOST;
  lost_ = false;
  return DD_OK;
}

void PlatformSurface::markLost() {
  lost_ = true;
  std::fill(memory_.begin(), memory_.end(), kReclaimedByte);
}

int32_t PlatformSurface::bltFast(int32_t x, int32_t y, const PlatformSurface* source,
                                 const Rect& sourceRect, uint32_t flags) {
  if (source == nullptr) return DDERR_INVALIDPARAMS;
  if (lost_ || source->lost_) return DDERR_SURFACELOST;
  if (locked_ || source->locked_) return DDERR_SURFACEBUSY;
  if (source->format_.bytesPerPixel() != format_.bytesPerPixel()) return DDERR_INVALIDPARAMS;
  if (sourceRect.isEmpty() || !inside(sourceRect, source->width_, source->height_)) {
    return DDERR_INVALIDRECT;
  }
  const int64_t right = int64_t{x} + sourceRect.width();
  const int64_t bottom = int64_t{y} + sourceRect.height();
  if (x < 0 || y < 0 || right > width_ || bottom > height_) return DDERR_INVALIDRECT;

  const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
  const int32_t bytes = format_.bytesPerPixel();
  const auto w = static_cast<int32_t>(sourceRect.width());
  const auto h = static_cast<int32_t>(sourceRect.height());
  // Within one surface, walk away from the overlap so no pixel is read after being written.
  const bool sameSurface = source == this;
  const bool bottomUp = sameSurface && y > sourceRect.top;
  const bool rightToLeft = sameSurface && y == sourceRect.top && x > sourceRect.left;
  for (int32_t k = 0; k < h; ++k) {
    const int32_t r = bottomUp ? h - 1 - k : k;
    copyRow(row(y + r) + x * bytes, source->row(sourceRect.top + r) + sourceRect.left * bytes, w,
            bytes, keyed, source->keyLow_, source->keyHigh_, rightToLeft);
  }
  return DD_OK;
}

int32_t PlatformSurface::fill(const Rect& rect, uint32_t raw) {
  const int32_t bytes = format_.bytesPerPixel();
  for (int32_t yy = rect.top; yy < rect.bottom; ++yy) {
    uint8_t* p = row(yy) + rect.left * bytes;
    if (bytes == 4) {
      for (int32_t xx = rect.left; xx < rect.right; ++xx, p += 4) std::memcpy(p, &raw, 4);
    } else if (bytes == 2) {
      const auto raw16 = static_cast<uint16_t>(raw);
      for (int32_t xx = rect.left; xx < rect.right; ++xx, p += 2) std::memcpy(p, &raw16, 2);
    } else {
      for (int32_t xx = rect.left; xx < rect.right; ++xx, p += bytes) writeRaw(p, bytes, raw);
    }
  }
  return DD_OK;
}

int32_t PlatformSurface::blt(const Rect* destRect, const PlatformSurface* source,
                             const Rect* sourceRect, uint32_t flags, uint32_t fillColor) {
  if (lost_) return DDERR_SURFACELOST;
  if (locked_) return DDERR_SURFACEBUSY;
  const Rect whole{0, 0, width_, height_};
  const Rect dest = destRect != nullptr ? *destRect : whole;
  if (dest.isEmpty()) return DDERR_INVALIDRECT;
  Rect visible = dest;
  if (clipper_ != nullptr) {
    visible = intersect(visible, whole);
    if (clipper_->region) visible = intersect(visible, *clipper_->region);
    if (visible.isEmpty()) return DD_OK;  // wholly hidden: nothing to draw, no error
  } else if (!inside(dest, width_, height_)) {
    return DDERR_INVALIDRECT;
  }

  if ((flags & DDBLT_COLORFILL) != 0) return fill(visible, fillColor);

  if (source == nullptr) return DDERR_INVALIDPARAMS;
  if (source->lost_) return DDERR_SURFACELOST;
  if (source->locked_) return DDERR_SURFACEBUSY;
  if (source->format_.bytesPerPixel() != format_.bytesPerPixel()) return DDERR_INVALIDPARAMS;
  const Rect src =
      sourceRect != nullptr ? *sourceRect : Rect{0, 0, source->width_, source->height_};
  if (src.isEmpty() || !inside(src, source->width_, source->height_)) return DDERR_INVALIDRECT;
  if (source == this) {
    // Reading from the buffer being written would pick up pixels already overwritten where
    // the rectangles overlap; copy the source rectangle aside first.
    PlatformSurface aside(static_cast<int32_t>(src.width()), static_cast<int32_t>(src.height()),
                          format_, caps_);
    aside.bltFast(0, 0, this, src, 0);
    aside.keyLow_ = keyLow_;
    aside.keyHigh_ = keyHigh_;
    const Rect whole{0, 0, aside.width_, aside.height_};
    return blt(destRect, &aside, &whole, flags, fillColor);
  }

  const bool keyed = (flags & DDBLT_KEYSRC) != 0;
  const int32_t bytes = format_.bytesPerPixel();
  const int64_t dw = dest.width();
  const int64_t dh = dest.height();
  const int64_t sw = src.width();
  const int64_t sh = src.height();
  if (dw == sw && dh == sh) {
    const auto count = static_cast<int32_t>(visible.right - visible.left);
    for (int32_t yy = visible.top; yy < visible.bottom; ++yy) {
      const int32_t sy = src.top + (yy - dest.top);
      const int32_t sx = src.left + (visible.left - dest.left);
      copyRow(row(yy) + visible.left * bytes, source->row(sy) + sx * bytes, count, bytes, keyed,
              source->keyLow_, source->keyHigh_, false);
    }
    return DD_OK;
  }
  // Scaled: nearest neighbour, pixel by pixel.
  for (int32_t yy = visible.top; yy < visible.bottom; ++yy) {
    const auto sy = static_cast<int32_t>(src.top + (int64_t{yy} - dest.top) * sh / dh);
    for (int32_t xx = visible.left; xx < visible.right; ++xx) {
      const auto sx = static_cast<int32_t>(src.left + (int64_t{xx} - dest.left) * sw / dw);
      const uint32_t v = source->pixel(sx, sy);
      if (keyed && v >= source->keyLow_ && v <= source->keyHigh_) continue;
      setPixel(xx, yy, v);
    }
  }
  return DD_OK;
}

SurfaceService::SurfaceService(PixelFormat displayFormat) : displayFormat_(displayFormat) {}

void SurfaceService::setPrimarySize(int32_t width, int32_t height) {
  primaryWidth_ = width;
  primaryHeight_ = height;
}

int32_t SurfaceService::createSurface(const SurfaceRequest& request,
                                      std::unique_ptr<PlatformSurface>& out) {
  out.reset();
  int32_t width = request.width;
  int32_t height = request.height;
  uint32_t caps = request.caps;
  if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
    if (faults_.refusePrimary) return DDERR_OUTOFVIDEOMEMORY;
    width = primaryWidth_;
    height = primaryHeight_;
    caps |= DDSCAPS_VIDEOMEMORY;
  } else if ((caps & DDSCAPS_SYSTEMMEMORY) != 0) {
    if (faults_.refuseSystemMemory) return DDERR_OUTOFMEMORY;
  } else {
    if (faults_.refuseDisplayMemory) return DDERR_OUTOFVIDEOMEMORY;
    caps |= DDSCAPS_VIDEOMEMORY;
  }
  if (width <= 0 || height <= 0) return DDERR_INVALIDPARAMS;
  const int64_t bytes =
      ((int64_t{width} * displayFormat_.bytesPerPixel() + 3) & ~int64_t{3}) * int64_t{height};
  if (bytes > kMaxSurfaceBytes) return DDERR_OUTOFMEMORY;
  out = std::make_unique<PlatformSurface>(width, height, displayFormat_, caps);
  return DD_OK;
}

}  // namespace patapata::platform
