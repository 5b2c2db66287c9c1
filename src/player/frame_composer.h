#pragma once

#include "surfaces/geometry.h"

#include <cstdint>
#include <optional>

namespace patapata {

struct Character;
struct CelRect;
struct Player;
class Surface;

/// Where a layer cel goes in the view: the part of the sheet copied, and the view position of
/// its top-left corner.
struct LayerPlacement {
  Rect source;
  int32_t x = 0;
  int32_t y = 0;
};

/// The layer cel `layer` placed at the destination cel `dest`: a destination left of or above
/// the view cuts the layer's left or top, and the destination cel's box reaching past the
/// view's right or bottom edge cuts as much from the layer's right or bottom. Nothing when an
/// edge lies beyond 32 bits. The copy is refused when `source` is empty or leaves the sheet, or
/// the placed rectangle leaves the view: it is not clipped further.
std::optional<LayerPlacement> placeLayer(const CelRect& layer, const CelRect& dest);

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
