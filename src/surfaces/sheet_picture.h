#pragma once

#include "surfaces/image.h"
#include "surfaces/pixel_format.h"
#include "surfaces/pixel_view.h"

#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

namespace platform {
class PlatformSurface;
class SurfaceService;
}  // namespace platform

/// A sprite sheet in the display's pixel format, with its transparent colour: the raw value of
/// its bottom-right pixel, taken when the picture is made. It never changes afterwards, so the
/// characters that hold it share it. An empty picture (a file that holds none) has no pixels.
class SheetPicture {
 public:
  /// Reads the picture file at `path` with the reader its extension names and converts it to
  /// `service`'s display format, once; takes the picture `service` decoded ahead when it is
  /// that file. Throws Error: what the readers throw, "サーフェース を作成できません" when
  /// neither memory takes it, "IDirectDrawSurface は作成されていません" for an empty picture of
  /// a reader that copies from a surface of its own.
  static std::shared_ptr<const SheetPicture> load(platform::SurfaceService& service,
                                                  const std::string& path);
  /// The picture `image` holds, converted to `service`'s display format; null pixels for an
  /// empty one. Throws Error "サーフェース を作成できません" when neither memory takes it.
  static std::shared_ptr<const SheetPicture> fromImage(platform::SurfaceService& service,
                                                       DecodedImage& image);

  /// The picture held by `pixels` (null for an empty one), with its bottom-right pixel as key.
  explicit SheetPicture(std::unique_ptr<platform::PlatformSurface> pixels);
  /// The same with a key of the caller's choosing.
  SheetPicture(std::unique_ptr<platform::PlatformSurface> pixels, uint32_t key);
  ~SheetPicture();
  SheetPicture(const SheetPicture&) = delete;
  SheetPicture& operator=(const SheetPicture&) = delete;

  int32_t width() const { return view().width; }
  int32_t height() const { return view().height; }
  /// All zero for an empty picture.
  PixelFormat format() const;
  /// The raw value keyed copies out of the picture skip; 0 for an empty picture.
  uint32_t key() const;
  /// The raw value at (x, y); 0 outside the picture.
  uint32_t pixel(int32_t x, int32_t y) const;

  /// The pixels, or null for an empty picture.
  const platform::PlatformSurface* surface() const { return pixels_.get(); }
  /// The pixels to read; not readable for an empty picture.
  PixelView view() const;

 private:
  std::unique_ptr<platform::PlatformSurface> pixels_;
};

}  // namespace patapata
