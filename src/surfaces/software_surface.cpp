#include "surfaces/software_surface.h"

#include "surfaces/pixel_rows.h"

#include <cstring>
#include <utility>

namespace patapata::platform {

namespace {

constexpr uint8_t kReclaimedByte = 0xA5;

bool inside(const Rect& r, int32_t width, int32_t height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

}  // namespace

PlatformSurface::PlatformSurface(int32_t width, int32_t height, PixelFormat format, Memory memory)
    : PlatformSurface(width, height, format, memory,
                      PixelBuffer::zeroed(static_cast<std::size_t>(format.surfacePitch(width)) *
                                          static_cast<std::size_t>(height))) {}

PlatformSurface::PlatformSurface(int32_t width, int32_t height, PixelFormat format, Memory memory,
                                 PixelBuffer pixels)
    : width_(width),
      height_(height),
      pitch_(format.surfacePitch(width)),
      format_(format),
      memory_(memory),
      pixels_(std::move(pixels)) {}

uint32_t PlatformSurface::pixel(int32_t x, int32_t y) const {
  return pixel_rows::scalar::load(row(y) + std::ptrdiff_t{x} * format_.bytesPerPixel(),
                                  format_.bytesPerPixel());
}

void PlatformSurface::setPixel(int32_t x, int32_t y, uint32_t raw) {
  pixel_rows::scalar::store(row(y) + std::ptrdiff_t{x} * format_.bytesPerPixel(),
                            format_.bytesPerPixel(), raw);
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
  std::memset(pixels_.data(), kReclaimedByte, pixels_.size());
}

bool PlatformSurface::copyFrom(int32_t x, int32_t y, const PlatformSurface& source,
                               const Rect& sourceRect, CopyMode mode, bool* changed) {
  if (lost_ || source.lost_ || locked_ || source.locked_) return false;
  if (source.format_.bytesPerPixel() != format_.bytesPerPixel()) return false;
  if (sourceRect.isEmpty() || !inside(sourceRect, source.width_, source.height_)) return false;
  const int64_t right = int64_t{x} + sourceRect.width();
  const int64_t bottom = int64_t{y} + sourceRect.height();
  if (x < 0 || y < 0 || right > width_ || bottom > height_) return false;

  const int32_t bytes = format_.bytesPerPixel();
  const auto w = static_cast<int32_t>(sourceRect.width());
  const auto h = static_cast<int32_t>(sourceRect.height());
  // Within one surface, walk away from the overlap so no pixel is read after being written:
  // rows bottom-up when the copy moves down, pixels right to left when it moves right along
  // the same rows.
  const bool sameSurface = &source == this;
  const bool bottomUp = sameSurface && y > sourceRect.top;
  const bool sameRows = sameSurface && y == sourceRect.top;
  const int32_t firstRow = bottomUp ? h - 1 : 0;
  const pixel_rows::RowPair rows{
      row(y + firstRow) + std::ptrdiff_t{x} * bytes,
      bottomUp ? -std::ptrdiff_t{pitch_} : pitch_,
      source.row(sourceRect.top + firstRow) + std::ptrdiff_t{sourceRect.left} * bytes,
      bottomUp ? -std::ptrdiff_t{source.pitch_} : source.pitch_,
      w,
      h};
  if (changed != nullptr) *changed = true;
  if (sameRows) {
    // A row copied onto itself: the vector forms need source and destination apart.
    pixel_rows::scalar::copy(rows, bytes, mode, source.colorKey_,
                             x > sourceRect.left ? RowWalk::rightToLeft : RowWalk::leftToRight);
  } else if (mode == CopyMode::keyed) {
    pixel_rows::copyKeyed(rows, bytes, source.colorKey_);
  } else if (changed != nullptr && !sameSurface) {
    *changed = pixel_rows::copyNoticingChange(rows, bytes);
  } else {
    pixel_rows::copy(rows, bytes);
  }
  return true;
}

bool PlatformSurface::copyKeyedOver(int32_t x, int32_t y, const PlatformSurface& source,
                                    const Rect& under, const Rect& over) {
  if (&source == this || lost_ || source.lost_ || locked_ || source.locked_) return false;
  if (source.format_.bytesPerPixel() != format_.bytesPerPixel()) return false;
  if (under.width() != over.width() || under.height() != over.height()) return false;
  for (const Rect& r : {under, over}) {
    if (r.isEmpty() || !inside(r, source.width_, source.height_)) return false;
  }
  if (x < 0 || y < 0 || int64_t{x} + under.width() > width_ ||
      int64_t{y} + under.height() > height_) {
    return false;
  }
  const int32_t bytes = format_.bytesPerPixel();
  const pixel_rows::RowTriple rows{row(y) + std::ptrdiff_t{x} * bytes,
                                   pitch_,
                                   source.row(under.top) + std::ptrdiff_t{under.left} * bytes,
                                   source.pitch_,
                                   source.row(over.top) + std::ptrdiff_t{over.left} * bytes,
                                   source.pitch_,
                                   static_cast<int32_t>(under.width()),
                                   static_cast<int32_t>(under.height())};
  pixel_rows::copyKeyedOver(rows, bytes, source.colorKey_);
  return true;
}

bool PlatformSurface::fill(uint32_t raw) {
  if (lost_ || locked_) return false;
  pixel_rows::fill(row(0), pitch_, width_, height_, format_.bytesPerPixel(), raw);
  return true;
}

SurfaceService::SurfaceService(PixelFormat displayFormat) : displayFormat_(displayFormat) {}

void SurfaceService::prefetchImage(std::string path) {
  prefetch_ = std::make_unique<ImagePrefetch>(std::move(path), displayFormat_);
}

std::optional<DecodedImage> SurfaceService::takePrefetchedImage(const std::string& path) {
  if (!prefetch_) return std::nullopt;
  std::optional<DecodedImage> image = prefetch_->take(path);
  prefetch_.reset();
  return image;
}

std::unique_ptr<PlatformSurface> SurfaceService::createSurface(int32_t width, int32_t height,
                                                               Memory memory) {
  const bool refused =
      memory == Memory::system ? faults_.refuseSystemMemory : faults_.refuseDisplayMemory;
  if (refused) return nullptr;
  return make(width, height, memory, nullptr);
}

std::unique_ptr<PlatformSurface> SurfaceService::createSurface(int32_t width, int32_t height,
                                                               Memory memory, PixelBuffer& pixels) {
  const bool refused =
      memory == Memory::system ? faults_.refuseSystemMemory : faults_.refuseDisplayMemory;
  if (refused) return nullptr;
  return make(width, height, memory, &pixels);
}

std::unique_ptr<PlatformSurface> SurfaceService::createPrimarySurface(int32_t width,
                                                                      int32_t height) {
  if (faults_.refusePrimary) return nullptr;
  return make(width, height, Memory::display, nullptr);
}

std::unique_ptr<PlatformSurface> SurfaceService::make(int32_t width, int32_t height, Memory memory,
                                                      PixelBuffer* pixels) const {
  if (width <= 0 || height <= 0) return nullptr;
  const int64_t bytes =
      ((int64_t{width} * displayFormat_.bytesPerPixel() + 3) & ~int64_t{3}) * int64_t{height};
  if (bytes > kMaxSurfaceBytes) return nullptr;
  if (pixels == nullptr) {
    return std::make_unique<PlatformSurface>(width, height, displayFormat_, memory);
  }
  if (static_cast<int64_t>(pixels->size()) != bytes) return nullptr;
  return std::make_unique<PlatformSurface>(width, height, displayFormat_, memory,
                                           std::move(*pixels));
}

}  // namespace patapata::platform
