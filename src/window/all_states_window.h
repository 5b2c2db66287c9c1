#pragma once

#include "player/all_states_playback.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QScrollArea;

namespace patapata {

namespace platform {
class SurfaceService;
}
struct Character;
class DrawContext;
class StatesCanvas;
class Surface;

/// The window of every state at once: a view per state that has entries, each playing on its
/// own (AllStatesPlayback), moved by the main window's tick rather than a timer of its own.
class AllStatesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AllStatesWindow(QWidget* parent = nullptr);
  ~AllStatesWindow() override;

  /// One tick of every state.
  void advance(const Character& character) { playback_.advance(character); }
  /// Brings the views in line with the character, the check and the zoom, and draws each
  /// state's frame where it changed.
  void render(const Character& character, bool checkPlaying, int zoom);

  const AllStatesPlayback& playback() const { return playback_; }
  /// The views, one widget painting them all.
  StatesCanvas* canvas() const { return canvas_; }

  /// Called with a state whose view was clicked.
  std::function<void(int32_t state)> onStateClicked;
  /// Called when the window is closed by the user.
  std::function<void()> onClosed;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void rebuild(const Character& character, int zoom);
  void retitle();

  AllStatesPlayback playback_;
  /// Where the views compose a frame they have not kept, in the sheet's format.
  std::shared_ptr<platform::SurfaceService> service_;
  std::unique_ptr<DrawContext> context_;
  std::unique_ptr<Surface> scratch_;
  QScrollArea* scroll_ = nullptr;
  StatesCanvas* canvas_ = nullptr;
  int zoom_ = 0;
};

}  // namespace patapata
