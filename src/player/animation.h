#pragma once

#include "player/player.h"

#include <cstdint>

namespace patapata {

struct Character;
class Controls;

/// The loop switches as the controls have them now.
LoopSwitches loopSwitchesOf(const Controls& controls);

/// A state button: plays `state` from its first frame under its caption. A one-shot state
/// first remembers the playing base state and its caption as the return target; the pattern
/// check does the same, except from state 3. A state no button selects changes nothing.
void selectState(Player& player, int32_t state);

/// Remembers the playing state and its caption as the return target when it is a base state
/// the pattern check returns to; the check button and the caret tracking both enter the check
/// state this way.
void rememberReturnForCheck(Player& player);

/// The per-tick step: the frame index goes up by one, then the end-of-sequence rule. A
/// sequence ends where both the pattern and the layer row hold -1, or at index 256. At the
/// end a one-shot (or the pattern check) returns to the remembered state and caption unless
/// its loop switch is on at that moment; every state then restarts at frame 1.
void advanceAndEnd(Player& player, const Character& character, LoopSwitches loops);

/// A load puts the player on state 1 with the caption of no state; it keeps the frame and the
/// return target.
void resetForLoad(Player& player);

}  // namespace patapata
