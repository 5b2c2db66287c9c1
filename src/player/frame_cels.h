#pragma once

#include "character/character.h"
#include "surfaces/geometry.h"

#include <cstdint>
#include <optional>

namespace patapata {

struct Player;

/// The cels that make up the frame a player is at, as the sheet view marks them.
struct FrameCels {
  int32_t pattern = kEmptyCel;      ///< the pattern cel of the frame
  int32_t layer = kEmptyCel;        ///< the layer cel, while the state's layer is on
  int32_t destination = kEmptyCel;  ///< the layer's destination cel
  /// Where the layer cel lands, in sheet pixels: its place in the view laid over the cel drawn
  /// at the view's origin (the pattern cel, or cel 1 when the frame has none), of the size of
  /// the part copied. Nothing when the layer cel is not drawn at this frame.
  std::optional<Rect> landing;

  friend bool operator==(const FrameCels&, const FrameCels&) = default;
};

/// The cels of the frame `player` is at, found as composeFrame draws it. Allocates nothing, so
/// that following every frame costs nothing but the look-up.
FrameCels frameCelsOf(const Character& character, const Player& player);

}  // namespace patapata
