#pragma once

#include "player/frame_recipe.h"

#include <cstdint>
#include <vector>

namespace patapata {

struct Character;

/// One picture of the frame strip: the frame of the sequence it shows, 0 for the still the
/// caret tracking shows, and the pattern cel of that frame (kEmptyCel for none).
struct StripFrame {
  int32_t frame = 0;
  int32_t patternCel = kEmptyCel;
  FrameRecipe recipe;

  friend bool operator==(const StripFrame&, const StripFrame&) = default;
};

/// The frames the strip shows for `state`, in order, into `out` (its storage reused, so that
/// nothing is allocated once it has held a full sequence): frames 1 to the end of one pass.
/// The pattern-check row as the caret tracking leaves it, every slot of its pattern alike, is
/// one still.
void stripFrames(const Character& character, int32_t state, std::vector<StripFrame>& out);

/// The picture of `frames` that shows the player's `frame`; -1 when none does.
int32_t stripIndexOf(const std::vector<StripFrame>& frames, int32_t frame);

}  // namespace patapata
