#pragma once

#include <cstdint>
#include <string>

namespace patapata {

struct ViewerState;
class Controls;

/// Pausing and stepping the player. It counts the advances made since the player was last put
/// somewhere by anything else (a state button, a load, the caret tracking): that place is the
/// origin a step back replays from, since the end rules are deterministic.
class Playback {
 public:
  bool isPaused() const { return paused_; }
  void setPaused(bool paused) { paused_ = paused; }

  /// One advance of the player, as a tick or a step forward makes it: through a one-shot's
  /// return like playing.
  void advance(ViewerState& viewer, const Controls& controls);

  /// One frame back: the position before the last advance, replayed from the origin. False,
  /// changing nothing, when the frame shown is the first since the origin.
  bool stepBack(ViewerState& viewer, const Controls& controls);

 private:
  struct Position {
    int32_t state = 0;
    int32_t frame = 0;
    int32_t returnState = 0;
    std::string returnCaption;
    std::string caption;
  };

  /// Takes the player's place as the new origin when something other than an advance moved it.
  void noticeMoves(const ViewerState& viewer);
  void rememberAfter(const ViewerState& viewer);

  bool paused_ = false;
  Position origin_;
  int64_t advances_ = 0;
  int32_t afterState_ = -1;
  int32_t afterFrame_ = -1;
  int32_t afterReturnState_ = -1;
};

}  // namespace patapata
