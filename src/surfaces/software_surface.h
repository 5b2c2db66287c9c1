#pragma once

#include "surfaces/geometry.h"
#include "surfaces/pixel_format.h"
#include "surfaces/platform_codes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The software surface service: surfaces are plain pixel buffers in the display format.
namespace patapata::platform {

/// What a lock hands out: the address of the locked area's first pixel and the row pitch.
struct LockDescription {
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  PixelFormat format;
};

/// Limits copies to a destination to its visible region.
class Clipper {
 public:
  /// The visible region in the destination's coordinates; none clips nothing.
  std::optional<Rect> region;
};

/// One pixel buffer.
class PlatformSurface {
 public:
  PlatformSurface(int32_t width, int32_t height, PixelFormat format, uint32_t caps);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t pitch() const { return pitch_; }
  const PixelFormat& format() const { return format_; }
  uint32_t caps() const { return caps_; }

  uint8_t* row(int32_t y) { return memory_.data() + static_cast<std::size_t>(y) * pitch_; }
  const uint8_t* row(int32_t y) const {
    return memory_.data() + static_cast<std::size_t>(y) * pitch_;
  }
  uint32_t pixel(int32_t x, int32_t y) const;
  void setPixel(int32_t x, int32_t y, uint32_t raw);

  int32_t setColorKey(uint32_t low, uint32_t high);
  uint32_t colorKeyLow() const { return keyLow_; }
  uint32_t colorKeyHigh() const { return keyHigh_; }

  int32_t setClipper(const Clipper* clipper);
  const Clipper* clipper() const { return clipper_; }

  /// Locks the whole surface or one rectangle of it.
  int32_t lock(const Rect* rect, LockDescription& out);
  int32_t unlock();

  int32_t isLost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }
  /// Gives the memory back after a loss; the pixels are not restored.
  int32_t restore();
  /// Test hook: the platform reclaims the memory, as on a display mode change.
  void markLost();
  /// Test hook: restore keeps failing (the display memory is not back yet) while set.
  void setRestoreRefused(bool refused) { restoreRefused_ = refused; }

  /// Unscaled copy with no clipping; refuses rectangles that leave either surface.
  int32_t bltFast(int32_t x, int32_t y, const PlatformSurface* source, const Rect& sourceRect,
                  uint32_t flags);
  /// Rectangle-to-rectangle copy (nearest-neighbour when scaled) or colour fill, limited by
  /// an attached clipper.
  int32_t blt(const Rect* destRect, const PlatformSurface* source, const Rect* sourceRect,
              uint32_t flags, uint32_t fillColor);

 private:
  int32_t fill(const Rect& rect, uint32_t raw);

  int32_t width_;
  int32_t height_;
  int32_t pitch_;
  PixelFormat format_;
  uint32_t caps_;
  std::vector<uint8_t> memory_;
  uint32_t keyLow_ = 0;
  uint32_t keyHigh_ = 0;
  bool locked_ = false;
  bool lost_ = false;
  bool restoreRefused_ = false;
  const Clipper* clipper_ = nullptr;
};

/// A surface creation request.
struct SurfaceRequest {
  int32_t width = 0;
  int32_t height = 0;
  uint32_t caps = 0;
};

/// Refusals a test can ask the service for, to exercise the fallback and failure paths.
struct FaultInjection {
  bool libraryMissing = false;
  bool refuseOpen = false;
  bool missingInterface = false;
  bool refuseDisplayMemory = false;
  bool refuseSystemMemory = false;
  bool refusePrimary = false;
  bool refuseClipper = false;
};

/// The display: its pixel format, the primary surface's size (the view's client area), and
/// surface creation.
class SurfaceService {
 public:
  explicit SurfaceService(PixelFormat displayFormat = PixelFormat::xrgb8888());

  const PixelFormat& displayFormat() const { return displayFormat_; }

  /// The size of the window area the primary surface stands for.
  void setPrimarySize(int32_t width, int32_t height);
  int32_t primaryWidth() const { return primaryWidth_; }
  int32_t primaryHeight() const { return primaryHeight_; }

  int32_t createSurface(const SurfaceRequest& request, std::unique_ptr<PlatformSurface>& out);

  FaultInjection& faults() { return faults_; }
  const FaultInjection& faults() const { return faults_; }

  /// The largest surface the service creates, in bytes; larger requests are refused.
  static constexpr int64_t kMaxSurfaceBytes = int64_t{1} << 29;

 private:
  PixelFormat displayFormat_;
  int32_t primaryWidth_ = 0;
  int32_t primaryHeight_ = 0;
  FaultInjection faults_;
};

}  // namespace patapata::platform
