#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace patapata {

struct Character;
struct Player;
class Controls;

/// The most entries a typed sequence fills: slots 1..255 of row 30. Entries after the
/// 255th are neither converted nor stored.
inline constexpr int32_t kMaxCheckEntries = 255;

/// The number of whole two-character entries of a sequence text (a last odd byte is none).
int32_t entryCount(std::string_view sequenceText);

/// What the pattern check tool remembers of its three edits (pattern, layer, destination):
/// the caret positions last seen, in bytes, and the counters shown beside the edits.
struct PatternCheckCarets {
  std::array<int32_t, 3> positions{};
  std::array<std::string, 3> counters{"0/0", "0/0", "0/0"};
};

/// The pattern check button: refills slots 1..255 of row 30's pattern, layer and destination
/// from the three edits, each entry trimmed and read as hexadecimal, then plays the check
/// state. A bad entry throws Error at that entry; what was stored before it stays and the
/// player is left as it was.
void startPatternCheck(Character& character, Player& player, const Controls& controls);

/// Caret tracking of the three pattern edits, once per tick while a character is loaded:
/// an edit whose caret moved shows the entry under it (from all three edits) as a still
/// picture in the check state, and its counter shows "index/count". A bad entry throws
/// Error; the moved caret is remembered all the same, so it does not throw again.
void trackCarets(PatternCheckCarets& carets, Character& character, Player& player,
                 const Controls& controls);

/// Shows, as caret tracking does, the entries that start at byte `pos` of the three edits
/// (an edit whose text ends before keeps its row) as a still picture in the check state.
void showEntryAt(int32_t pos, Character& character, Player& player, const Controls& controls);

/// The clipboard button: selects the pattern edit's whole text and copies it.
void copyPatternToClipboard(Controls& controls);

}  // namespace patapata
