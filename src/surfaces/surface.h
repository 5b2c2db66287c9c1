#pragma once

#include "surfaces/copy_mode.h"
#include "surfaces/geometry.h"
#include "surfaces/lock_description.h"
#include "surfaces/pixel_buffer.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

namespace platform {
class PlatformSurface;
}  // namespace platform

class DrawContext;
class SheetPicture;

/// One surface of a drawing context: a pixel buffer in the display format. Empty (no
/// platform surface, 0 × 0) until created; every creation starts with source key 0.
class Surface {
 public:
  explicit Surface(DrawContext* owner);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  /// The drawing context, or null once the context has been destroyed.
  DrawContext* context() const { return owner_; }
  /// The platform surface, or null while none is held.
  platform::PlatformSurface* platformSurface() const { return surface_.get(); }

  int32_t width() const;
  int32_t height() const;
  /// The pixel format of the held surface; all zero while none is held.
  PixelFormat format() const;
  /// True while the held surface lives in system memory (display memory was refused).
  bool isInSystemMemory() const;
  /// True while the platform has reclaimed the held surface's memory.
  bool isLost() const;

  /// Creates the platform surface at width × height, falling back to system memory once the
  /// display memory refuses (and asking for system memory from then on); releases it when
  /// either side is ≤ 0. Throws Error "サーフェース を作成できません" when both refuse;
  /// the old pixels are gone by then.
  void resize(int32_t width, int32_t height);
  /// Makes this a view's primary surface, standing for a client area of width × height.
  /// Returns false, holding none, on refusal.
  bool createPrimary(int32_t width, int32_t height);

  /// Raw value of one pixel; 0 when it cannot be read.
  uint32_t pixelValue(int32_t x, int32_t y);
  /// Makes `value` the one transparent raw value for keyed copies out of this surface.
  /// Ignored while the surface is empty or lost.
  void setSourceKey(uint32_t value);
  /// The transparent raw value; 0 while the surface is empty.
  uint32_t sourceKey() const;

  /// Direct pixel access to the whole surface (null) or one rectangle of it; not nestable.
  /// False while empty, lost or locked, or when the rectangle leaves the surface.
  bool lock(const Rect* rect, LockDescription& out);
  void unlock();
  /// Asks the platform to give back a lost surface's memory (not its pixels).
  bool restore();

  /// Sets every pixel to the raw value.
  bool fill(uint32_t value);
  /// Unscaled copy of `sourceRect` of `source` to (x, y). No clipping: a rectangle leaving
  /// either surface is refused (false) and nothing is drawn. When drawn, `*changed` (if given)
  /// tells whether any pixel differs from what was there (always true for keyed copies).
  bool blit(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode, const Surface& source,
            bool* changed = nullptr);
  bool blit(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode,
            const SheetPicture& source);
  /// blit of `under` (opaque) and then of `over` (keyed), both to (x, y); one pass over the
  /// pixels when both fit and are of the same size. True when both were drawn.
  bool blitKeyedOver(int32_t x, int32_t y, const Rect& under, const Rect& over,
                     const Surface& source);
  bool blitKeyedOver(int32_t x, int32_t y, const Rect& under, const Rect& over,
                     const SheetPicture& source);

 private:
  friend class DrawContext;
  /// Releases the platform surface; the surface is empty afterwards.
  void release();
  bool blitFrom(int32_t x, int32_t y, const Rect& sourceRect, CopyMode mode,
                const platform::PlatformSurface* source, bool* changed);
  bool blitKeyedOverFrom(int32_t x, int32_t y, const Rect& under, const Rect& over,
                         const platform::PlatformSurface* source);
  /// The context is going away: release everything and forget it.
  void detach();

  DrawContext* owner_;
  std::unique_ptr<platform::PlatformSurface> surface_;
  bool systemMemoryFallback_ = false;
};

}  // namespace patapata
