#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include "bmp_file.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// The whole way from a sheet file to a sheet surface in the display format, as a character
// load takes it: reading the file, decoding and converting every pixel once.
namespace patapata {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> indexedSheet(int32_t n) {
  std::vector<uint32_t> palette(256);
  for (uint32_t i = 0; i < 256; ++i) palette[i] = (i * 0x00010307u) & 0x00FFFFFF;
  std::vector<uint8_t> data(static_cast<std::size_t>(n) * n);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i / 37 * 11);
  return bench::bmpFile(n, n, 8, 0, palette, data);
}

std::vector<uint8_t> trueColourSheet(int32_t n) {
  std::vector<uint8_t> data(static_cast<std::size_t>(n) * n * 3);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 4099);
  return bench::bmpFile(n, n, 24, 0, {}, data);
}

void BM_LoadSheet(benchmark::State& run, bool indexed, PixelFormat display) {
  constexpr int32_t n = 2048;
  const fs::path path =
      fs::temp_directory_path() / ("patapata_sheet_" + std::to_string(getpid()) + ".bmp");
  const std::vector<uint8_t> file = indexed ? indexedSheet(n) : trueColourSheet(n);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  platform::SurfaceService service(display);
  std::shared_ptr<const SheetPicture> sheet;
  for (auto _ : run) {
    sheet = SheetPicture::load(service, path.string());
    benchmark::DoNotOptimize(sheet->surface());
  }
  if (!sheet || sheet->width() != n) run.SkipWithError("the sheet did not load");
  run.counters["Mpixel/s"] =
      benchmark::Counter(static_cast<double>(n) * n * static_cast<double>(run.iterations()) / 1e6,
                         benchmark::Counter::kIsRate);
  std::error_code ec;
  fs::remove(path, ec);
}

BENCHMARK_CAPTURE(BM_LoadSheet, bmp8_2048x2048_to_xrgb8888, true, PixelFormat::xrgb8888())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadSheet, bmp8_2048x2048_to_rgb565, true, PixelFormat::rgb565())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadSheet, bmp24_2048x2048_to_xrgb8888, false, PixelFormat::xrgb8888())
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace patapata
