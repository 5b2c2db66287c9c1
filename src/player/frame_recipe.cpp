#include "player/frame_recipe.h"

namespace patapata {

FrameRecipe recipeOf(const Character& character, int32_t state, int32_t frame) {
  FrameRecipe recipe;
  recipe.sheet = character.sheet.picture;
  recipe.background = character.cels[1];
  const int32_t pattern = character.entry(Sequence::Pattern, state, frame);
  if (isCel(pattern)) {
    recipe.hasPattern = true;
    recipe.pattern = character.cels[pattern];
  }
  const int32_t layer = character.entry(Sequence::Layer, state, frame);
  const int32_t dest = character.entry(Sequence::Destination, state, frame);
  if (character.isLayerOn(state) && isCel(layer) && isCel(dest)) {
    recipe.hasLayer = true;
    recipe.layer = character.cels[layer];
    recipe.destination = character.cels[dest];
  }
  return recipe;
}

}  // namespace patapata
