// The composed frame of bench_frame.cpp timed by a plain program, so that the same source runs
// natively and as WebAssembly under Node (which has no Google Benchmark) and the figures
// compare side by side: bench/frame_timing.sh runs both.
//
// Usage: patapata_frame_timing [frames per round]   (default 20000; 5 rounds per format)
#include "character/viewer_state.h"
#include "player/frame_composer.h"
#include "surfaces/draw_context.h"
#include "surfaces/pixel_rows.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace patapata {
namespace {

constexpr int kRounds = 5;

// The frame of BM_ComposedFrame: background, pattern and a layer clipped at the left edge, all
// full-size cels of the 121 × 271 view, from a 400 × 300 sheet a quarter of whose pixels carry
// the key.
struct Scene {
  explicit Scene(const PixelFormat& format)
      : service(std::make_shared<platform::SurfaceService>(format)),
        dd(service),
        back(&dd),
        viewer(std::make_unique<ViewerState>()) {
    back.resize(kViewWidth, kViewHeight);
    ViewerState& v = *viewer;
    v.sheet = std::make_unique<Surface>(&dd);
    v.sheet->resize(400, 300);
    LockDescription lock;
    if (!v.sheet->lock(nullptr, lock)) {
      std::fprintf(stderr, "cannot lock the sheet\n");
      std::exit(1);
    }
    const int32_t bytes = format.bytesPerPixel();
    for (int32_t y = 0; y < 300; ++y) {
      for (int32_t x = 0; x < 400; ++x) {
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
  }

  // A sum over the frame's pixels, printed so that the two builds can be seen to compose the
  // same frame (and so that no composition goes unused).
  uint64_t checksum() {
    uint64_t sum = 0;
    for (int32_t y = 0; y < kViewHeight; ++y) {
      for (int32_t x = 0; x < kViewWidth; ++x) sum = sum * 31 + back.pixelValue(x, y);
    }
    return sum;
  }

  std::shared_ptr<platform::SurfaceService> service;
  DrawContext dd;
  Surface back;
  std::unique_ptr<ViewerState> viewer;
};

void timeFrames(const char* name, const PixelFormat& format, long frames) {
  Scene scene(format);
  for (long i = 0; i < frames / 10; ++i) composeFrame(*scene.viewer, scene.back);  // warm-up
  std::vector<double> perFrame;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < frames; ++i) composeFrame(*scene.viewer, scene.back);
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    perFrame.push_back(spent.count() / static_cast<double>(frames));
  }
  std::sort(perFrame.begin(), perFrame.end());
  std::printf("%-9s %9.0f ns/frame (median of %d rounds of %ld; best %.0f)  checksum %016llx\n",
              name, perFrame[kRounds / 2], kRounds, frames, perFrame.front(),
              static_cast<unsigned long long>(scene.checksum()));
}

}  // namespace
}  // namespace patapata

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
  if (frames <= 0) {
    std::fprintf(stderr, "usage: patapata_frame_timing [frames per round]\n");
    return 2;
  }
  std::printf("pixel rows in %s\n", patapata::pixel_rows::instructionSet());
  patapata::timeFrames("xrgb8888", patapata::PixelFormat::xrgb8888(), frames);
  patapata::timeFrames("rgb565", patapata::PixelFormat::rgb565(), frames);
  return 0;
}
