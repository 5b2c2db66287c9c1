#include "player/frame_loop.h"

#include "common/clock.h"
#include "common/controls.h"
#include "player/animation.h"
#include "player/file_intake.h"
#include "player/frame_composer.h"
#include "player/viewer.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/surface.h"
#include "surfaces/view_control.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace patapata {
namespace {

// Clears the flag however the tick ends, so that an exception does not lock the loop out.
class TickGuard {
 public:
  explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TickGuard() { flag_ = false; }
  TickGuard(const TickGuard&) = delete;
  TickGuard& operator=(const TickGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

SheetLoader sheetLoaderFor(const ViewControl& view) {
  DrawContext* context = view.drawContext();
  if (context == nullptr) return {};
  return [&service = context->service()](const std::string& path) {
    return SheetPicture::load(service, path);
  };
}

FrameLoop::FrameLoop(Viewer& viewer, const Controls& controls, ViewControl& view,
                     FrameLoopHooks hooks)
    : viewer_(viewer), controls_(controls), view_(view), hooks_(std::move(hooks)) {
  if (!hooks_.clock) hooks_.clock = [] { return millisecondsNow(); };
  if (!hooks_.processEvents) {
    hooks_.processEvents = [](uint32_t ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
  }
  if (!hooks_.pollFiles) hooks_.pollFiles = [](uint32_t) {};
  if (!hooks_.trackCarets) hooks_.trackCarets = [] {};
  if (!hooks_.load) {
    hooks_.load = [this](const std::string& path) {
      openCharacterFile(viewer_, sheetLoaderFor(view_), path);
    };
  }
}

LoopSwitches FrameLoop::loops() const {
  // Read at every tick, so that a change while a state plays decides its end.
  return loopSwitchesOf(controls_);
}

void FrameLoop::waitForFrame() {
  // Differences of the wrapping clock are taken modulo 2^32 and read as signed, so the wait
  // is right across the wrap. The interval is read afresh after every wake-up: a handler
  // that changed it during the wait decides this very wait.
  uint32_t now = hooks_.clock();
  for (;;) {
    const int64_t elapsed = static_cast<int32_t>(now - lastFrameMs_);
    const int64_t remaining = int64_t{viewer_.character.frameIntervalMs} - elapsed;
    if (remaining <= 0) break;
    hooks_.processEvents(static_cast<uint32_t>(std::min<int64_t>(remaining, UINT32_MAX)));
    now = hooks_.clock();
  }
  // The next wait is measured from a fresh reading, not from the one compared above.
  lastFrameMs_ = hooks_.clock();
}

void FrameLoop::tick(bool& done) {
  if (inTick_) return;
  TickGuard guard(inTick_);

  if (!view_.readyToDraw()) return;
  if (startupPath_) {
    // Cleared before the load, so a load that fails is not tried again.
    const std::string path = std::move(*startupPath_);
    startupPath_.reset();
    hooks_.load(path);
  }
  hooks_.pollFiles(hooks_.clock());
  waitForFrame();
  if (!viewer_.characterLoaded) return;
  hooks_.trackCarets();
  if (!playback_.isPaused()) playback_.advance(viewer_.player, viewer_.character, loops());
  // A handler run during the wait may have finalised the view (the window closing); there
  // is then no back surface to draw on.
  if (Surface* back = view_.backSurface()) composeFrame(viewer_.character, viewer_.player, *back);
  done = false;
  view_.present();
  if (!playback_.isPaused()) notePresented();
}

void FrameLoop::setPaused(bool paused) {
  playback_.setPaused(paused);
  presentedCount_ = 0;
}

void FrameLoop::stepForward() {
  setPaused(true);
  if (!viewer_.characterLoaded) return;
  playback_.advance(viewer_.player, viewer_.character, loops());
  redraw();
}

void FrameLoop::stepBack() {
  setPaused(true);
  if (viewer_.characterLoaded && playback_.stepBack(viewer_.player, viewer_.character, loops())) {
    redraw();
  }
}

void FrameLoop::redraw() {
  if (!viewer_.characterLoaded || !view_.readyToDraw()) return;
  composeFrame(viewer_.character, viewer_.player, *view_.backSurface());
  view_.present();
}

void FrameLoop::notePresented() {
  // The frame's start, as the wait took it.
  presentedMs_[presentedCount_ % presentedMs_.size()] = lastFrameMs_;
  ++presentedCount_;
}

std::optional<double> FrameLoop::meanFrameIntervalMs() const {
  const std::size_t n = presentedMs_.size();
  if (presentedCount_ < n) return std::nullopt;
  const uint32_t newest = presentedMs_[(presentedCount_ - 1) % n];
  const uint32_t oldest = presentedMs_[presentedCount_ % n];
  // Differences of the wrapping clock are taken modulo 2^32.
  return static_cast<double>(newest - oldest) / static_cast<double>(n - 1);
}

}  // namespace patapata
