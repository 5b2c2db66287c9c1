#include "character/viewer_state.h"
#include "player/frame_composer.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace patapata {
namespace {

// One whole frame as the tick builds it: the clear, then background, pattern and a layer
// clipped at the left edge, all full-size cels of the 121 × 271 view.
void BM_ComposedFrame(benchmark::State& run, PixelFormat format) {
  auto service = std::make_shared<platform::SurfaceService>(format);
  TDirectDraw dd(service);
  TDirectDrawSurface back(&dd);
  back.Resize(kViewWidth, kViewHeight);
  auto state = std::make_unique<ViewerState>();
  ViewerState& v = *state;
  v.CGSurface = std::make_unique<TDirectDrawSurface>(&dd);
  v.CGSurface->Resize(400, 300);
  platform::LockDescription lock;
  if (!v.CGSurface->Lock(nullptr, lock)) {
    run.SkipWithError("cannot lock the sheet");
    return;
  }
  const int32_t bytes = format.bytesPerPixel();
  for (int32_t y = 0; y < 300; ++y) {
    for (int32_t x = 0; x < 400; ++x) {
      // A quarter of the pixels carry the key, as the transparent parts of a sprite do.
      const uint32_t raw = (x + y) % 4 == 0 ? 1u : static_cast<uint32_t>(x * 31 + y * 7 + 2);
      std::memcpy(lock.bits + y * lock.pitch + x * bytes, &raw, bytes);
    }
  }
  v.CGSurface->Unlock();
  v.CGSurface->SetSourceKey(1);
  v.CelRects[1] = {0, 0, kViewWidth, kViewHeight};
  v.CelRects[2] = {130, 0, 130 + kViewWidth, kViewHeight};
  v.CelX[3] = 260, v.CelY[3] = 0, v.CelW[3] = 64, v.CelH[3] = 64;
  v.CelX[4] = -10, v.CelY[4] = 100, v.CelW[4] = 64, v.CelH[4] = 64;
  v.AnimState = 6;
  v.AnimFrame = 1;
  v.PatternSeq[6][1] = 2;
  v.LayerSeq[6][1] = 3;
  v.LayerDestSeq[6][1] = 4;
  v.LayerOn[6] = 1;

  for (auto _ : run) {
    back.FillAll(0);
    composeFrame(v, back);
    benchmark::ClobberMemory();
  }
  run.SetItemsProcessed(run.iterations());
  run.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(run.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_ComposedFrame, xrgb8888, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_ComposedFrame, rgb565, PixelFormat::rgb565());

}  // namespace
}  // namespace patapata
