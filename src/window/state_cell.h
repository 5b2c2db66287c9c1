#pragma once

#include "player/frame_recipe.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QLabel;

namespace patapata {

namespace platform {
class SurfaceService;
}
struct Character;
class ViewWidget;

/// One state in the window of every state: its number and caption over a view of its own, at
/// the main window's zoom. A frame is drawn only when its recipe differs from the picture's,
/// and the view repaints only when that changed a pixel.
class StateCell : public QWidget {
  Q_OBJECT

 public:
  StateCell(std::shared_ptr<platform::SurfaceService> service, int32_t state, int zoom,
            QWidget* parent = nullptr);
  ~StateCell() override;
  StateCell(const StateCell&) = delete;
  StateCell& operator=(const StateCell&) = delete;

  int32_t state() const { return state_; }
  ViewWidget& view() { return *view_; }

  /// Shows `frame` of the state; nothing happens when the picture already is that frame.
  void show(const Character& character, int32_t frame);
  void setZoom(int zoom);

  /// Called with the state when the view is clicked.
  std::function<void(int32_t state)> onClicked;

 protected:
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void label();

  int32_t state_;
  QLabel* caption_ = nullptr;
  ViewWidget* view_ = nullptr;
  FrameRecipe shown_;
  bool drawn_ = false;
};

}  // namespace patapata
