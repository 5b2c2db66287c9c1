#pragma once

#include <cstdint>
#include <string_view>

namespace patapata {

struct ViewerState;
class Controls;

/// The most entries a typed sequence fills: slots 1..255 of row 30. Entries after the
/// 255th are neither converted nor stored.
inline constexpr int32_t kMaxCheckEntries = 255;

/// The number of whole two-character entries of a sequence text (a last odd byte is none).
int32_t entryCount(std::string_view sequenceText);

/// The pattern check button: refills row 30 from the pattern, layer and destination edits, each
/// entry trimmed and read as hexadecimal, then plays the check state. A bad entry throws
/// ConversionError at that entry; what was stored before it stays and the player's state is left as
/// it was.
void startPatternCheck(ViewerState& viewer, Controls& controls);

/// Caret tracking of the three pattern edits, once per tick while a character is loaded:
/// an edit whose caret moved shows the entry under it (from all three edits) as a still
/// picture in the check state, and its counter shows "index/count". A bad entry throws
/// ConversionError; the moved caret is remembered all the same, so it does not throw again.
void trackCarets(ViewerState& viewer, Controls& controls);

/// The clipboard button: selects the pattern edit's whole text and copies it.
void copyPatternToClipboard(Controls& controls);

}  // namespace patapata
