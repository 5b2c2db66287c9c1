#include "player/playback.h"

#include "player/animation.h"

namespace patapata {

void Playback::noticeMoves(const Player& player) {
  if (player.state == afterState_ && player.frame == afterFrame_ &&
      player.returnState == afterReturnState_) {
    return;
  }
  origin_ = player;
  advances_ = 0;
}

void Playback::rememberAfter(const Player& player) {
  afterState_ = player.state;
  afterFrame_ = player.frame;
  afterReturnState_ = player.returnState;
}

void Playback::advance(Player& player, const Character& character, LoopSwitches loops) {
  noticeMoves(player);
  advanceAndEnd(player, character, loops);
  ++advances_;
  rememberAfter(player);
}

bool Playback::stepBack(Player& player, const Character& character, LoopSwitches loops) {
  noticeMoves(player);
  // The origin itself (frame 0 after a button) was never shown.
  if (advances_ < 2) return false;
  player = origin_;
  const int64_t replay = advances_ - 1;
  for (int64_t i = 0; i < replay; ++i) advanceAndEnd(player, character, loops);
  advances_ = replay;
  rememberAfter(player);
  return true;
}

}  // namespace patapata
