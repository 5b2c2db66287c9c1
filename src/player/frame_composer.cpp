#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "surfaces/direct_draw_surface.h"

namespace patapata {
namespace {

constexpr uint32_t kOpaque = 0;
constexpr uint32_t kKeyed = 1;

// Cel numbers come from a file as any 32-bit value, so the clipping sums may overflow; they
// wrap as 32-bit integers do in the drawing layer's arithmetic, and BltFast then refuses a
// rectangle that does not fit.
int32_t add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

bool isCel(int32_t cel) {
  return cel >= 0 && cel < kCelCount;
}

void drawLayer(const ViewerState& v, int32_t layer, int32_t dest, TDirectDrawSurface& back,
               const TDirectDrawSurface& sheet) {
  int32_t sx = v.CelX[layer];
  int32_t sy = v.CelY[layer];
  int32_t sw = v.CelW[layer];
  int32_t sh = v.CelH[layer];
  int32_t dx = v.CelX[dest];
  int32_t dy = v.CelY[dest];
  int32_t dw = v.CelW[dest];
  int32_t dh = v.CelH[dest];
  if (v.CelX[dest] < 0) {
    sx = sub(sx, v.CelX[dest]);
    sw = add(sw, v.CelX[dest]);
    dw = add(dw, v.CelX[dest]);
    dx = 0;
  }
  if (v.CelY[dest] < 0) {
    sy = sub(sy, v.CelY[dest]);
    sh = add(sh, v.CelY[dest]);
    dh = add(dh, v.CelY[dest]);
    dy = 0;
  }
  // The overhang is measured with the destination cel's box but cut from the source.
  if (add(dx, dw) > kViewWidth) sw = sub(sw, sub(add(dx, dw), kViewWidth));
  if (add(dy, dh) > kViewHeight) sh = sub(sh, sub(add(dy, dh), kViewHeight));
  const TRect source{sx, sy, add(sx, sw), add(sy, sh)};
  back.BltFast(dx, dy, source, kKeyed, sheet);
}

}  // namespace

void composeFrame(const ViewerState& state, TDirectDrawSurface& back) {
  const TDirectDrawSurface* sheet = state.CGSurface.get();
  if (sheet == nullptr) return;
  const int32_t s = state.AnimState;
  const int32_t f = state.AnimFrame;
  back.BltFast(0, 0, state.CelRects[1], kOpaque, *sheet);
  // A row or index outside the tables has no entries: the background alone is shown.
  if (s < 0 || s >= kStateCount || f < 0 || f >= kFrameSlots) return;

  const int32_t pattern = state.PatternSeq[s][f];
  if (isCel(pattern)) back.BltFast(0, 0, state.CelRects[pattern], kKeyed, *sheet);

  if (state.LayerOn[s] != 1) return;
  const int32_t layer = state.LayerSeq[s][f];
  const int32_t dest = state.LayerDestSeq[s][f];
  if (isCel(layer) && isCel(dest)) drawLayer(state, layer, dest, back, *sheet);
}

}  // namespace patapata
