#pragma once

#include "surfaces/view_host.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace patapata {

namespace platform {
class SurfaceService;
}  // namespace platform

class DrawContext;
class Surface;

/// The view control: a drawing context, a primary surface standing for the control's client
/// area, and an off-screen back surface of a fixed size that `present` copies, centred, into
/// the primary surface.
class ViewControl {
 public:
  /// The back surface will be backWidth × backHeight (at least 1 × 1); the client area starts
  /// at that size.
  ViewControl(std::shared_ptr<platform::SurfaceService> service, int32_t backWidth,
              int32_t backHeight);
  ~ViewControl();
  ViewControl(const ViewControl&) = delete;
  ViewControl& operator=(const ViewControl&) = delete;

  using Event = std::function<void(ViewControl&)>;
  /// The surfaces have just been created, and drawing is allowed: surfaces that live with the
  /// view (the sprite sheet) are created against `drawContext()` here.
  Event onSurfacesCreated;
  /// The surfaces are about to be released, and drawing is no longer allowed: what
  /// onSurfacesCreated made goes here, while the drawing context still exists.
  Event onSurfacesReleased;

  int32_t clientWidth() const { return clientWidth_; }
  int32_t clientHeight() const { return clientHeight_; }
  /// The client area changed size (negative sides count as 0). While initialised the primary
  /// surface is created anew at that size and cleared; the back surface keeps its size.
  void setClientSize(int32_t width, int32_t height);

  /// Places the control in a window (or none).
  void setHost(ViewHost* host);
  /// The host window was shown: initialises the view unless an initialisation was already
  /// attempted, whatever its outcome.
  void windowShown();

  /// Finalises, then creates the drawing context, the primary and the back surface, fires
  /// onSurfacesCreated and clears both surfaces. Throws, leaving the view finalised:
  /// - Error "フォームが見つかりません" without a parent window;
  /// - what DrawContext's construction throws;
  /// - Error "プライマリサーフェース を作成できません";
  /// - Error "サーフェース を作成できません" when both memories refuse the back surface.
  /// What onSurfacesCreated raises passes through with the view initialised.
  void initialize();
  /// Fires onSurfacesReleased and releases the surfaces and the drawing context. Harmless
  /// when not initialised.
  void finalize();

  /// True when initialised, outside finalisation, with a back surface and a usable primary
  /// surface (see checkPrimary).
  bool readyToDraw();
  /// True when the primary surface is usable; a lost one is restored first.
  bool checkPrimary();
  /// Gives lost primary and back surfaces their memory back and clears both; when that fails
  /// nothing is cleared, and the next call tries again. The host is asked to repaint either
  /// way.
  void restoreSurfaces();
  /// Copies the back surface into the primary surface, centred in the client area and
  /// clipped to it, and asks the host to repaint when that changed a pixel, or when it is the
  /// first present into this primary surface. Does nothing without a usable primary surface.
  void present();

  bool isInitialized() const { return initialized_; }
  /// True while finalisation runs (onSurfacesReleased).
  bool isUpdating() const { return updating_; }

  DrawContext* drawContext() const { return drawContext_.get(); }
  Surface* primarySurface() const { return primarySurface_.get(); }
  Surface* backSurface() const { return backSurface_.get(); }

 private:
  void resizePrimary();
  void freeObjects();
  void fire(const Event& event);

  std::shared_ptr<platform::SurfaceService> service_;
  ViewHost* host_ = nullptr;
  int32_t backWidth_;
  int32_t backHeight_;
  int32_t clientWidth_;
  int32_t clientHeight_;
  bool initialized_ = false;
  bool updating_ = false;
  bool presentedOnce_ = false;  ///< since the primary surface was created
  bool initializeAttempted_ = false;

  std::unique_ptr<DrawContext> drawContext_;
  std::unique_ptr<Surface> primarySurface_;
  std::unique_ptr<Surface> backSurface_;
};

}  // namespace patapata
