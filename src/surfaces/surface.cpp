#include "surfaces/surface.h"

#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_read.h"
#include "common/messages.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_conversion.h"
#include "surfaces/image_readers.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace patapata {

using namespace platform;

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

void Surface::release() {
  surface_.reset();
  hasClipper_ = false;
  lockCount_ = 0;
}

bool Surface::create(const SurfaceRequest& request) {
  // The old pixels go first, whatever the outcome.
  release();
  if (owner_ == nullptr) {
    setLastResult(DDERR_INVALIDOBJECT);
    return false;
  }
  std::unique_ptr<PlatformSurface> created;
  owner_->setLastResult(owner_->service().createSurface(request, created));
  setLastResult(owner_->lastResult());
  if (lastResult() != DD_OK || !created) return false;
  surface_ = std::move(created);
  hasClipper_ = surface_->clipper() != nullptr;
  setSourceKey(0);
  return true;
}

void Surface::resize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    release();
    return;
  }
  SurfaceRequest request{width, height, DDSCAPS_OFFSCREENPLAIN};
  if (systemMemoryFallback_) request.caps |= DDSCAPS_SYSTEMMEMORY;
  if (create(request)) return;
  if ((request.caps & DDSCAPS_SYSTEMMEMORY) == 0) {
    request.caps = (request.caps & ~DDSCAPS_VIDEOMEMORY) | DDSCAPS_SYSTEMMEMORY;
    if (create(request)) {
      systemMemoryFallback_ = true;
      return;
    }
  }
  throw SurfaceError(formatMessage(messages::kCannotCreate, messages::kSurface));
}

void Surface::loadImageFile(const std::string& path) {
  const std::string_view extension = fileExtension(path);
  const ImageReader* reader = imageReaderFor(extension);
  if (reader == nullptr) {
    throw InvalidImageError(
        formatMessage(messages::kUnknownExtension, encoding::toDisplayText(extension)));
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxImageFileBytes) throw InvalidImageError(reader->invalidMessage);
  const auto file = readWholeFile(path);
  if (!file) {
    throw FileOpenError(formatMessage(messages::kCannotOpenFile, encoding::toDisplayText(path)));
  }
  // Decoding finishes before the surface is touched, so a bad file leaves it as it was.
  const DecodedImage image = reader->decode(*file);

  resize(image.width, image.height);
  if (image.width <= 0 || image.height <= 0) {
    if (!reader->copiesFromOwnContext) return;
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
  switch (pixels.format.bitsPerPixel) {
    case 8:
      value = row[x];
      break;
    case 16:
      value = uint32_t{row[2 * x]} | (uint32_t{row[2 * x + 1]} << 8);
      break;
    case 24:
      value =
          uint32_t{row[3 * x]} + uint32_t{row[3 * x + 1]} * 256 + uint32_t{row[3 * x + 2]} * 65536;
      break;
    case 32:
      value = uint32_t{row[4 * x]} | (uint32_t{row[4 * x + 1]} << 8) |
              (uint32_t{row[4 * x + 2]} << 16) | (uint32_t{row[4 * x + 3]} << 24);
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
  if (!surface_) return;
  setLastResult(surface_->setColorKey(value, value));
}

bool Surface::lock(const Rect* rect, LockDescription& out) {
  if (!surface_ || lockCount_ != 0) return false;
  const bool whole = rect == nullptr || (rect->left == 0 && rect->top == 0 &&
                                         rect->width() == width() && rect->height() == height());
  setLastResult(surface_->lock(whole ? nullptr : rect, out));
  if (lastResult() != DD_OK) return false;
  lockCount_ = 1;
  return true;
}

void Surface::unlock() {
  if (lockCount_ == 0) return;
  --lockCount_;
  if (lockCount_ == 0 && surface_) setLastResult(surface_->unlock());
}

bool Surface::restore() {
  if (!surface_) return false;
  setLastResult(surface_->restore());
  return lastResult() == DD_OK;
}

bool Surface::fill(uint32_t value) {
  if (!surface_) return false;
  setLastResult(surface_->blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, value));
  return lastResult() == DD_OK;
}

bool Surface::blit(int32_t x, int32_t y, const Rect& sourceRect, uint32_t flags,
                   const Surface& source) {
  if (!surface_) return false;
  setLastResult(surface_->bltFast(x, y, source.surface_.get(), sourceRect, flags));
  return lastResult() == DD_OK;
}

bool Surface::stretchBlit(const Rect* destRect, const Rect* sourceRect, uint32_t flags,
                          const BlitEffects& effects, const Surface* source) {
  if (!surface_) return false;
  const PlatformSurface* src = source != nullptr ? source->surface_.get() : nullptr;
  setLastResult(surface_->blt(destRect, src, sourceRect, flags, effects.fillColor));
  return lastResult() == DD_OK;
}

void Surface::setClipper(const ViewClipper* clipper) {
  if (!surface_) return;
  setLastResult(surface_->setClipper(clipper != nullptr ? clipper->platformClipper() : nullptr));
  hasClipper_ = surface_->clipper() != nullptr;
}

}  // namespace patapata
