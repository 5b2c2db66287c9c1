#pragma once

#include "character/character.h"
#include "surfaces/view_control.h"

#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <memory>

namespace patapata {

namespace platform {
class SurfaceService;
}

/// The viewer's view: hosts the view control, initialises it when its top-level window is
/// first shown and paints the primary surface, each of its pixels as a block of `zoom` × `zoom`
/// logical pixels.
class ViewWidget : public QWidget, public ViewHost {
  Q_OBJECT

 public:
  /// `service` is the display shared with every surface the window creates.
  explicit ViewWidget(std::shared_ptr<platform::SurfaceService> service, QWidget* parent = nullptr);
  ~ViewWidget() override;
  ViewWidget(const ViewWidget&) = delete;
  ViewWidget& operator=(const ViewWidget&) = delete;

  /// Shows the view enlarged by a whole factor (1 to 4), nearest-neighbour; the drawing stays
  /// at its own size. The widget takes the enlarged size.
  void setZoom(int zoom);
  int zoom() const { return zoom_; }

  ViewControl& viewControl() { return view_; }
  const ViewControl& viewControl() const { return view_; }

  /// The window is going away: onSurfacesReleased fires and the view's objects go now, while
  /// the window's own objects still exist. Harmless when already finalised.
  void finalizeView();

  /// Receives what a failed initialisation raised. By default a critical message box with
  /// the application's name as caption shows it.
  using ErrorHandler = std::function<void(const std::exception&)>;
  void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

  /// Called after each paint that shows pixels presented since the paint before; for
  /// measuring when the first frame reaches the screen.
  void setOnPresentedPaint(std::function<void()> handler) {
    onPresentedPaint_ = std::move(handler);
  }

  bool hasParentWindow() const override;
  void presented() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void watchTopLevel();
  void reportError(const std::exception& error);

  ViewControl view_;
  int zoom_ = 1;
  QPointer<QWidget> watchedWindow_;
  ErrorHandler errorHandler_;
  std::function<void()> onPresentedPaint_;
  bool presentedSincePaint_ = false;
};

}  // namespace patapata
