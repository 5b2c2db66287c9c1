#include "surfaces/surface.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_conversion.h"
#include "surfaces/image_file.h"
#include "surfaces/image_readers.h"
#include "surfaces/software_surface.h"

#include <algorithm>
#include <optional>
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
  if (!surface_) throw SurfaceError(formatMessage(messages::kCannotCreate, messages::kSurface));
}

void Surface::adopt(int32_t width, int32_t height, PixelBuffer& pixels) {
  // As resize, with the memory already written.
  release();
  if (owner_ != nullptr) {
    platform::SurfaceService& service = owner_->service();
    if (!systemMemoryFallback_) {
      surface_ = service.createSurface(width, height, Memory::display, pixels);
    }
    if (!surface_) {
      surface_ = service.createSurface(width, height, Memory::system, pixels);
      if (surface_) systemMemoryFallback_ = true;
    }
  }
  if (!surface_) throw SurfaceError(formatMessage(messages::kCannotCreate, messages::kSurface));
}

bool Surface::createPrimary(int32_t width, int32_t height) {
  release();
  if (owner_ != nullptr) surface_ = owner_->service().createPrimarySurface(width, height);
  return surface_ != nullptr;
}

void Surface::loadImageFile(const std::string& path) {
  const ImageReader& reader = imageReaderForPath(path);
  // Decoding finishes before the surface is touched, so a bad file leaves it as it was. A
  // picture the reader could write in the display format becomes the surface's memory as it
  // is: no second pass over it, and no clearing first.
  std::optional<DecodedImage> ahead;
  if (owner_ != nullptr) ahead = owner_->service().takePrefetchedImage(path);
  DecodedImage image =
      ahead
          ? std::move(*ahead)
          : decodeImageFile(path, owner_ != nullptr ? &owner_->service().displayFormat() : nullptr);
  if (image.isRaw() && image.rawFormat == owner_->service().displayFormat()) {
    adopt(image.width, image.height, image.raw);
    return;
  }

  resize(image.width, image.height);
  if (image.width <= 0 || image.height <= 0) {
    if (!reader.copiesFromOwnContext) return;
    throw SurfaceError(formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
  }
  LockDescription pixels;
  if (!lock(nullptr, pixels)) throw InvalidOperationError(messages::kCannotDrawOnCanvas);
  writeImage(image, pixels);
  unlock();
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
  if (!surface_ || !source.surface_) return false;
  return surface_->copyFrom(x, y, *source.surface_, sourceRect, mode == CopyMode::keyed, changed);
}

bool Surface::blitKeyedOver(int32_t x, int32_t y, const Rect& under, const Rect& over,
                            const Surface& source) {
  if (surface_ && source.surface_ && surface_->copyKeyedOver(x, y, *source.surface_, under, over)) {
    return true;
  }
  const bool underDrawn = blit(x, y, under, CopyMode::opaque, source);
  return blit(x, y, over, CopyMode::keyed, source) && underDrawn;
}

}  // namespace patapata
