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
  if (!hooks_.wakeAfter) {
    hooks_.wakeAfter = [](uint32_t ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
  }
  if (!hooks_.pollFiles) hooks_.pollFiles = [](uint32_t) {};
  if (!hooks_.trackCarets) hooks_.trackCarets = [] {};
  if (!hooks_.compose) {
    hooks_.compose = [](const Character& character, const Player& player, Surface& back) {
      composeFrame(character, player, back);
    };
  }
  if (!hooks_.framePlayed) hooks_.framePlayed = [](bool) {};
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

bool FrameLoop::frameDue() {
  // Differences of the wrapping clock are taken modulo 2^32 and read as signed, so the
  // deadline is right across the wrap.
  const int64_t elapsed = static_cast<int32_t>(hooks_.clock() - lastFrameMs_);
  const int64_t remaining = effectiveIntervalMs() - elapsed;
  if (remaining > 0) {
    hooks_.wakeAfter(static_cast<uint32_t>(std::min<int64_t>(remaining, UINT32_MAX)));
    return false;
  }
  // The next interval is measured from a fresh reading, not from the one compared above.
  lastFrameMs_ = hooks_.clock();
  return true;
}

void FrameLoop::tick(bool& done) {
  if (!view_.readyToDraw()) return;
  if (startupPath_) {
    // Cleared before the load, so a load that fails is not tried again.
    const std::string path = std::move(*startupPath_);
    startupPath_.reset();
    hooks_.load(path);
  }
  hooks_.pollFiles(hooks_.clock());
  if (!frameDue() || !viewer_.characterLoaded) return;
  hooks_.trackCarets();
  const bool advancing = !playback_.isPaused();
  // Frame 0 is where a state button or the caret tracking puts the player, and is never
  // shown: paused, the player goes on to the state's first frame and holds there.
  if (advancing || viewer_.player.frame == 0) {
    playback_.advance(viewer_.player, viewer_.character, loops());
  }
  hooks_.compose(viewer_.character, viewer_.player, *view_.backSurface());
  done = false;
  view_.present();
  if (advancing) notePresented();
  hooks_.framePlayed(advancing);
}

int64_t FrameLoop::effectiveIntervalMs() const {
  return int64_t{viewer_.character.frameIntervalMs} * static_cast<int32_t>(PlaybackSpeed::Normal) /
         static_cast<int32_t>(speed_);
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

void FrameLoop::showFrame(int32_t frame) {
  setPaused(true);
  if (!viewer_.characterLoaded) return;
  viewer_.player.frame = frame;
  redraw();
}

void FrameLoop::redraw() {
  if (!viewer_.characterLoaded || !view_.readyToDraw()) return;
  hooks_.compose(viewer_.character, viewer_.player, *view_.backSurface());
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
