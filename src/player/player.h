#pragma once

#include "character/state_table.h"

#include <cstdint>
#include <string>

namespace patapata {

/// Where a player of a character is: the state and frame it shows, the state caption shown
/// while it plays, and the base state a one-shot returns to. Several players may play one
/// character.
struct Player {
  int32_t state = 0;
  int32_t frame = 0;
  std::string caption = kNoStateCaption;  ///< UTF-8
  int32_t returnState = 0;
  std::string returnCaption;  ///< UTF-8

  friend bool operator==(const Player&, const Player&) = default;
};

/// Whether the loop switches keep a one-shot, or the pattern check, repeating at its end.
struct LoopSwitches {
  bool patternCheck = false;
  bool oneShot = false;
};

}  // namespace patapata
