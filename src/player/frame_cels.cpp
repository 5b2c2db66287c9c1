#include "player/frame_cels.h"

#include "player/frame_composer.h"
#include "player/player.h"
#include "surfaces/sheet_picture.h"

namespace patapata {

namespace {

// The layer is drawn only when its copy fits the sheet and the view: the copies are refused,
// not clipped, beyond what placeLayer cuts.
bool isDrawn(const LayerPlacement& placed, const SheetPicture* sheet) {
  const Rect& s = placed.source;
  if (sheet == nullptr || s.isEmpty() || s.left < 0 || s.top < 0 || s.right > sheet->width() ||
      s.bottom > sheet->height()) {
    return false;
  }
  return placed.x + s.width() <= kViewWidth && placed.y + s.height() <= kViewHeight;
}

}  // namespace

FrameCels frameCelsOf(const Character& character, const Player& player) {
  FrameCels cels;
  cels.pattern = character.entry(Sequence::Pattern, player.state, player.frame);
  if (!character.isLayerOn(player.state)) return cels;
  cels.layer = character.entry(Sequence::Layer, player.state, player.frame);
  cels.destination = character.entry(Sequence::Destination, player.state, player.frame);
  if (!isCel(cels.layer) || !isCel(cels.destination)) return cels;
  const std::optional<LayerPlacement> placed =
      placeLayer(character.cels[cels.layer], character.cels[cels.destination]);
  if (!placed || !isDrawn(*placed, character.sheet.picture.get())) return cels;
  const CelRect& origin = character.cel(isCel(cels.pattern) ? cels.pattern : 1);
  // The view's origin lies at the origin cel's corner; both are 32-bit, the sum fits in 64.
  const int64_t left = int64_t{origin.x} + placed->x;
  const int64_t top = int64_t{origin.y} + placed->y;
  const int64_t right = left + placed->source.width();
  const int64_t bottom = top + placed->source.height();
  if (right > INT32_MAX || bottom > INT32_MAX) return cels;
  cels.landing = Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  return cels;
}

}  // namespace patapata
