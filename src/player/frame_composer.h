#pragma once

#include <cstdint>

namespace patapata {

struct Character;
struct Player;
class Surface;

/// Builds the frame `player` is at on `back` out of the character's sheet, with up to three
/// blits and nothing allocated, on black wherever cel 1 does not cover the view: cel 1 opaque
/// at (0, 0), the pattern cel keyed at (0, 0), and, when the state's layer is on, the layer cel
/// keyed at the destination cel's position, clipped to the view by the destination cel's box.
/// A copy whose cel number is -1 at this frame is left out; a refused copy is left out too.
/// Without a sheet the frame is black.
void composeFrame(const Character& character, const Player& player, Surface& back);
/// The same for `frame` of `state`, wherever a player is.
void composeFrame(const Character& character, int32_t state, int32_t frame, Surface& back);

}  // namespace patapata
