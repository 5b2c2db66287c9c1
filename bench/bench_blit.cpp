#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace patapata {
namespace {

constexpr int32_t kViewWidth = 121;
constexpr int32_t kViewHeight = 271;

// The per-frame copies of the viewer, at the display depths it offers (argument: bits per pixel).
PixelFormat formatFor(int64_t bits) {
  return bits == 16 ? PixelFormat::rgb565() : PixelFormat::xrgb8888();
}

// A 121 x 271 cel on a sheet with a keyed background and a figure in the middle, so that
// about half of the pixels are skipped.
void fillSheet(Surface& sheet, const PixelFormat& format) {
  const uint32_t key = format.fromRgb(0x00FF00FF);
  for (int32_t y = 0; y < sheet.height(); ++y) {
    for (int32_t x = 0; x < sheet.width(); ++x) {
      const int32_t dx = x - kViewWidth / 2;
      const int32_t dy = y - kViewHeight / 2;
      const bool figure = dx * dx * 4 + dy * dy < 120 * 120;
      sheet.platformSurface()->setPixel(x, y,
                                        figure ? format.fromRgb(uint32_t(x * 2 + y * 512)) : key);
    }
  }
  sheet.setSourceKey(sheet.pixelValue(sheet.width() - 1, sheet.height() - 1));
}

void BM_KeyedBltFastOfACel(benchmark::State& state) {
  const PixelFormat format = formatFor(state.range(0));
  DrawContext context(std::make_shared<platform::SurfaceService>(format));
  Surface back(&context);
  back.resize(kViewWidth, kViewHeight);
  Surface sheet(&context);
  sheet.resize(kViewWidth, kViewHeight);
  fillSheet(sheet, format);
  const Rect cel{0, 0, kViewWidth, kViewHeight};
  for (auto _ : state) {
    const bool drawn = back.blit(0, 0, cel, CopyMode::keyed, sheet);
    benchmark::DoNotOptimize(drawn);
    if (!drawn) state.SkipWithError("blit refused");
  }
  state.SetItemsProcessed(state.iterations() * kViewWidth * kViewHeight);
  state.SetLabel("pixels");
}
BENCHMARK(BM_KeyedBltFastOfACel)->Arg(32)->Arg(16);

void BM_FillAllOfTheBackSurface(benchmark::State& state) {
  const PixelFormat format = formatFor(state.range(0));
  DrawContext context(std::make_shared<platform::SurfaceService>(format));
  Surface back(&context);
  back.resize(kViewWidth, kViewHeight);
  for (auto _ : state) {
    const bool filled = back.fill(0);
    benchmark::DoNotOptimize(filled);
    if (!filled) state.SkipWithError("fill refused");
  }
  state.SetItemsProcessed(state.iterations() * kViewWidth * kViewHeight);
  state.SetLabel("pixels");
}
BENCHMARK(BM_FillAllOfTheBackSurface)->Arg(32)->Arg(16);

}  // namespace
}  // namespace patapata
