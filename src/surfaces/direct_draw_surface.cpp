#include "surfaces/direct_draw_surface.h"

#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_read.h"
#include "common/messages.h"
#include "surfaces/direct_draw.h"
#include "surfaces/image_conversion.h"
#include "surfaces/image_readers.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace patapata {

using namespace platform;

TDirectDrawSurface::TDirectDrawSurface(TDirectDraw* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->surfaces_.push_back(this);
}

TDirectDrawSurface::~TDirectDrawSurface() {
  ReleaseSurface();
  if (owner_ != nullptr) {
    auto& registry = owner_->surfaces_;
    const auto it = std::find(registry.rbegin(), registry.rend(), this);
    if (it != registry.rend()) registry.erase(std::next(it).base());
  }
}

void TDirectDrawSurface::detach() {
  ReleaseSurface();
  owner_ = nullptr;
}

void TDirectDrawSurface::ReleaseSurface() {
  surface_.reset();
  hasClipper_ = false;
  lockCount_ = 0;
}

bool TDirectDrawSurface::CreateSurface(const SurfaceRequest& request) {
  // The old pixels go first, whatever the outcome.
  ReleaseSurface();
  if (owner_ == nullptr) {
    setLastResult(DDERR_INVALIDOBJECT);
    return false;
  }
  std::unique_ptr<PlatformSurface> created;
  owner_->setLastResult(owner_->IDraw().createSurface(request, created));
  setLastResult(owner_->LastResult());
  if (LastResult() != DD_OK || !created) return false;
  surface_ = std::move(created);
  hasClipper_ = surface_->clipper() != nullptr;
  SetSourceKey(0);
  return true;
}

void TDirectDrawSurface::Resize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    ReleaseSurface();
    return;
  }
  SurfaceRequest request{width, height, DDSCAPS_OFFSCREENPLAIN};
  if (systemMemoryFallback_) request.caps |= DDSCAPS_SYSTEMMEMORY;
  if (CreateSurface(request)) return;
  if ((request.caps & DDSCAPS_SYSTEMMEMORY) == 0) {
    request.caps = (request.caps & ~DDSCAPS_VIDEOMEMORY) | DDSCAPS_SYSTEMMEMORY;
    if (CreateSurface(request)) {
      systemMemoryFallback_ = true;
      return;
    }
  }
  throw EDirectDrawSurfaceError(formatMessage(messages::kCannotCreate, messages::kSurface));
}

void TDirectDrawSurface::LoadImageFile(const std::string& path) {
  const std::string_view extension = fileExtension(path);
  const ImageReader* reader = imageReaderFor(extension);
  if (reader == nullptr) {
    throw EInvalidGraphic(
        formatMessage(messages::kUnknownExtension, encoding::toDisplayText(extension)));
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxImageFileBytes) throw EInvalidGraphic(reader->invalidMessage);
  const auto file = readWholeFile(path);
  if (!file) {
    throw EFOpenError(formatMessage(messages::kCannotOpenFile, encoding::toDisplayText(path)));
  }
  // Decoding finishes before the surface is touched, so a bad file leaves it as it was.
  const DecodedImage image = reader->decode(*file);

  Resize(image.width, image.height);
  if (image.width <= 0 || image.height <= 0) {
    if (!reader->copiesFromOwnContext) return;
    throw EDirectDrawSurfaceError(
        formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
  }
  LockDescription lock;
  if (!Lock(nullptr, lock)) throw EInvalidOperation(messages::kCannotDrawOnCanvas);
  writeImage(image, lock);
  Unlock();
}

uint32_t TDirectDrawSurface::PixelValue(int32_t x, int32_t y) {
  if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  LockDescription lock;
  if (!Lock(nullptr, lock)) return 0;
  const uint8_t* row = lock.bits + static_cast<std::ptrdiff_t>(y) * lock.pitch;
  uint32_t value = 0;
  switch (lock.format.bitsPerPixel) {
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
  Unlock();
  return value;
}

void TDirectDrawSurface::SetSourceKey(uint32_t value) {
  if (!surface_) return;
  setLastResult(surface_->setColorKey(value, value));
}

bool TDirectDrawSurface::Lock(const TRect* rect, LockDescription& out) {
  if (!surface_ || lockCount_ != 0) return false;
  const bool whole = rect == nullptr || (rect->Left == 0 && rect->Top == 0 &&
                                         rect->width() == Width() && rect->height() == Height());
  setLastResult(surface_->lock(whole ? nullptr : rect, out));
  if (LastResult() != DD_OK) return false;
  lockCount_ = 1;
  return true;
}

void TDirectDrawSurface::Unlock() {
  if (lockCount_ == 0) return;
  --lockCount_;
  if (lockCount_ == 0 && surface_) setLastResult(surface_->unlock());
}

bool TDirectDrawSurface::Restore() {
  if (!surface_) return false;
  setLastResult(surface_->restore());
  return LastResult() == DD_OK;
}

bool TDirectDrawSurface::FillAll(uint32_t value) {
  if (!surface_) return false;
  setLastResult(surface_->blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, value));
  return LastResult() == DD_OK;
}

bool TDirectDrawSurface::BltFast(int32_t x, int32_t y, const TRect& sourceRect, uint32_t flags,
                                 const TDirectDrawSurface& source) {
  if (!surface_) return false;
  setLastResult(surface_->bltFast(x, y, source.surface_.get(), sourceRect, flags));
  return LastResult() == DD_OK;
}

bool TDirectDrawSurface::BltRect(const TRect* destRect, const TRect* sourceRect, uint32_t flags,
                                 const DDBLTFX& effects, const TDirectDrawSurface* source) {
  if (!surface_) return false;
  const PlatformSurface* src = source != nullptr ? source->surface_.get() : nullptr;
  setLastResult(surface_->blt(destRect, src, sourceRect, flags, effects.dwFillColor));
  return LastResult() == DD_OK;
}

void TDirectDrawSurface::SetClipper(const TDirectDrawClipper* clipper) {
  if (!surface_) return;
  setLastResult(surface_->setClipper(clipper != nullptr ? clipper->IDDClipper() : nullptr));
  hasClipper_ = surface_->clipper() != nullptr;
}

}  // namespace patapata
