#pragma once

#include "common/controls.h"

#include <array>
#include <cstdint>
#include <optional>

namespace patapata {

struct ViewerState;

/// How a state ends its sequence.
enum class StateKind {
  Base,          ///< loops for ever
  OneShot,       ///< returns to returnState unless CheckBox2 is checked
  PatternCheck,  ///< returns to returnState unless CheckBox1 is checked
};

/// One row of the state table: the button that selects a state and the caption Label2
/// shows for it (the button's caption and the label's caption differ in places).
struct StateEntry {
  int32_t state;
  ControlId button;
  const char* caption;  ///< UTF-8, as Label2 shows it
  StateKind kind;
};

/// Every state a button selects. Rows 0, 9, 13, 14 and 17..29 have no entry: no button plays
/// them, they loop, and selecting them never happens.
inline constexpr std::array<StateEntry, 14> kStateTable{{
    {1, ControlId::stateButton1, "通常１", StateKind::Base},
    {2, ControlId::stateButton2, "通常2", StateKind::Base},
    {3, ControlId::stateButton3, "おじゃま", StateKind::Base},
    {5, ControlId::stateButton5, "立ち", StateKind::Base},
    {15, ControlId::stateButton15, "勝ち", StateKind::Base},
    {16, ControlId::stateButton16, "負け", StateKind::Base},
    {6, ControlId::stateButton6, "喜び１", StateKind::OneShot},
    {7, ControlId::stateButton7, "喜び２", StateKind::OneShot},
    {8, ControlId::stateButton8, "喜び３", StateKind::OneShot},
    {10, ControlId::stateButton10, "ダメージ１", StateKind::OneShot},
    {11, ControlId::stateButton11, "ダメージ２", StateKind::OneShot},
    {12, ControlId::stateButton12, "ダメージ３", StateKind::OneShot},
    {4, ControlId::stateButton4, "ミス", StateKind::OneShot},
    {30, ControlId::patternCheckButton, "ﾁｪｯｸﾊﾟﾀｰﾝ", StateKind::PatternCheck},
}};

/// The table row of a state, or null for a state no button selects.
const StateEntry* stateEntry(int32_t state);

/// The button that selects `state` (buttonck for the pattern-check state), or none.
std::optional<ControlId> buttonSelectingState(int32_t state);

/// Runs the click handler of one of the thirteen state buttons. Returns false, doing
/// nothing, for any other control (buttonck's handler belongs to the pattern check tool).
bool clickStateButton(ControlId button, ViewerState& viewer, Controls& controls);

// Base states: frame := 0, state := the state, Label2 := its caption.
void Button1Click(ViewerState& viewer, Controls& controls);   ///< state 1
void Button2Click(ViewerState& viewer, Controls& controls);   ///< state 2
void Button14Click(ViewerState& viewer, Controls& controls);  ///< state 3
void Button5Click(ViewerState& viewer, Controls& controls);   ///< state 5
void Button3Click(ViewerState& viewer, Controls& controls);   ///< state 15
void Button4Click(ViewerState& viewer, Controls& controls);   ///< state 16

// One-shot states: first remember the playing base state and Label2's caption as the
// return target (only from 1, 2, 3, 5, 15, 16), then select as above.
void Button6Click(ViewerState& viewer, Controls& controls);   ///< state 6
void Button7Click(ViewerState& viewer, Controls& controls);   ///< state 7
void Button8Click(ViewerState& viewer, Controls& controls);   ///< state 8
void Button9Click(ViewerState& viewer, Controls& controls);   ///< state 10
void Button10Click(ViewerState& viewer, Controls& controls);  ///< state 11
void Button11Click(ViewerState& viewer, Controls& controls);  ///< state 12
void Button12Click(ViewerState& viewer, Controls& controls);  ///< state 4

/// The last step of startPatternCheck: remembers the return target from 1, 2, 5, 15 or 16 (not
/// from 3), then selects the pattern-check state with the caption "ﾁｪｯｸﾊﾟﾀｰﾝ".
void selectCheckState(ViewerState& viewer, Controls& controls);

/// The per-tick step: frame + 1, then the end-of-sequence rule. A sequence ends where
/// both pattern and layer hold -1, or at index 256. At the end a one-shot (or the
/// pattern check) returns to returnState with returnCaption on Label2 unless its loop box
/// is checked at that moment; every state then restarts at frame 1.
void advanceAndEnd(ViewerState& viewer, Controls& controls);

/// The number of frames `state` shows before its sequence first ends, counted from frame 1
/// (at least 1, at most 255).
int32_t sequenceLength(const ViewerState& viewer, int32_t state);

}  // namespace patapata
