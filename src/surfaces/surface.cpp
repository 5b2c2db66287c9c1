#include "surfaces/surface.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <algorithm>
#include <utility>

namespace patapata {

using platform::Memory;

Surface::Surface(DrawContext* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->surfaces_.push_back(this);
}

Surface::~Surface() {
  release();
  if (owner_ != nullptr) {
    auto& registry = owner_->surfaces_;
    const auto it = std::find(registry.rbegin(), registry.rend(), this);
    if (it != registry.rend()) registry.erase(std::next(it).base());
  }
}

void Surface::detach() {
  release();
  owner_ = nullptr;
}

int32_t Surface::width() const {
  return surface_ ? surface_->width() : 0;
}

int32_t Surface::height() const {
  return surface_ ? surface_->height() : 0;
}

PixelFormat Surface::format() const {
  return surface_ ? surface_->format() : PixelFormat{};
}

bool Surface::isInSystemMemory() const {
  return surface_ && surface_->memory() == Memory::system;
}

bool Surface::isLost() const {
  return surface_ && surface_->isLost();
}

void Surface::release() {
  surface_.reset();
}

void Surface::resize(int32_t width, int32_t height) {
  // The old pixels go first, whatever the outcome.
  release();
  if (width <= 0 || height <= 0) return;
  if (owner_ != nullptr) {
    platform::SurfaceService& service = owner_->service();
    if (!systemMemoryFallback_) surface_ = service.createSurface(width, height, Memory::display);
    if (!surface_) {
      surface_ = service.createSurface(width, height, Memory::system);
      if (surface_) systemMemoryFallback_ = true;
    }
  }
  if (!surface_) throw Error(MessageId::CannotCreateSurface);
}

bool Surface::createPrimary(int32_t width, int32_t height) {
  release();
  if (owner_ != nullptr) surface_ = owner_->service().createPrimarySurface(width, height);
  return surface_ != nullptr;
}

uint32_t Surface::pixelValue(int32_t x, int32_t y) {
  if (!surface_ || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  LockDescription pixels;
  if (!lock(nullptr, pixels)) return 0;
  const uint8_t* row = pixels.bits + static_cast<std::ptrdiff_t>(y) * pixels.pitch;
  uint32_t value = 0;
  // Little-endian bytes of a whole-byte pixel: the first at byte x times the pixel's width.
  const auto bytesAt = [&](std::ptrdiff_t width) {
    const uint8_t* p = row + width * x;
    uint32_t raw = 0;
    for (std::ptrdiff_t b = width - 1; b >= 0; --b) raw = (raw << 8) | p[b];
    return raw;
  };
  switch (pixels.format.bitsPerPixel) {
    case 8:
    case 16:
    case 24:
    case 32:
      value = bytesAt(pixels.format.bitsPerPixel / 8);
      break;
    case 4:
      value = (x % 2 == 0) ? (row[x / 2] >> 4) : (row[x / 2] & 0x0F);
      break;
    case 1:
      value = (row[x / 8] >> (x % 8)) & 1;  // least significant bit first
      break;
    default:
      value = 0;
  }
  unlock();
  return value;
}

void Surface::setSourceKey(uint32_t value) {
  if (surface_) surface_->setColorKey(value);
}

uint32_t Surface::sourceKey() const {
  return surface_ ? surface_->colorKey() : 0;
}

bool Surface::lock(const Rect* rect, LockDescription& out) {
  if (!surface_) return false;
  const bool whole = rect == nullptr || (rect->left == 0 && rect->top == 0 &&
                                         rect->width() == width() && rect->height() == height());
  return surface_->lock(whole ? nullptr : rect, out);
}

void Surface::unlock() {
  if (surface_) surface_->unlock();
}

bool Surface::restore() {
  return surface_ && surface_->restore();
}

bool Surface::fill(uint32_t value) {
  return surface_ && surface_->fill(value);
}

bool Surface::blit(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode,
                   const Surface& source, bool* changed) {
  return blitFrom(x, y, sourceRect, mode, source.surface_.get(), changed);
}

bool Surface::blit(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode,
                   const SheetPicture& source) {
  return blitFrom(x, y, sourceRect, mode, source.surface(), nullptr);
}

bool Surface::blitKeyedOver(int32_t x, int32_t y, const Rect& under, const Rect& over,
                            const Surface& source) {
  return blitKeyedOverFrom(x, y, under, over, source.surface_.get());
}

bool Surface::blitKeyedOver(int32_t x, int32_t y, const Rect& under, const Rect& over,
                            const SheetPicture& source) {
  return blitKeyedOverFrom(x, y, under, over, source.surface());
}

bool Surface::blitFrom(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode,
                       const platform::PlatformSurface* source, bool* changed) {
  if (!surface_ || source == nullptr) return false;
  return surface_->copyFrom(x, y, *source, sourceRect, mode, changed);
}

bool Surface::blitKeyedOverFrom(int32_t x, int32_t y, const Rect& under, const Rect& over,
                                const platform::PlatformSurface* source) {
  if (surface_ && source != nullptr && surface_->copyKeyedOver(x, y, *source, under, over)) {
    return true;
  }
  const bool underDrawn = blitFrom(x, y, under, CopyMode::opaque, source, nullptr);
  return blitFrom(x, y, over, CopyMode::keyed, source, nullptr) && underDrawn;
}

}  // namespace patapata
