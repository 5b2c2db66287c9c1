#pragma once

#include "surfaces/draw_object.h"
#include "surfaces/geometry.h"
#include "surfaces/pixel_format.h"
#include "surfaces/software_surface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class DrawContext;
class ViewClipper;

/// Effects record of a blit; only the fill colour is used.
struct BlitEffects {
  uint32_t fillColor = 0;
};

/// One surface of a drawing context. Empty (no platform surface, 0 × 0) until created;
/// every creation starts with source colour key 0.
class Surface : public DrawObject {
 public:
  explicit Surface(DrawContext* owner);
  ~Surface() override;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  /// The drawing context, or null once the context has been destroyed.
  DrawContext* context() const { return owner_; }
  /// The platform surface, or null while none is held.
  platform::PlatformSurface* platformSurface() const { return surface_.get(); }

  int32_t width() const { return surface_ ? surface_->width() : 0; }
  int32_t height() const { return surface_ ? surface_->height() : 0; }
  /// The pixel format of the held surface; all zero while none is held.
  PixelFormat format() const { return surface_ ? surface_->format() : PixelFormat{}; }
  uint32_t caps() const { return surface_ ? surface_->caps() : 0; }
  bool hasClipper() const { return hasClipper_; }
  bool usesSystemMemory() const { return systemMemoryFallback_; }

  /// Creates the platform surface at width × height, falling back to system memory once the
  /// display memory refuses; releases it when either is ≤ 0. Throws
  /// SurfaceError "サーフェース を作成できません" when both refuse.
  void resize(int32_t width, int32_t height);

  /// Releases the current platform surface, then asks the context for a new one. On success
  /// the source colour key is 0. Returns false (and holds none) on refusal.
  bool create(const platform::SurfaceRequest& request);
  /// Releases the platform surface; the surface is Empty afterwards.
  void release();

  /// Loads an image file (reader chosen by extension), resizes the surface to the image and
  /// draws it at (0, 0), converted to the display format. Failures raise with the surface
  /// untouched, except where the platform surface was already replaced.
  void loadImageFile(const std::string& path);

  /// Raw value of one pixel; 0 when it cannot be read.
  uint32_t pixelValue(int32_t x, int32_t y);
  /// Makes `value` the one transparent raw value for keyed copies out of this surface.
  void setSourceKey(uint32_t value);

  /// Direct pixel access, not nestable.
  bool lock(const Rect* rect, platform::LockDescription& out);
  void unlock();
  /// Asks the platform to give back a lost surface's memory (not its pixels).
  bool restore();

  /// Sets every pixel to the raw value.
  bool fill(uint32_t value);
  /// Unscaled copy of `sourceRect` of `source` to (x, y); flags 1 skips the source's key.
  /// No clipping: a rectangle leaving either surface is refused and nothing is drawn.
  bool blit(int32_t x, int32_t y, const Rect& sourceRect, uint32_t flags, const Surface& source);
  /// Rectangle-to-rectangle copy or colour fill (null rectangle = whole surface), scaled
  /// when the sizes differ, limited by an attached clipper.
  bool stretchBlit(const Rect* destRect, const Rect* sourceRect, uint32_t flags,
                   const BlitEffects& effects, const Surface* source);

  /// Attaches a clipper (or none) to the platform surface.
  void setClipper(const ViewClipper* clipper);

 private:
  friend class DrawContext;
  /// The context is going away: release everything and forget it.
  void detach();

  DrawContext* owner_;
  std::unique_ptr<platform::PlatformSurface> surface_;
  bool systemMemoryFallback_ = false;
  bool hasClipper_ = false;
  int32_t lockCount_ = 0;
};

}  // namespace patapata
