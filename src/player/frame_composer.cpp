#include "player/frame_composer.h"

#include "character/character.h"
#include "common/int_conversion.h"
#include "player/player.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/surface.h"

#include <cstdint>

namespace patapata {
namespace {

constexpr CopyMode kOpaque = CopyMode::opaque;
constexpr CopyMode kKeyed = CopyMode::keyed;

void drawLayer(const CelRect& layer, const CelRect& dest, Surface& back,
               const SheetPicture& sheet) {
  int64_t sx = layer.x;
  int64_t sy = layer.y;
  int64_t sw = layer.width;
  int64_t sh = layer.height;
  int64_t dx = dest.x;
  int64_t dy = dest.y;
  int64_t dw = dest.width;
  int64_t dh = dest.height;
  if (dest.x < 0) {
    sx -= dest.x;
    sw += dest.x;
    dw += dest.x;
    dx = 0;
  }
  if (dest.y < 0) {
    sy -= dest.y;
    sh += dest.y;
    dh += dest.y;
    dy = 0;
  }
  // The overhang is measured with the destination cel's box but cut from the source.
  if (dx + dw > kViewWidth) sw -= dx + dw - kViewWidth;
  if (dy + dh > kViewHeight) sh -= dy + dh - kViewHeight;
  const int64_t right = sx + sw;
  const int64_t bottom = sy + sh;
  // Cel coordinates come from a file as any 32-bit value, so the clipping is done in 64 bits
  // where nothing overflows; a rectangle that then does not fit 32 bits lies outside every
  // surface and is not copied.
  if (!fitsInt32(sx) || !fitsInt32(sy) || !fitsInt32(right) || !fitsInt32(bottom)) return;
  const Rect source{static_cast<int32_t>(sx), static_cast<int32_t>(sy), static_cast<int32_t>(right),
                    static_cast<int32_t>(bottom)};
  back.blit(static_cast<int32_t>(dx), static_cast<int32_t>(dy), source, kKeyed, sheet);
}

// Background and pattern; true when the background was drawn. A copy is drawn whole or not
// at all.
bool drawBase(const Character& character, int32_t state, int32_t frame, Surface& back,
              const SheetPicture& sheet) {
  const std::optional<Rect> background = character.cels[1].rect();
  // A row or index outside the tables has no entries: the background alone is shown.
  const int32_t pattern = character.entry(Sequence::Pattern, state, frame);
  if (!isCel(pattern)) return background && back.blit(0, 0, *background, kOpaque, sheet);
  const std::optional<Rect> over = character.cels[pattern].rect();
  if (!background) {
    if (over) back.blit(0, 0, *over, kKeyed, sheet);
    return false;
  }
  if (!over) return back.blit(0, 0, *background, kOpaque, sheet);
  // Background and pattern in one pass over the back surface where they are the same size.
  return back.blitKeyedOver(0, 0, *background, *over, sheet);
}

}  // namespace

void composeFrame(const Character& character, const Player& player, Surface& back) {
  composeFrame(character, player.state, player.frame, back);
}

void composeFrame(const Character& character, int32_t state, int32_t frame, Surface& back) {
  const SheetPicture* sheet = character.sheet.picture.get();
  // A background of the view's size hides the clear wherever it is drawn, so the clear is left
  // out then and the back surface is written once, not twice.
  const CelRect& background = character.cels[1];
  const bool mayCover =
      sheet != nullptr && background.width == back.width() && background.height == back.height();
  if (!mayCover) back.fill(0);
  if (sheet == nullptr) return;
  if (!drawBase(character, state, frame, back, *sheet) && mayCover) {
    // Not drawn after all (refused, or its pattern was): the frame as it is on a cleared
    // surface.
    back.fill(0);
    drawBase(character, state, frame, back, *sheet);
  }

  if (!character.isLayerOn(state)) return;
  const int32_t layer = character.entry(Sequence::Layer, state, frame);
  const int32_t dest = character.entry(Sequence::Destination, state, frame);
  if (isCel(layer) && isCel(dest))
    drawLayer(character.cels[layer], character.cels[dest], back, *sheet);
}

}  // namespace patapata
