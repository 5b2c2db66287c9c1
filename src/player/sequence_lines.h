#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace patapata {

class Controls;
struct Player;

/// The state the pattern check returns to when it is started where `player` is: the base
/// state playing, or the one it remembered.
int32_t checkReturnState(Player player);

/// The lines a character file needs for the sequences typed in the pattern edits, ready to
/// paste: "#PATERN nn <pattern>" and, when the layer or destination edit holds text,
/// "#LAYER nn <layer> <destination>", each ended by a line end; `state` (0..30) is written as
/// two decimal digits, as the file writes it.
std::string sequenceLines(int32_t state, std::string_view pattern, std::string_view layer,
                          std::string_view destination);

/// The lines of sequenceLines for what the three edits of `controls` hold.
std::string sequenceLines(int32_t state, const Controls& controls);

/// Repeats a layer or destination edit that holds a single entry as often as the pattern edit
/// has entries, as a file needs one for every frame; other texts stay as they are.
void repeatLayerForEveryFrame(Controls& controls);

}  // namespace patapata
