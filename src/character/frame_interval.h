#pragma once

#include <string_view>

namespace patapata {

struct Character;

/// Change handler of the frame-interval edit: a text that converts (leniently, default 0) to a
/// value above 0 becomes the character's interval; anything else changes nothing.
void applyIntervalText(Character& character, std::string_view text);

}  // namespace patapata
