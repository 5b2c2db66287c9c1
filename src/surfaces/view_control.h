#pragma once

#include "surfaces/geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

namespace patapata {

namespace platform {
class SurfaceService;
}
class DrawContext;
class Surface;
class ViewClipper;
class ViewPalette;

enum class ViewOption : uint32_t {
  doFullScreen,
  doNoWindowChange,
  doAllowReboot,
  doWaitVBlank,
  doAllowPalette256,
  doSystemMemory,
  doStretch,
  doCenter,
  doFlip,
  do3D,
  doRetainedMode,
  doHardware,
  doSelectDriver,
  doZBuffer,
};

/// A set of view options; bit n is option n.
class ViewOptions {
 public:
  constexpr ViewOptions() = default;
  constexpr ViewOptions(std::initializer_list<ViewOption> options) {
    for (ViewOption o : options) include(o);
  }
  constexpr bool contains(ViewOption o) const { return (bits_ >> static_cast<uint32_t>(o)) & 1u; }
  constexpr void include(ViewOption o) { bits_ |= 1u << static_cast<uint32_t>(o); }
  constexpr void exclude(ViewOption o) { bits_ &= ~(1u << static_cast<uint32_t>(o)); }
  constexpr uint32_t bits() const { return bits_; }
  friend constexpr bool operator==(ViewOptions, ViewOptions) = default;

 private:
  uint32_t bits_ = 0;
};

/// The display mode a full-screen view would switch to. The windowed view never uses it; it is
/// kept so that the control's properties read as they were set.
class DisplayMode {
 public:
  int32_t Width = 640;
  int32_t Height = 480;
  bool FixedBitCount = true;
  bool FixedRatio = true;
  bool FixedSize = false;

  int32_t bitCount() const { return bitCount_; }
  /// Throws DrawContextError "8, 16, 24, 32 のいずれかの値でなければなりません" for any other
  /// value, leaving the bit count as it was.
  void setBitCount(int32_t bitCount);

 private:
  int32_t bitCount_ = 8;
};

/// The window side of a view control: where it sits, and how to show what was presented.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  /// True when the control sits on a form (a top-level window).
  virtual bool hasParentForm() const = 0;
  /// The primary surface changed: repaint the control's area from it.
  virtual void presented() = 0;
};

/// The view control: a drawing context, a primary surface standing for the control's
/// client area, a clipper, a palette and an off-screen back surface of the control's size.
/// Windowed presentation only; full-screen, page flipping and 3D options are accepted and
/// ignored.
class ViewControl {
 public:
  explicit ViewControl(std::shared_ptr<platform::SurfaceService> service);
  virtual ~ViewControl();
  ViewControl(const ViewControl&) = delete;
  ViewControl& operator=(const ViewControl&) = delete;

  using Event = std::function<void(ViewControl&)>;
  Event OnInitializing;
  Event OnInitialize;
  Event OnInitializeSurface;
  Event OnFinalizeSurface;
  Event OnFinalize;
  Event OnRestoreSurface;

  // Published properties.
  bool autoInitialize() const { return autoInitialize_; }
  void setAutoInitialize(bool value) { autoInitialize_ = value; }
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool value);
  ViewOptions options() const { return options_; }
  void setOptions(ViewOptions options);
  ViewOptions effectiveOptions() const { return effectiveOptions_; }
  /// The back surface's size while one exists, else the stored size (640 × 480 until set).
  int32_t surfaceWidth() const;
  int32_t surfaceHeight() const;
  /// Outside loading these resize the back surface (see ResizeBackSurface).
  void setSurfaceWidth(int32_t width);
  void setSurfaceHeight(int32_t height);
  DisplayMode& display() { return display_; }
  const DisplayMode& display() const { return display_; }

  /// The form's stored properties are being applied: SurfaceWidth and SurfaceHeight only
  /// store the size until Loaded.
  void beginLoading() { loading_ = true; }
  /// Loading has ended: with AutoSize the stored surface size becomes the control's size.
  void loaded();

  /// The control's size in pixels (100 × 100 until set).
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// A change of the control's bounds; with AutoSize the back surface follows.
  void setBounds(int32_t width, int32_t height);

  /// Places the control on a window (or none); the window's show and destroy messages
  /// arrive through formShown and formDestroyed.
  void setHost(ViewHost* host);
  /// The form was shown: initialises the view once, when AutoInitialize is set.
  void formShown();
  /// The form's window is being destroyed: finalises the view first.
  void formDestroyed();

  void initialize();
  void finalize();
  bool readyToDraw();
  bool checkPrimary();
  void restoreSurfaces();
  /// Copies the back surface into the control's area of the primary surface: centred with
  /// doCenter, stretched over the whole area with doStretch. The result lands in the primary
  /// surface's LastResult; nothing is reported.
  void present();
  /// The window system asks for a repaint: presents without waiting for a vertical blank.
  void paint();
  void resizeBackSurface(int32_t width, int32_t height);

  bool isInitialized() const { return initialized_; }
  bool isUpdating() const { return updating_; }

  DrawContext* drawContext() const { return drawContext_.get(); }
  Surface* primarySurface() const { return primarySurface_.get(); }
  Surface* backSurface() const { return backSurface_.get(); }
  ViewClipper* clipper() const { return clipper_.get(); }
  ViewPalette* palette() const { return palette_.get(); }
  platform::SurfaceService& service() const { return *service_; }

 private:
  void recomputeEffectiveOptions();
  void initializeWindowed();
  void createBackSurface();
  void freeObjects();
  void present(bool waitVBlank);
  void resizePrimary();
  void fire(const Event& event);

  std::shared_ptr<platform::SurfaceService> service_;
  ViewHost* host_ = nullptr;
  DisplayMode display_;
  bool loading_ = false;
  bool autoInitialize_ = true;
  bool autoSize_ = true;
  ViewOptions options_;
  ViewOptions effectiveOptions_;
  int32_t storedSurfaceWidth_ = 640;
  int32_t storedSurfaceHeight_ = 480;
  int32_t width_ = 100;
  int32_t height_ = 100;
  bool initialized_ = false;
  bool internallyInitialized_ = false;
  bool updating_ = false;
  bool autoInitAttempted_ = false;
  bool initializeFired_ = false;
  bool initializeSurfaceFired_ = false;
  std::array<uint32_t, 256> capturedColors_{};

  std::unique_ptr<DrawContext> drawContext_;
  std::unique_ptr<Surface> primarySurface_;
  std::unique_ptr<Surface> backSurface_;
  std::unique_ptr<ViewClipper> clipper_;
  std::unique_ptr<ViewPalette> palette_;
};

/// The view control as placed on a form.
class TDXDraw : public ViewControl {
 public:
  using ViewControl::ViewControl;
};

}  // namespace patapata
