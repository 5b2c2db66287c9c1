#pragma once

#include "player/playback.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace patapata {

struct ViewerState;
class Controls;
class ViewControl;

/// What the tick needs from outside the core. Every member may be left empty for its
/// default.
struct FrameLoopHooks {
  /// The millisecond clock, 32-bit wrapping. Default: millisecondsNow.
  std::function<uint32_t()> clock;
  /// Blocks until the next event arrives or `maxWaitMs` milliseconds have passed,
  /// dispatching what arrives; handlers run nested inside the tick here. Default: sleeps.
  std::function<void(uint32_t maxWaitMs)> processEvents;
  /// The poll of the watched files, given the clock reading of the tick. Default: nothing.
  std::function<void(uint32_t nowMs)> pollFiles;
  /// The caret tracking of the pattern edits. Default: nothing.
  std::function<void()> trackCarets;
  /// Opens the command-line file at the start-up load. Default: openCharacterFile.
  std::function<void(const std::string&)> load;
};

/// The idle tick: one call of tick waits out the frame interval and draws one
/// frame on the view's back surface.
class FrameLoop {
 public:
  FrameLoop(ViewerState& viewer, Controls& controls, ViewControl& view, FrameLoopHooks hooks = {});

  /// lastFrameMs := a clock reading; the window calls it when it is created, so that the
  /// first wait is measured from then.
  void startClock();

  /// One tick: returns at once unless the view can draw; runs the pending start-up load;
  /// polls the watched files; waits until frameIntervalMs has passed since
  /// lastFrameMs; stops while no character is loaded; tracks the carets, advances the
  /// animation, composes the frame, sets `done` to false and presents. An exception ends the
  /// tick where it is raised and propagates. A call made while a tick runs (from a handler
  /// dispatched by the wait) returns at once.
  void tick(bool& done);

  /// True while a tick runs.
  bool inTick() const { return inTick_; }

  /// While paused, ticks go on (the watched files are polled, the carets tracked) and draw the
  /// frame the player is at, without advancing it.
  bool isPaused() const { return playback_.isPaused(); }
  void setPaused(bool paused);
  /// One frame forward or back, pausing first; the frame is drawn at once.
  void stepForward();
  void stepBack();
  /// Composes the frame the player is at and presents it, when the view can draw.
  void redraw();

  /// The mean interval between the last frames drawn while playing, in milliseconds; none
  /// until a few frames were drawn since the last pause.
  std::optional<double> meanFrameIntervalMs() const;

 private:
  void waitForFrame();
  void notePresented();

  ViewerState& viewer_;
  Controls& controls_;
  ViewControl& view_;
  FrameLoopHooks hooks_;
  bool inTick_ = false;
  Playback playback_;
  /// The start times of the last frames presented while playing, oldest overwritten.
  std::array<uint32_t, 9> presentedMs_{};
  std::size_t presentedCount_ = 0;
};

}  // namespace patapata
