#include "surfaces/bmp_reader.h"

#include "bmp_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// Decoding speed of the ".bmp" reader on pictures made in memory, in megapixels per second.
namespace {

using patapata::bench::bmpFile;

const std::vector<uint8_t>& trueColour4096() {
  static const std::vector<uint8_t> file = [] {
    constexpr int32_t n = 4096;
    std::vector<uint8_t> data(static_cast<std::size_t>(n) * n * 3);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + i / 4099);
    return bmpFile(n, n, 24, 0, {}, data);
  }();
  return file;
}

// Sheet-like content: runs of 1 to 40 pixels, with a literal stretch now and then.
const std::vector<uint8_t>& runLength2048() {
  static const std::vector<uint8_t> file = [] {
    constexpr int32_t n = 2048;
    std::vector<uint8_t> data;
    uint32_t seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return seed >> 16;
    };
    for (int32_t y = 0; y < n; ++y) {
      int32_t x = 0;
      while (x < n) {
        if (next() % 8 == 0 && n - x >= 6) {
          data.insert(data.end(), {0, 6});
          for (int i = 0; i < 6; ++i) data.push_back(static_cast<uint8_t>(next()));
          x += 6;
        } else {
          const auto run = static_cast<int32_t>(std::min<uint32_t>(1 + next() % 40, n - x));
          data.push_back(static_cast<uint8_t>(run));
          data.push_back(static_cast<uint8_t>(next()));
          x += run;
        }
      }
      data.insert(data.end(), {0, 0});
    }
    data.insert(data.end(), {0, 1});
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010203u;
    return bmpFile(n, n, 8, 1, palette, data);
  }();
  return file;
}

void decode(benchmark::State& state, const std::vector<uint8_t>& file, int64_t pixels) {
  for (auto _ : state) {
    patapata::DecodedImage image = patapata::decodeBmp(file);
    benchmark::DoNotOptimize(image);
  }
  state.counters["megapixels/s"] = benchmark::Counter(
      static_cast<double>(pixels) * static_cast<double>(state.iterations()) / 1e6,
      benchmark::Counter::kIsRate);
}

void BM_DecodeBmp24Bit4096(benchmark::State& state) {
  decode(state, trueColour4096(), int64_t{4096} * 4096);
}
BENCHMARK(BM_DecodeBmp24Bit4096)->Unit(benchmark::kMillisecond);

void BM_DecodeBmpRle8_2048(benchmark::State& state) {
  decode(state, runLength2048(), int64_t{2048} * 2048);
}
BENCHMARK(BM_DecodeBmpRle8_2048)->Unit(benchmark::kMillisecond);

}  // namespace
