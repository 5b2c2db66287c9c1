#include "character/sheet_slicing.h"
#include "surfaces/pixel_view.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

// Slicing a large sheet by its content, against the least any slicing must do: read every
// pixel once. Both run on the same sheet in the same process; the slicing benchmark also
// times the plain pass between its own rounds and reports how many plain passes it costs.
namespace patapata {
namespace {

constexpr int32_t kSide = 4096;
constexpr int32_t kCell = 64;          // one sprite a cell, most cells used
constexpr uint32_t kKey = 0x00FF00FF;  // magenta, as many sheets have it
constexpr uint16_t kKey565 = 0xF81F;

struct Sheet {
  std::vector<uint32_t> pixels;
  int32_t sprites = 0;
};

// Round bodies with an eye of background colour inside, two legs below (so that rows hold
// several runs and the legs start as pieces of their own), and on every other sprite a
// sparkle three pixels to its right that only the gap joins to it. Sprites lie at least ten
// pixels apart. No colour but the background is ever magenta (red stays below 0x80).
Sheet makeSheet() {
  Sheet sheet;
  sheet.pixels.assign(std::size_t{kSide} * kSide, kKey);
  auto put = [&](int32_t x, int32_t y, uint32_t colour) {
    sheet.pixels[std::size_t(y) * kSide + std::size_t(x)] = colour;
  };
  std::mt19937 random(12345);
  auto between = [&](int32_t low, int32_t high) {
    return low + static_cast<int32_t>(random() % static_cast<uint32_t>(high - low + 1));
  };
  for (int32_t cy = 0; cy < kSide / kCell; ++cy) {
    for (int32_t cx = 0; cx < kSide / kCell; ++cx) {
      if (random() % 4 == 0) continue;
      ++sheet.sprites;
      const int32_t x0 = cx * kCell + kCell / 2 + between(-3, 3);
      const int32_t y0 = cy * kCell + kCell / 2 + between(-3, 3);
      const int32_t rx = between(8, 18);
      const int32_t ry = between(8, 18);
      for (int32_t dy = -ry; dy <= ry; ++dy) {
        for (int32_t dx = -rx; dx <= rx; ++dx) {
          if (dx * dx * ry * ry + dy * dy * rx * rx > rx * rx * ry * ry) continue;
          const bool eye = dx >= rx / 3 && dx < rx / 3 + 3 && dy >= -ry / 3 && dy < -ry / 3 + 3;
          const uint32_t colour = 0x00204060u + uint32_t((dx * 5 + dy * 3) & 0x3F) * 0x010101u;
          put(x0 + dx, y0 + dy, eye ? kKey : colour);
        }
      }
      for (int32_t dy = ry - 1; dy <= ry + 6; ++dy) {
        for (const int32_t leg : {-rx / 2, rx / 2 - 1}) {
          put(x0 + leg, y0 + dy, 0x00402010);
          put(x0 + leg + 1, y0 + dy, 0x00402010);
        }
      }
      if (cx % 2 == 0) {
        for (int32_t d = 0; d < 4; ++d) put(x0 + rx + 4 + d % 2, y0 + d / 2, 0x007F7F20);
      }
    }
  }
  return sheet;
}

const Sheet& sheet32() {
  static const Sheet sheet = makeSheet();
  return sheet;
}

const std::vector<uint16_t>& sheet16() {
  static const std::vector<uint16_t> pixels = [] {
    std::vector<uint16_t> out(sheet32().pixels.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
      const uint32_t p = sheet32().pixels[i];
      out[i] = p == kKey ? kKey565 : static_cast<uint16_t>((p ^ (p >> 9)) & 0x7FFF);
    }
    return out;
  }();
  return pixels;
}

PixelView viewOf(int64_t bits) {
  if (bits == 16) {
    return PixelView{reinterpret_cast<const uint8_t*>(sheet16().data()), kSide * 2, kSide, kSide,
                     2};
  }
  return PixelView{reinterpret_cast<const uint8_t*>(sheet32().pixels.data()), kSide * 4, kSide,
                   kSide, 4};
}

// The plain pass: how many pixels are not the key. Blocks of fixed length, so that the
// compiler makes vector compares of them, as the slicing's own scan is built.
template <typename Pixel>
int64_t countDrawnPixels(const PixelView& view, Pixel key) {
  int64_t count = 0;
  for (int32_t y = 0; y < view.height; ++y) {
    const uint8_t* row = view.row(y);
    int32_t x = 0;
    for (; x + 16 <= view.width; x += 16) {
      int32_t block = 0;
      for (int32_t i = 0; i < 16; ++i) {
        Pixel p;
        std::memcpy(&p, row + std::size_t(x + i) * sizeof(Pixel), sizeof(Pixel));
        block += p != key;
      }
      count += block;
    }
    for (; x < view.width; ++x) {
      Pixel p;
      std::memcpy(&p, row + std::size_t(x) * sizeof(Pixel), sizeof(Pixel));
      count += p != key;
    }
  }
  return count;
}

int64_t plainPass(int64_t bits) {
  return bits == 16 ? countDrawnPixels<uint16_t>(viewOf(16), kKey565)
                    : countDrawnPixels<uint32_t>(viewOf(32), kKey);
}

uint32_t keyOf(int64_t bits) {
  return bits == 16 ? kKey565 : kKey;
}

void BM_ReadEveryPixelOfA4096Sheet(benchmark::State& state) {
  const int64_t bits = state.range(0);
  viewOf(bits);
  for (auto _ : state) benchmark::DoNotOptimize(plainPass(bits));
  state.counters["Mpixel/s"] = benchmark::Counter(
      double(kSide) * kSide * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadEveryPixelOfA4096Sheet)->Arg(32)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_SliceA4096SheetByContent(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const int64_t bits = state.range(0);
  const PixelView view = viewOf(bits);
  const sheet_slicing::ContentOptions options{.gap = 4, .minWidth = 4, .minHeight = 4};
  std::size_t found = 0;
  Clock::duration slicing{};
  Clock::duration plain{};
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    const sheet_slicing::Slices slices = sheet_slicing::sliceByContent(view, keyOf(bits), options);
    const Clock::time_point sliced = Clock::now();
    state.PauseTiming();
    benchmark::DoNotOptimize(plainPass(bits));
    plain += Clock::now() - sliced;
    slicing += sliced - start;
    found = slices.rects.size();
    state.ResumeTiming();
  }
  if (found != static_cast<std::size_t>(sheet32().sprites)) {
    state.SkipWithError("the slicing did not find one box a sprite");
  }
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / double(state.iterations());
  };
  state.counters["sprites"] = double(found);
  state.counters["slice_ms"] = ms(slicing);
  state.counters["plain_pass_ms"] = ms(plain);
  state.counters["plain_passes"] = ms(slicing) / ms(plain);
}
BENCHMARK(BM_SliceA4096SheetByContent)->Arg(32)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace patapata
