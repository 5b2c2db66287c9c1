#pragma once

#include "player/player.h"

#include <cstdint>

namespace patapata {

struct Character;

/// Pausing and stepping a player. It counts the advances made since the player was last put
/// somewhere by anything else (a state button, a load, the caret tracking): that place is the
/// origin a step back replays from, since the end rules are deterministic.
class Playback {
 public:
  bool isPaused() const { return paused_; }
  void setPaused(bool paused) { paused_ = paused; }

  /// One advance of the player, as a tick or a step forward makes it: through a one-shot's
  /// return like playing.
  void advance(Player& player, const Character& character, LoopSwitches loops);

  /// One frame back: the position before the last advance, replayed from the origin. False,
  /// changing nothing, when the frame shown is the first since the origin.
  bool stepBack(Player& player, const Character& character, LoopSwitches loops);

 private:
  /// Takes the player's place as the new origin when something other than an advance moved it.
  void noticeMoves(const Player& player);
  void rememberAfter(const Player& player);

  bool paused_ = false;
  Player origin_;
  int64_t advances_ = 0;
  /// Where the last advance left the player.
  int32_t afterState_ = -1;
  int32_t afterFrame_ = -1;
  int32_t afterReturnState_ = -1;
};

}  // namespace patapata
