#pragma once

#include "character/character_reader.h"
#include "player/playback.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace patapata {

struct Viewer;
class Controls;
class ViewControl;

/// Reads sheets for the display of `view`, while it has its surfaces; empty before.
SheetLoader sheetLoaderFor(const ViewControl& view);

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
  /// Opens the command-line file at the start-up load. Default: openCharacterFile with the
  /// view's sheet loader.
  std::function<void(const std::string&)> load;
};

/// The idle tick: one call of tick waits out the frame interval and draws one frame of the
/// viewer's player on the view's back surface.
class FrameLoop {
 public:
  FrameLoop(Viewer& viewer, const Controls& controls, ViewControl& view, FrameLoopHooks hooks = {});

  /// The file named on the command line, opened at the first tick that can draw.
  void openAtStart(std::string path) { startupPath_ = std::move(path); }
  /// The file still to be opened at the start-up load, if any.
  const std::optional<std::string>& fileToOpenAtStart() const { return startupPath_; }

  /// Takes a clock reading as the time of the last frame; the window calls it when it is
  /// created, so that the first wait is measured from then.
  void startClock() { startClockAt(hooks_.clock()); }
  /// The same with a reading of the caller's.
  void startClockAt(uint32_t nowMs) { lastFrameMs_ = nowMs; }
  /// The clock reading the last frame started at.
  uint32_t lastFrameMs() const { return lastFrameMs_; }

  /// One tick: returns at once unless the view can draw; runs the pending start-up load;
  /// polls the watched files; waits until the character's interval has passed since the last
  /// frame; stops while no character is loaded; tracks the carets, advances the player,
  /// composes the frame, sets `done` to false and presents. An exception ends the tick where
  /// it is raised and propagates. A call made while a tick runs (from a handler dispatched by
  /// the wait) returns at once.
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
  LoopSwitches loops() const;

  Viewer& viewer_;
  const Controls& controls_;
  ViewControl& view_;
  FrameLoopHooks hooks_;
  std::optional<std::string> startupPath_;
  uint32_t lastFrameMs_ = 0;  ///< 32-bit wrapping clock
  bool inTick_ = false;
  Playback playback_;
  /// The start times of the last frames presented while playing, oldest overwritten.
  std::array<uint32_t, 9> presentedMs_{};
  std::size_t presentedCount_ = 0;
};

}  // namespace patapata
