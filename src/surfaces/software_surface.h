#pragma once

#include "surfaces/copy_mode.h"
#include "surfaces/geometry.h"
#include "surfaces/image_prefetch.h"
#include "surfaces/lock_description.h"
#include "surfaces/pixel_buffer.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The software surface service: surfaces are plain pixel buffers in the display format.
namespace patapata::platform {

/// Where a surface's pixels live. The software display has only one kind of memory; the two
/// are told apart so that a refusal of display memory, and the fallback it causes, can be
/// exercised.
enum class Memory { display, system };

/// One pixel buffer.
class PlatformSurface {
 public:
  /// A surface cleared to 0.
  PlatformSurface(int32_t width, int32_t height, PixelFormat format, Memory memory);
  /// A surface whose memory is `pixels`, rows PixelFormat::surfacePitch bytes apart; the
  /// size must match.
  PlatformSurface(int32_t width, int32_t height, PixelFormat format, Memory memory,
                  PixelBuffer pixels);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// Bytes from one row to the next.
  int32_t pitch() const { return pitch_; }
  const PixelFormat& format() const { return format_; }
  Memory memory() const { return memory_; }

  uint8_t* row(int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * pitch_; }
  const uint8_t* row(int32_t y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
  }
  uint32_t pixel(int32_t x, int32_t y) const;
  void setPixel(int32_t x, int32_t y, uint32_t raw);

  /// The raw value that keyed copies out of this surface skip; 0 from creation. Refused
  /// (false, key unchanged) while the surface is lost.
  bool setColorKey(uint32_t raw);
  uint32_t colorKey() const { return colorKey_; }

  /// Locks the whole surface (null) or one rectangle of it. False while lost or locked, or
  /// when the rectangle is empty or leaves the surface.
  bool lock(const Rect* rect, LockDescription& out);
  void unlock() { locked_ = false; }

  bool isLost() const { return lost_; }
  /// Gives the memory back after a loss; the pixels are not restored. False while the test
  /// hook refuses it.
  bool restore();
  /// Test hook: the platform reclaims the memory, as on a display mode change.
  void markLost();
  /// Test hook: restore keeps failing (the display memory is not back yet) while set.
  void setRestoreRefused(bool refused) { restoreRefused_ = refused; }

  /// Unscaled copy of `sourceRect` of `source` to (x, y), skipping the source's key when
  /// keyed. No clipping: false, and nothing drawn, when a rectangle is empty or leaves
  /// either surface, when either surface is lost or locked, or when their pixel sizes differ.
  /// Within one surface the rectangles may overlap; the result is as if the source were read
  /// whole before anything is written. When drawn, `*changed` (if given) tells whether any
  /// pixel differs from what was there; keyed and overlapping copies always say so.
  bool copyFrom(int32_t x, int32_t y, const PlatformSurface& source, const Rect& sourceRect,
                CopyMode mode, bool* changed = nullptr);
  /// copyFrom of `under` and then, keyed, of `over`, both to (x, y) and of the same size, in
  /// one pass; false, and nothing drawn, when either copy would be refused, when the sizes
  /// differ or when `source` is this surface; the caller then makes the two copies.
  bool copyKeyedOver(int32_t x, int32_t y, const PlatformSurface& source, const Rect& under,
                     const Rect& over);
  /// Sets every pixel to the raw value; false while lost or locked.
  bool fill(uint32_t raw);

 private:
  int32_t width_;
  int32_t height_;
  int32_t pitch_;
  PixelFormat format_;
  Memory memory_;
  PixelBuffer pixels_;
  uint32_t colorKey_ = 0;
  bool locked_ = false;
  bool lost_ = false;
  bool restoreRefused_ = false;
};

/// Refusals a test can ask the service for, to exercise the fallback and failure paths.
struct FaultInjection {
  bool libraryMissing = false;
  bool refuseOpen = false;
  bool missingInterface = false;
  bool refuseDisplayMemory = false;
  bool refuseSystemMemory = false;
  bool refusePrimary = false;
};

/// The display: its pixel format and surface creation.
class SurfaceService {
 public:
  explicit SurfaceService(PixelFormat displayFormat = PixelFormat::xrgb8888());

  const PixelFormat& displayFormat() const { return displayFormat_; }

  /// An off-screen surface of width × height in the given memory, cleared to 0; null when
  /// refused, when a side is ≤ 0 or when it would exceed kMaxSurfaceBytes.
  std::unique_ptr<PlatformSurface> createSurface(int32_t width, int32_t height, Memory memory);
  /// The same, holding `pixels` (in the display format, rows PixelFormat::surfacePitch bytes
  /// apart) instead of zeros, which it takes on success; null, as above, also when their size
  /// does not match.
  std::unique_ptr<PlatformSurface> createSurface(int32_t width, int32_t height, Memory memory,
                                                 PixelBuffer& pixels);
  /// The surface standing for a view's client area of width × height, in display memory;
  /// null when refused, as createSurface.
  std::unique_ptr<PlatformSurface> createPrimarySurface(int32_t width, int32_t height);

  FaultInjection& faults() { return faults_; }
  const FaultInjection& faults() const { return faults_; }

  /// Starts decoding the picture at `path` in the display format on a thread of its own, for
  /// the first picture loaded (see ImagePrefetch).
  void prefetchImage(std::string path);
  /// The picture decoded ahead when it is the file at `path`, unchanged; nothing otherwise.
  /// Only the first call can return one.
  std::optional<DecodedImage> takePrefetchedImage(const std::string& path);
  /// Lets go of the picture decoded ahead, once the load it was for is over; waits for its
  /// thread.
  void dropPrefetchedImage() { prefetch_.reset(); }

  /// The largest surface the service creates, in bytes; larger requests are refused.
  static constexpr int64_t kMaxSurfaceBytes = int64_t{1} << 29;

 private:
  /// Null when the size is refused; otherwise a surface holding `pixels`, or zeros when null.
  std::unique_ptr<PlatformSurface> make(int32_t width, int32_t height, Memory memory,
                                        PixelBuffer* pixels) const;

  PixelFormat displayFormat_;
  FaultInjection faults_;
  std::unique_ptr<ImagePrefetch> prefetch_;
};

}  // namespace patapata::platform
