#include "composed_frame.h"
#include "player/presentation.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace patapata {
namespace {

constexpr int32_t kFrames = 4;

// A present as the tick makes it: the frame the player reached drawn on the back surface as the
// view shows it, then copied whole to the surface on screen. The player goes forward a frame
// each time through a four-frame sequence, each frame another pattern cel, so that the onion
// skin composes one new frame per present and mixes. The onion skin's share is its row over
// the Off row; the window's present also paints through Qt, which this leaves out, so the
// share measured here is the larger one.
void BM_Present(benchmark::State& run, PresentationOptions options, PixelFormat format) {
  ComposedFrame frame(format);
  for (int32_t i = 1; i <= kFrames; ++i) {
    frame.character.cels[10 + i] = {10 * i, 20, 64, 64};
    frame.character.pattern[6][i] = 10 + i;
  }
  Surface front(&frame.dd);
  front.resize(kViewWidth, kViewHeight);
  Presentation presentation;
  presentation.setOptions(options);
  const Rect whole{0, 0, kViewWidth, kViewHeight};
  for (auto _ : run) {
    frame.player.frame = frame.player.frame % kFrames + 1;
    presentation.compose(frame.character, frame.player, frame.back);
    front.blit(0, 0, whole, CopyMode::opaque, frame.back);
    benchmark::ClobberMemory();
  }
  run.SetItemsProcessed(run.iterations());
}

constexpr PresentationOptions kOff{};
constexpr PresentationOptions kPrevious{.onionSkin = OnionSkin::Previous};
constexpr PresentationOptions kBoth{.onionSkin = OnionSkin::PreviousAndNext};
constexpr PresentationOptions kChecker{.showTransparency = true};

BENCHMARK_CAPTURE(BM_Present, off_xrgb8888, kOff, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_Present, onion_previous_xrgb8888, kPrevious, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_Present, onion_both_xrgb8888, kBoth, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_Present, transparency_xrgb8888, kChecker, PixelFormat::xrgb8888());
BENCHMARK_CAPTURE(BM_Present, off_rgb565, kOff, PixelFormat::rgb565());
BENCHMARK_CAPTURE(BM_Present, onion_previous_rgb565, kPrevious, PixelFormat::rgb565());

}  // namespace
}  // namespace patapata
