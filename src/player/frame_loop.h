#pragma once

#include "character/character_reader.h"
#include "player/playback.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace patapata {

struct Character;
struct Player;
struct Viewer;
class Controls;
class Surface;
class ViewControl;

/// How fast the window plays against the character's interval, in quarters: at Half a frame
/// lasts twice the interval. The interval itself, the file and the exports stay as they are.
enum class PlaybackSpeed : int32_t { Quarter = 1, Half = 2, Normal = 4, Double = 8 };

/// Reads sheets for the display of `view`, while it has its surfaces; empty before.
SheetLoader sheetLoaderFor(const ViewControl& view);

/// What the tick needs from outside the core. Every member may be left empty for its
/// default.
struct FrameLoopHooks {
  /// The millisecond clock, 32-bit wrapping. Default: millisecondsNow.
  std::function<uint32_t()> clock;
  /// Asks for the next tick `ms` milliseconds from now, when the frame is due; a later call
  /// replaces an earlier one. Default: sleeps that long, so that the caller's next tick comes
  /// at the deadline.
  std::function<void(uint32_t ms)> wakeAfter;
  /// The poll of the watched files, given the clock reading of the tick. Default: nothing.
  std::function<void(uint32_t nowMs)> pollFiles;
  /// The caret tracking of the pattern edits. Default: nothing.
  std::function<void()> trackCarets;
  /// Opens the command-line file at the start-up load. Default: openCharacterFile with the
  /// view's sheet loader.
  std::function<void(const std::string&)> load;
  /// Draws the frame a player is at on the back surface. Default: composeFrame.
  std::function<void(const Character&, const Player&, Surface& back)> compose;
  /// After each frame a tick drew; `advanced` is false while paused. Default: nothing.
  std::function<void(bool advanced)> framePlayed;
};

/// The idle tick: the tick at or after the deadline of the frame interval draws one frame of the
/// viewer's player on the view's back surface; one before it asks to be woken at the deadline.
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
  /// polls the watched files; before the character's interval has passed since the last frame,
  /// asks to be woken when it has and returns; then stops while no character is loaded, or
  /// tracks the carets, advances the player, composes the frame, sets `done` to false and
  /// presents. The interval is read at every tick, so a change counts at once. An exception
  /// ends the tick where it is raised and propagates.
  void tick(bool& done);

  /// While paused, ticks go on (the watched files are polled, the carets tracked) and draw the
  /// frame the player is at, without advancing it; a player put on a state's frame 0 goes on
  /// to its first frame.
  bool isPaused() const { return playback_.isPaused(); }
  void setPaused(bool paused);
  /// One frame forward or back, pausing first; the frame is drawn at once.
  void stepForward();
  void stepBack();
  /// Pauses on `frame` of the state playing, as a step does, and draws it at once.
  void showFrame(int32_t frame);
  /// Composes the frame the player is at and presents it, when the view can draw.
  void redraw();

  PlaybackSpeed speed() const { return speed_; }
  void setSpeed(PlaybackSpeed speed) { speed_ = speed; }
  /// The milliseconds between frames at the playback speed: the character's interval × 4 /
  /// the speed's quarters.
  int64_t effectiveIntervalMs() const;

  /// The mean interval between the last frames drawn while playing, in milliseconds; none
  /// until a few frames were drawn since the last pause.
  std::optional<double> meanFrameIntervalMs() const;

 private:
  /// True when the frame is due; otherwise asks to be woken when it is.
  bool frameDue();
  void notePresented();
  LoopSwitches loops() const;

  Viewer& viewer_;
  const Controls& controls_;
  ViewControl& view_;
  FrameLoopHooks hooks_;
  std::optional<std::string> startupPath_;
  uint32_t lastFrameMs_ = 0;  ///< 32-bit wrapping clock
  Playback playback_;
  PlaybackSpeed speed_ = PlaybackSpeed::Normal;
  /// The start times of the last frames presented while playing, oldest overwritten.
  std::array<uint32_t, 9> presentedMs_{};
  std::size_t presentedCount_ = 0;
};

}  // namespace patapata
