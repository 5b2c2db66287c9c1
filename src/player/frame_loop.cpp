#include "player/frame_loop.h"

#include "character/character_reader.h"
#include "character/viewer_state.h"
#include "common/clock.h"
#include "common/controls.h"
#include "player/animation.h"
#include "player/frame_composer.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/dx_draw.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace patapata {
namespace {

constexpr int32_t kStartupLoadMark = 50;

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

FrameLoop::FrameLoop(ViewerState& state, Controls& controls, TCustomDXDraw& view,
                     FrameLoopHooks hooks)
    : state_(state), controls_(controls), view_(view), hooks_(std::move(hooks)) {
  if (!hooks_.clock) hooks_.clock = [] { return timeGetTime(); };
  if (!hooks_.processEvents) {
    hooks_.processEvents = [](uint32_t ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
  }
  if (!hooks_.pollSheet) hooks_.pollSheet = [] {};
  if (!hooks_.trackCarets) hooks_.trackCarets = [] {};
  if (!hooks_.load) {
    hooks_.load = [this](const std::string& fileName) { fileload(state_, controls_, fileName); };
  }
}

void FrameLoop::startClock() {
  state_.LastFrameTime = hooks_.clock();
}

void FrameLoop::waitForFrame() {
  // Differences of the wrapping clock are taken modulo 2^32 and read as signed, so the wait
  // is right across the wrap. The interval is read afresh after every wake-up: a handler
  // that changed it during the wait decides this very wait.
  uint32_t now = hooks_.clock();
  for (;;) {
    const int64_t elapsed = static_cast<int32_t>(now - state_.LastFrameTime);
    const int64_t remaining = int64_t{state_.FrameInterval} - elapsed;
    if (remaining <= 0) break;
    hooks_.processEvents(static_cast<uint32_t>(std::min<int64_t>(remaining, UINT32_MAX)));
    now = hooks_.clock();
  }
  // The next wait is measured from a fresh reading, not from the one compared above.
  state_.LastFrameTime = hooks_.clock();
}

void FrameLoop::ApplicationIdle(bool& done) {
  if (inTick_) return;
  TickGuard guard(inTick_);

  if (!view_.ReadyToDraw()) return;
  if (state_.StartupLoadPending == kStartupLoadMark) {
    // Cleared before the load, so a load that fails is not tried again.
    state_.StartupLoadPending = 0;
    controls_.setEnabled(ControlId::buttonck, true);
    hooks_.load(state_.StartupFileName);
  }
  view_.BackSurface()->FillAll(0);
  hooks_.pollSheet();
  waitForFrame();
  if (!state_.CharLoaded) return;
  hooks_.trackCarets();
  advanceAndEnd(state_, controls_);
  // A handler run during the wait may have finalised the view (the window closing); there
  // is then no back surface to draw on.
  if (TDirectDrawSurface* back = view_.BackSurface()) composeFrame(state_, *back);
  done = false;
  view_.Present();
}

}  // namespace patapata
