#include "player/frame_composer.h"
#include "player/viewer.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
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
  auto state = std::make_unique<Viewer>();
  Viewer& v = *state;
  auto pixels = service->createSurface(400, 300, platform::Memory::display);
  if (!pixels) {
    run.SkipWithError("cannot make the sheet");
    return;
  }
  for (int32_t y = 0; y < 300; ++y) {
    for (int32_t x = 0; x < 400; ++x) {
      // A quarter of the pixels carry the key, as the transparent parts of a sprite do.
      const uint32_t raw = (x + y) % 4 == 0 ? 1u : static_cast<uint32_t>(x * 31 + y * 7 + 2);
      pixels->setPixel(x, y, format.bytesPerPixel() == 2 ? raw & 0xFFFF : raw);
    }
  }
  v.character.sheet.picture = std::make_shared<const SheetPicture>(std::move(pixels), 1);
  v.character.cels[1] = {0, 0, kViewWidth, kViewHeight};
  v.character.cels[2] = {130, 0, kViewWidth, kViewHeight};
  v.character.cels[3] = {260, 0, 64, 64};
  v.character.cels[4] = {-10, 100, 64, 64};
  v.player.state = 6;
  v.player.frame = 1;
  v.character.pattern[6][1] = 2;
  v.character.layer[6][1] = 3;
  v.character.layerDest[6][1] = 4;
  v.character.layerOn[6] = true;

  for (auto _ : run) {
    composeFrame(v.character, v.player, back);
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
