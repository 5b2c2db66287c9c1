#pragma once

#include <cstdint>

namespace patapata {

struct ViewerState;
class Controls;

/// A state button: plays `state` from its first frame under its caption. A one-shot state
/// first remembers the playing base state and its caption as the return target; the pattern
/// check does the same, except from state 3. A state no button selects changes nothing.
void selectState(ViewerState& viewer, int32_t state);

/// Remembers the playing state and its caption as the return target when it is a base state
/// the pattern check returns to; the check button and the caret tracking both enter the check
/// state this way.
void rememberReturnForCheck(ViewerState& viewer);

/// The per-tick step: the frame index goes up by one, then the end-of-sequence rule. A
/// sequence ends where both the pattern and the layer row hold -1, or at index 256. At the
/// end a one-shot (or the pattern check) returns to the remembered state and caption unless
/// its loop switch is on at that moment; every state then restarts at frame 1.
void advanceAndEnd(ViewerState& viewer, const Controls& controls);

/// The number of frames `state` shows before its sequence first ends, counted from frame 1
/// (at least 1, at most 255).
int32_t sequenceLength(const ViewerState& viewer, int32_t state);

}  // namespace patapata
