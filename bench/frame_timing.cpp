// The composed frame of bench_frame.cpp timed by a plain program, so that the same source runs
// natively and as WebAssembly under Node (which has no Google Benchmark) and the figures
// compare side by side: bench/frame_timing.sh runs both.
//
// Usage: patapata_frame_timing [frames per round]   (default 20000; 5 rounds per format)
#include "composed_frame.h"
#include "surfaces/pixel_rows.h"

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

void timeFrames(const char* name, const PixelFormat& format, long frames) {
  ComposedFrame scene(format);
  for (long i = 0; i < frames / 10; ++i) scene.compose();  // warm-up
  std::vector<double> perFrame;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < frames; ++i) scene.compose();
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
