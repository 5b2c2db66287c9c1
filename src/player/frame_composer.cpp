#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "surfaces/surface.h"

#include <cstdint>

namespace patapata {
namespace {

constexpr CopyMode kOpaque = CopyMode::opaque;
constexpr CopyMode kKeyed = CopyMode::keyed;

// Cel coordinates come from a file as any 32-bit value, so the clipping is done in 64 bits
// where nothing overflows; a rectangle that then does not fit 32 bits lies outside every
// surface and is not copied.
bool fits(int64_t value) {
  return value >= INT32_MIN && value <= INT32_MAX;
}

bool isCel(int32_t cel) {
  return cel >= 0 && cel < kCelCount;
}

void drawLayer(const ViewerState& v, int32_t layer, int32_t dest, Surface& back,
               const Surface& sheet) {
  int64_t sx = v.celX[layer];
  int64_t sy = v.celY[layer];
  int64_t sw = v.celW[layer];
  int64_t sh = v.celH[layer];
  int64_t dx = v.celX[dest];
  int64_t dy = v.celY[dest];
  int64_t dw = v.celW[dest];
  int64_t dh = v.celH[dest];
  if (v.celX[dest] < 0) {
    sx -= v.celX[dest];
    sw += v.celX[dest];
    dw += v.celX[dest];
    dx = 0;
  }
  if (v.celY[dest] < 0) {
    sy -= v.celY[dest];
    sh += v.celY[dest];
    dh += v.celY[dest];
    dy = 0;
  }
  // The overhang is measured with the destination cel's box but cut from the source.
  if (dx + dw > kViewWidth) sw -= dx + dw - kViewWidth;
  if (dy + dh > kViewHeight) sh -= dy + dh - kViewHeight;
  const int64_t right = sx + sw;
  const int64_t bottom = sy + sh;
  if (!fits(sx) || !fits(sy) || !fits(right) || !fits(bottom)) return;
  const Rect source{static_cast<int32_t>(sx), static_cast<int32_t>(sy), static_cast<int32_t>(right),
                    static_cast<int32_t>(bottom)};
  back.blit(static_cast<int32_t>(dx), static_cast<int32_t>(dy), source, kKeyed, sheet);
}

// Background and pattern; true when the background was drawn. A copy is drawn whole or not
// at all.
bool drawBase(const ViewerState& viewer, Surface& back, const Surface& sheet) {
  const int32_t s = viewer.state;
  const int32_t f = viewer.frame;
  // A row or index outside the tables has no entries: the background alone is shown.
  const int32_t pattern =
      s >= 0 && s < kStateCount && f >= 0 && f < kFrameSlots ? viewer.pattern[s][f] : kEmptyCel;
  if (!isCel(pattern)) return back.blit(0, 0, viewer.celRects[1], kOpaque, sheet);
  // Background and pattern in one pass over the back surface where they are the same size.
  return back.blitKeyedOver(0, 0, viewer.celRects[1], viewer.celRects[pattern], sheet);
}

}  // namespace

void composeFrame(const ViewerState& viewer, Surface& back) {
  const Surface* sheet = viewer.sheet.get();
  // A background of the view's size hides the clear wherever it is drawn, so the clear is left
  // out then and the back surface is written once, not twice.
  const Rect& background = viewer.celRects[1];
  const bool mayCover = sheet != nullptr && background.width() == back.width() &&
                        background.height() == back.height();
  if (!mayCover) back.fill(0);
  if (sheet == nullptr) return;
  if (!drawBase(viewer, back, *sheet) && mayCover) {
    // Not drawn after all (refused, or its pattern was): the frame as it is on a cleared
    // surface.
    back.fill(0);
    drawBase(viewer, back, *sheet);
  }

  const int32_t s = viewer.state;
  const int32_t f = viewer.frame;
  if (s < 0 || s >= kStateCount || f < 0 || f >= kFrameSlots) return;
  if (viewer.layerOn[s] != 1) return;
  const int32_t layer = viewer.layer[s][f];
  const int32_t dest = viewer.layerDest[s][f];
  if (isCel(layer) && isCel(dest)) drawLayer(viewer, layer, dest, back, *sheet);
}

}  // namespace patapata
