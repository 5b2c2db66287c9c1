#include "character/viewer_state.h"
#include "player/frame_composer.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace patapata {
namespace {

// One whole frame as the tick builds it: background, pattern and a layer clipped at the left
// edge, all full-size cels of the 121 × 271 view (the background covers the view, so there is
// no clear).
void BM_ComposedFrame(benchmark::State& run, PixelFormat format) {
  auto service = std::make_shared<platform::SurfaceService>(format);
  DrawContext dd(service);
  Surface back(&dd);
  back.resize(kViewWidth, kViewHeight);
  auto state = std::make_unique<ViewerState>();
  ViewerState& v = *state;
  v.sheet = std::make_unique<Surface>(&dd);
  v.sheet->resize(400, 300);
  LockDescription lock;
  if (!v.sheet->lock(nullptr, lock)) {
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
  v.sheet->unlock();
  v.sheet->setSourceKey(1);
  v.celRects[1] = {0, 0, kViewWidth, kViewHeight};
  v.celRects[2] = {130, 0, 130 + kViewWidth, kViewHeight};
  v.celX[3] = 260, v.celY[3] = 0, v.celW[3] = 64, v.celH[3] = 64;
  v.celX[4] = -10, v.celY[4] = 100, v.celW[4] = 64, v.celH[4] = 64;
  v.state = 6;
  v.frame = 1;
  v.pattern[6][1] = 2;
  v.layer[6][1] = 3;
  v.layerDest[6][1] = 4;
  v.layerOn[6] = 1;

  for (auto _ : run) {
    composeFrame(v, back);
    benchmark::ClobberMemory();
  }
  run.SetItemsProcessed(run.iterations());
  run.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(run.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_ComposedFrame, xrgb8888, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_ComposedFrame, rgb565, PixelFormat::rgb565());

// The limit for the frame above: one memcpy per drawing operation, of the rows it covers at
// the same addresses (the clear copies from a block of zeros of the back surface's size).
// Ours over this is the "x limit" of docs/performance.md.
void BM_ComposedFrameLimit(benchmark::State& run, PixelFormat format) {
  auto service = std::make_shared<platform::SurfaceService>(format);
  DrawContext dd(service);
  Surface back(&dd);
  back.resize(kViewWidth, kViewHeight);
  Surface sheet(&dd);
  sheet.resize(400, 300);
  LockDescription to;
  LockDescription from;
  if (!back.lock(nullptr, to) || !sheet.lock(nullptr, from)) {
    run.SkipWithError("cannot lock");
    return;
  }
  const int32_t bytes = format.bytesPerPixel();
  const std::vector<uint8_t> zeros(static_cast<std::size_t>(to.pitch) * kViewHeight);
  const auto copyRows = [&](int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    for (int32_t r = 0; r < h; ++r) {
      std::memcpy(to.bits + (dy + r) * to.pitch + dx * bytes,
                  from.bits + (sy + r) * from.pitch + sx * bytes,
                  static_cast<std::size_t>(w) * bytes);
    }
  };
  for (auto _ : run) {
    std::memcpy(to.bits, zeros.data(), zeros.size());
    copyRows(0, 0, 0, 0, kViewWidth, kViewHeight);    // background
    copyRows(0, 0, 130, 0, kViewWidth, kViewHeight);  // pattern
    copyRows(0, 100, 270, 0, 54, 64);                 // layer, clipped at the left
    benchmark::ClobberMemory();
  }
  back.unlock();
  sheet.unlock();
  run.SetItemsProcessed(run.iterations());
}

BENCHMARK_CAPTURE(BM_ComposedFrameLimit, xrgb8888, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_ComposedFrameLimit, rgb565, PixelFormat::rgb565());

}  // namespace
}  // namespace patapata
