#include "surfaces/bmp_reader.h"
#include "surfaces/image_conversion.h"
#include "surfaces/pixel_buffer.h"
#include "surfaces/pixel_format.h"

#include "bmp_file.h"

#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The ".bmp" reader against two peers on the same files, made in memory: stb_image (Debian's
// libstb, asked for four channels) and Qt's QImage::loadFromData. Ours and QImage keep an
// indexed picture as indices; the "_rgb32" variants go on to 32-bit colours in new memory,
// the amount of output stb_image gives. Every benchmark reports its processor time per decode
// over ours ("x_ours") and over ours to 32-bit colours ("x_ours_rgb32"): above 1 it is slower.
// "_ours_display" is what loading a sheet does: the picture written in the 32-bit display
// format as it is decoded. "_limit" and "_limit_rgb32" are memcpy of as many bytes as the
// picture takes as decoded and in 32-bit colours, from the file into new memory of the same
// kind; "x_limit" is a time over the limit for the same output.
namespace {

using patapata::bench::bmpFile;

uint32_t nextRandom(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 16;
}

std::vector<uint32_t> palette256() {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = (i * 0x00010307u) & 0x00FFFFFF;
  return p;
}

enum class File { TrueColour4096, Indexed2048, RunLength2048 };

// A photograph-like 24-bit picture: gradients with noise, so nothing is uniform.
std::vector<uint8_t> makeTrueColour4096() {
  constexpr int32_t n = 4096;
  std::vector<uint8_t> data(static_cast<std::size_t>(n) * n * 3);
  uint32_t seed = 7;
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<uint8_t>(i / 3 % n / 16 + (nextRandom(seed) & 15));
  }
  return bmpFile(n, n, 24, 0, {}, data);
}

// A sprite-sheet-like 8-bit picture: runs of one index with some noise.
std::vector<uint8_t> makeIndexed2048() {
  constexpr int32_t n = 2048;
  std::vector<uint8_t> data(static_cast<std::size_t>(n) * n);
  uint32_t seed = 11;
  uint8_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (nextRandom(seed) % 9 == 0) value = static_cast<uint8_t>(nextRandom(seed));
    data[i] = value;
  }
  return bmpFile(n, n, 8, 0, palette256(), data);
}

// Runs of 1 to 40 pixels with a literal stretch now and then, each row ended explicitly.
std::vector<uint8_t> makeRunLength2048() {
  constexpr int32_t n = 2048;
  std::vector<uint8_t> data;
  uint32_t seed = 12345;
  for (int32_t y = 0; y < n; ++y) {
    int32_t x = 0;
    while (x < n) {
      if (nextRandom(seed) % 8 == 0 && n - x >= 6) {
        data.insert(data.end(), {0, 6});
        for (int i = 0; i < 6; ++i) data.push_back(static_cast<uint8_t>(nextRandom(seed)));
        x += 6;
      } else {
        const auto run = static_cast<int32_t>(std::min<uint32_t>(1 + nextRandom(seed) % 40, n - x));
        data.push_back(static_cast<uint8_t>(run));
        data.push_back(static_cast<uint8_t>(nextRandom(seed)));
        x += run;
      }
    }
    data.insert(data.end(), {0, 0});
  }
  data.insert(data.end(), {0, 1});
  return bmpFile(n, n, 8, 1, palette256(), data);
}

const std::vector<uint8_t>& fileFor(File f) {
  static const std::map<File, std::vector<uint8_t>> files = {
      {File::TrueColour4096, makeTrueColour4096()},
      {File::Indexed2048, makeIndexed2048()},
      {File::RunLength2048, makeRunLength2048()},
  };
  return files.at(f);
}

int64_t pixelsOf(File f) {
  return f == File::TrueColour4096 ? int64_t{4096} * 4096 : int64_t{2048} * 2048;
}

// Processor time of this thread, in seconds: steadier than the wall clock on a shared
// machine, and it includes the kernel's time for the page faults of a new picture.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

enum class Decoder { Ours, OursRgb32, OursDisplay, Stb, Qt, QtRgb32, Limit, LimitRgb32 };

// Our decoded picture as 32-bit colours in new memory, as a 32-bit sheet surface holds it:
// an indexed picture is looked up through its palette, a colour picture already is.
void toRgb32(const patapata::DecodedImage& image) {
  if (!image.indexed()) return;
  const auto pixels = std::make_unique_for_overwrite<uint32_t[]>(image.size());
  patapata::LockDescription target;
  target.bits = reinterpret_cast<uint8_t*>(pixels.get());
  target.pitch = image.width * 4;
  target.format = patapata::PixelFormat::xrgb8888();
  patapata::writeImage(image, target);
  benchmark::DoNotOptimize(pixels.get());
}

// The bytes a decoded picture takes: an indexed one as indices, unless in 32-bit colours.
std::size_t outputBytes(File f, bool rgb32) {
  const auto pixels = static_cast<std::size_t>(pixelsOf(f));
  return f == File::TrueColour4096 || rgb32 ? pixels * 4 : pixels;
}

// memcpy of `bytes` from the file, from its start again as often as needed, into new memory.
void copyLimit(const std::vector<uint8_t>& file, std::size_t bytes) {
  patapata::PixelBuffer out = patapata::PixelBuffer::forOverwrite(bytes);
  for (std::size_t at = 0; at < bytes; at += file.size()) {
    std::memcpy(out.data() + at, file.data(), std::min(file.size(), bytes - at));
  }
  benchmark::DoNotOptimize(out.data());
}

// Decodes once; false when the decoder refuses the file.
bool decodeWith(Decoder d, const std::vector<uint8_t>& file) {
  switch (d) {
    case Decoder::OursDisplay: {
      const patapata::DecodedImage image =
          patapata::decodeBmpForDisplay(file, patapata::PixelFormat::xrgb8888());
      benchmark::DoNotOptimize(image);
      if (!image.isRaw()) toRgb32(image);
      return image.width > 0;
    }
    case Decoder::Limit:
    case Decoder::LimitRgb32: {
      const File f = file.size() > 40'000'000  ? File::TrueColour4096
                     : file.size() > 4'000'000 ? File::Indexed2048
                                               : File::RunLength2048;
      copyLimit(file, outputBytes(f, d == Decoder::LimitRgb32));
      return true;
    }
    case Decoder::Ours:
    case Decoder::OursRgb32: {
      const patapata::DecodedImage image = patapata::decodeBmp(file);
      benchmark::DoNotOptimize(image);
      if (d == Decoder::OursRgb32) toRgb32(image);
      return image.width > 0;
    }
    case Decoder::Stb: {
      int w = 0;
      int h = 0;
      int channels = 0;
      stbi_uc* pixels =
          stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels, 4);
      benchmark::DoNotOptimize(pixels);
      const bool ok = pixels != nullptr;
      stbi_image_free(pixels);
      return ok;
    }
    case Decoder::Qt:
    case Decoder::QtRgb32: {
      QImage image;
      const bool ok =
          image.loadFromData(QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                                     static_cast<qsizetype>(file.size())),
                             "BMP");
      if (d == Decoder::QtRgb32 && image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(QImage::Format_RGB32);
      }
      benchmark::DoNotOptimize(image.constBits());
      return ok;
    }
  }
  return false;
}

// Our time per decode of a file: the median of 21 decodes after three that warm up the
// caches and the allocator, measured once per file and kind of output.
double oursSeconds(File f, Decoder d) {
  static std::map<std::pair<File, Decoder>, double> cache;
  if (const auto it = cache.find({f, d}); it != cache.end()) return it->second;
  const auto& file = fileFor(f);
  std::vector<double> times;
  for (int i = 0; i < 24; ++i) {
    const double start = threadSeconds();
    decodeWith(d, file);
    if (i >= 3) times.push_back(threadSeconds() - start);
  }
  std::nth_element(times.begin(), times.begin() + 10, times.end());
  return cache[{f, d}] = times[10];
}

void BM_Decode(benchmark::State& state, File f, Decoder d) {
  const auto& file = fileFor(f);
  if (!decodeWith(d, file)) {
    state.SkipWithError("this decoder does not read the file");
    return;
  }
  const double start = threadSeconds();
  for (auto _ : state) decodeWith(d, file);
  const double perDecode = (threadSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["x_ours"] = perDecode / oursSeconds(f, Decoder::Ours);
  state.counters["x_ours_rgb32"] = perDecode / oursSeconds(f, Decoder::OursRgb32);
  const bool rgb32 = d == Decoder::OursRgb32 || d == Decoder::OursDisplay || d == Decoder::Stb ||
                     d == Decoder::QtRgb32 || d == Decoder::LimitRgb32;
  state.counters["x_limit"] =
      perDecode / oursSeconds(f, rgb32 ? Decoder::LimitRgb32 : Decoder::Limit);
  state.counters["Mpixel/s"] = static_cast<double>(pixelsOf(f)) / perDecode / 1e6;
}

#define PEERS(name, file)                                                                          \
  BENCHMARK_CAPTURE(BM_Decode, name##_ours, file, Decoder::Ours)->Unit(benchmark::kMillisecond);   \
  BENCHMARK_CAPTURE(BM_Decode, name##_ours_rgb32, file, Decoder::OursRgb32)                        \
      ->Unit(benchmark::kMillisecond);                                                             \
  BENCHMARK_CAPTURE(BM_Decode, name##_ours_display, file, Decoder::OursDisplay)                    \
      ->Unit(benchmark::kMillisecond);                                                             \
  BENCHMARK_CAPTURE(BM_Decode, name##_stb, file, Decoder::Stb)->Unit(benchmark::kMillisecond);     \
  BENCHMARK_CAPTURE(BM_Decode, name##_qt, file, Decoder::Qt)->Unit(benchmark::kMillisecond);       \
  BENCHMARK_CAPTURE(BM_Decode, name##_qt_rgb32, file, Decoder::QtRgb32)                            \
      ->Unit(benchmark::kMillisecond);                                                             \
  BENCHMARK_CAPTURE(BM_Decode, name##_limit, file, Decoder::Limit)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(BM_Decode, name##_limit_rgb32, file, Decoder::LimitRgb32)                      \
      ->Unit(benchmark::kMillisecond);

PEERS(bmp24_4096x4096, File::TrueColour4096)
PEERS(bmp8_2048x2048, File::Indexed2048)
PEERS(rle8_2048x2048, File::RunLength2048)

}  // namespace
