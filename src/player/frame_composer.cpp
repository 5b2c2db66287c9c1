#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "surfaces/direct_draw_surface.h"

#include <cstdint>

namespace patapata {
namespace {

constexpr uint32_t kOpaque = 0;
constexpr uint32_t kKeyed = 1;

// Cel coordinates come from a file as any 32-bit value, so the clipping is done in 64 bits
// where nothing overflows; a rectangle that then does not fit 32 bits lies outside every
// surface and is not copied.
bool fits(int64_t value) {
  return value >= INT32_MIN && value <= INT32_MAX;
}

bool isCel(int32_t cel) {
  return cel >= 0 && cel < kCelCount;
}

void drawLayer(const ViewerState& v, int32_t layer, int32_t dest, TDirectDrawSurface& back,
               const TDirectDrawSurface& sheet) {
  int64_t sx = v.CelX[layer];
  int64_t sy = v.CelY[layer];
  int64_t sw = v.CelW[layer];
  int64_t sh = v.CelH[layer];
  int64_t dx = v.CelX[dest];
  int64_t dy = v.CelY[dest];
  int64_t dw = v.CelW[dest];
  int64_t dh = v.CelH[dest];
  if (v.CelX[dest] < 0) {
    sx -= v.CelX[dest];
    sw += v.CelX[dest];
    dw += v.CelX[dest];
    dx = 0;
  }
  if (v.CelY[dest] < 0) {
    sy -= v.CelY[dest];
    sh += v.CelY[dest];
    dh += v.CelY[dest];
    dy = 0;
  }
  // The overhang is measured with the destination cel's box but cut from the source.
  if (dx + dw > kViewWidth) sw -= dx + dw - kViewWidth;
  if (dy + dh > kViewHeight) sh -= dy + dh - kViewHeight;
  const int64_t right = sx + sw;
  const int64_t bottom = sy + sh;
  if (!fits(sx) || !fits(sy) || !fits(right) || !fits(bottom)) return;
  const TRect source{static_cast<int32_t>(sx), static_cast<int32_t>(sy),
                     static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  back.BltFast(static_cast<int32_t>(dx), static_cast<int32_t>(dy), source, kKeyed, sheet);
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
