#pragma once

#include "export/headless_session.h"
#include "surfaces/view_control.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class FrameLoop;
class Surface;

namespace exporting {

/// What one tick showed: the state and frame drawn and their table entries.
struct TickRecord {
  int32_t tick = 0;
  int32_t state = 0;
  int32_t frame = 0;
  std::string caption;  ///< the state caption, UTF-8
  int32_t pattern = 0;
  int32_t layer = 0;
  int32_t dest = 0;
};

/// Plays a loaded session on a real view that is never shown, with a clock that jumps over
/// every wait, so frames follow one another at once. Used by the render and export modes.
class HeadlessPlayer {
 public:
  /// Initialises the view; throws what the view's initialisation throws.
  explicit HeadlessPlayer(HeadlessSession& session);
  ~HeadlessPlayer();
  HeadlessPlayer(const HeadlessPlayer&) = delete;
  HeadlessPlayer& operator=(const HeadlessPlayer&) = delete;

  /// Runs the handler of the button that selects `state` (the check state is entered as
  /// its button's last step does, keeping the file's own row 30). False when no button
  /// selects it.
  bool selectState(int32_t state);

  /// Frames until the current state's sequence first ends, at least 1.
  int32_t onePassTicks() const;

  /// Runs one tick and describes it; the finished frame is `backSurface()`. Throws what
  /// the tick throws, and ExportError when the view could not draw.
  TickRecord tick();

  Surface& backSurface() const;

 private:
  class Host : public ViewHost {
   public:
    bool hasParentWindow() const override { return true; }
    void presented() override {}
  };

  HeadlessSession& session_;
  Host host_;
  ViewControl view_;
  uint32_t virtualNow_ = 0;
  std::unique_ptr<FrameLoop> loop_;
  int32_t ticks_ = 0;
};

/// The surface's pixels as an RGB picture (0xFFRRGGBB); a null image when it cannot be read.
QImage surfaceImage(Surface& surface);

}  // namespace exporting
}  // namespace patapata
