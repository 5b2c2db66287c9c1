#include "composed_frame.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace patapata {
namespace {

void BM_ComposedFrame(benchmark::State& run, PixelFormat format) {
  ComposedFrame frame(format);
  for (auto _ : run) {
    frame.compose();
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
