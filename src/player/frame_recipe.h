#pragma once

#include "character/character.h"

#include <cstdint>
#include <memory>

namespace patapata {

class SheetPicture;

/// Everything composing one frame of a character reads: the sheet and the rectangles of the
/// cels drawn. Frames with equal recipes compose to the same pixels, so a view that keeps the
/// recipe of its picture knows without drawing whether a frame would change it. A recipe holds
/// its sheet, so no later picture can take the address it compares.
struct FrameRecipe {
  std::shared_ptr<const SheetPicture> sheet;
  CelRect background;
  bool hasPattern = false;
  CelRect pattern;
  bool hasLayer = false;  ///< the layer is on and both its cels are named
  CelRect layer;
  CelRect destination;

  friend bool operator==(const FrameRecipe&, const FrameRecipe&) = default;
};

/// The recipe of `frame` of `state`, as composeFrame reads it; nothing is allocated.
FrameRecipe recipeOf(const Character& character, int32_t state, int32_t frame);

}  // namespace patapata
