#pragma once

#include "surfaces/direct_x.h"
#include "surfaces/geometry.h"
#include "surfaces/pixel_format.h"
#include "surfaces/software_surface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class TDirectDraw;
class TDirectDrawClipper;

/// Effects record of a blit; only the fill colour is used.
struct DDBLTFX {
  uint32_t dwFillColor = 0;
};

/// One surface of a drawing context. Empty (no platform surface, 0 × 0) until created;
/// every creation starts with source colour key 0.
class TDirectDrawSurface : public TDirectX {
 public:
  explicit TDirectDrawSurface(TDirectDraw* owner);
  ~TDirectDrawSurface() override;
  TDirectDrawSurface(const TDirectDrawSurface&) = delete;
  TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

  /// The drawing context, or null once the context has been destroyed.
  TDirectDraw* DDraw() const { return owner_; }
  /// The platform surface, or null while none is held.
  platform::PlatformSurface* ISurface() const { return surface_.get(); }

  int32_t Width() const { return surface_ ? surface_->width() : 0; }
  int32_t Height() const { return surface_ ? surface_->height() : 0; }
  /// The pixel format of the held surface; all zero while none is held.
  PixelFormat Format() const { return surface_ ? surface_->format() : PixelFormat{}; }
  uint32_t Caps() const { return surface_ ? surface_->caps() : 0; }
  bool HasClipper() const { return hasClipper_; }
  bool SystemMemoryFallback() const { return systemMemoryFallback_; }

  /// Creates the platform surface at width × height, falling back to system memory once the
  /// display memory refuses; releases it when either is ≤ 0. Throws
  /// EDirectDrawSurfaceError "サーフェース を作成できません" when both refuse.
  void Resize(int32_t width, int32_t height);

  /// Releases the current platform surface, then asks the context for a new one. On success
  /// the source colour key is 0. Returns false (and holds none) on refusal.
  bool CreateSurface(const platform::SurfaceRequest& request);
  /// Releases the platform surface; the surface is Empty afterwards.
  void ReleaseSurface();

  /// Loads an image file (reader chosen by extension), resizes the surface to the image and
  /// draws it at (0, 0), converted to the display format. Failures raise with the surface
  /// untouched, except where the platform surface was already replaced.
  void LoadImageFile(const std::string& path);

  /// Raw value of one pixel; 0 when it cannot be read.
  uint32_t PixelValue(int32_t x, int32_t y);
  /// Makes `value` the one transparent raw value for keyed copies out of this surface.
  void SetSourceKey(uint32_t value);

  /// Direct pixel access, not nestable.
  bool Lock(const TRect* rect, platform::LockDescription& out);
  void Unlock();
  /// Asks the platform to give back a lost surface's memory (not its pixels).
  bool Restore();

  /// Sets every pixel to the raw value.
  bool FillAll(uint32_t value);
  /// Unscaled copy of `sourceRect` of `source` to (x, y); flags 1 skips the source's key.
  /// No clipping: a rectangle leaving either surface is refused and nothing is drawn.
  bool BltFast(int32_t x, int32_t y, const TRect& sourceRect, uint32_t flags,
               const TDirectDrawSurface& source);
  /// Rectangle-to-rectangle copy or colour fill (null rectangle = whole surface), scaled
  /// when the sizes differ, limited by an attached clipper.
  bool BltRect(const TRect* destRect, const TRect* sourceRect, uint32_t flags,
               const DDBLTFX& effects, const TDirectDrawSurface* source);

  /// Attaches a clipper (or none) to the platform surface.
  void SetClipper(const TDirectDrawClipper* clipper);

 private:
  friend class TDirectDraw;
  /// The context is going away: release everything and forget it.
  void detach();

  TDirectDraw* owner_;
  std::unique_ptr<platform::PlatformSurface> surface_;
  bool systemMemoryFallback_ = false;
  bool hasClipper_ = false;
  int32_t lockCount_ = 0;
};

}  // namespace patapata
