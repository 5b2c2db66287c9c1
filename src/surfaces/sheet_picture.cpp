#include "surfaces/sheet_picture.h"

#include "common/errors.h"
#include "surfaces/image_conversion.h"
#include "surfaces/image_file.h"
#include "surfaces/image_readers.h"
#include "surfaces/software_surface.h"

#include <optional>
#include <utility>

namespace patapata {

using platform::Memory;
using platform::PlatformSurface;

namespace {

// Display memory first, then system memory, as every surface of the display is made.
std::unique_ptr<PlatformSurface> createSurface(platform::SurfaceService& service,
                                               DecodedImage& image) {
  // A picture the reader could write in the display format becomes the surface's memory as it
  // is: no second pass over it, and no clearing first.
  const bool raw = image.isRaw() && image.rawFormat == service.displayFormat();
  for (const Memory memory : {Memory::display, Memory::system}) {
    auto surface = raw ? service.createSurface(image.width, image.height, memory, image.raw)
                       : service.createSurface(image.width, image.height, memory);
    if (!surface) continue;
    if (!raw) {
      LockDescription pixels;
      if (!surface->lock(nullptr, pixels)) throw Error(MessageId::CannotDrawOnCanvas);
      writeImage(image, pixels);
      surface->unlock();
    }
    return surface;
  }
  throw Error(MessageId::CannotCreateSurface);
}

}  // namespace

std::shared_ptr<const SheetPicture> SheetPicture::load(platform::SurfaceService& service,
                                                       const std::string& path) {
  const ImageReader& reader = imageReaderForPath(path);
  std::optional<DecodedImage> ahead = service.takePrefetchedImage(path);
  DecodedImage image = ahead ? std::move(*ahead) : decodeImageFile(path, &service.displayFormat());
  if (image.width <= 0 || image.height <= 0) {
    if (reader.copiesFromOwnContext) throw Error(MessageId::SurfaceNotCreated);
  }
  return fromImage(service, image);
}

std::shared_ptr<const SheetPicture> SheetPicture::fromImage(platform::SurfaceService& service,
                                                            DecodedImage& image) {
  if (image.width <= 0 || image.height <= 0) return std::make_shared<const SheetPicture>(nullptr);
  return std::make_shared<const SheetPicture>(createSurface(service, image));
}

SheetPicture::SheetPicture(std::unique_ptr<PlatformSurface> pixels) : pixels_(std::move(pixels)) {
  if (pixels_) pixels_->setColorKey(pixels_->pixel(pixels_->width() - 1, pixels_->height() - 1));
}

SheetPicture::SheetPicture(std::unique_ptr<PlatformSurface> pixels, uint32_t key)
    : pixels_(std::move(pixels)) {
  if (pixels_) pixels_->setColorKey(key);
}

SheetPicture::~SheetPicture() = default;

uint32_t SheetPicture::key() const {
  return pixels_ ? pixels_->colorKey() : 0;
}

PixelFormat SheetPicture::format() const {
  return pixels_ ? pixels_->format() : PixelFormat{};
}

PixelView SheetPicture::view() const {
  if (!pixels_) return {};
  return PixelView{pixels_->row(0), pixels_->pitch(), pixels_->width(), pixels_->height(),
                   pixels_->format().bytesPerPixel()};
}

uint32_t SheetPicture::pixel(int32_t x, int32_t y) const {
  if (!pixels_ || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return pixels_->pixel(x, y);
}

}  // namespace patapata
