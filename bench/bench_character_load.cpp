#include "character/character_reader.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

// loadCharacterFile of the largest character the tables hold: 255 cels, and 31 states of 255 frames
// each, with a layer and its destination for every state; once without a sheet and once
// with a 1024 × 1024 24-bit sheet.
namespace patapata {
namespace {

namespace fs = std::filesystem;

std::string hexPairs(int count, int first) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < count; ++i) {
    const int v = (first + i) % 255 + 1;
    out += hex[v >> 4];
    out += hex[v & 15];
  }
  return out;
}

void writeSheet(const fs::path& path, int32_t n) {
  const int32_t stride = n * 3;
  std::string bytes = "BM";
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i));
  };
  put32(static_cast<uint32_t>(54 + stride * n));
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<uint32_t>(n));
  put32(static_cast<uint32_t>(n));
  put32(1 | (24 << 16));
  for (int i = 0; i < 6; ++i) put32(0);
  for (int32_t i = 0; i < stride * n; ++i) bytes += static_cast<char>(i * 7 + i / 4099);
  std::ofstream(path, std::ios::binary) << bytes;
}

/// A scratch folder with the character file; "big.chp" names no sheet, "big_sheet.chp" names
/// "sheet.bmp".
class LargeCharacter {
 public:
  LargeCharacter()
      : dir_(fs::temp_directory_path() / ("patapata_bench_" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
    std::string body = "#CHARNAME big\r\n#ANIME 16\r\n#DATA 16\r\n";
    for (int cel = 1; cel <= 255; ++cel) {
      body += "#" + hexPairs(1, cel - 1) + " " + std::to_string(cel % 16 * 64) + " " +
              std::to_string(cel / 16 * 64) + " 64 64\r\n";
    }
    for (int state = 0; state <= 30; ++state) {
      const std::string number = (state < 10 ? "0" : "") + std::to_string(state);
      body += "#PATERN " + number + " " + hexPairs(255, state) + "\r\n";
      body += "#LAYER " + number + " " + hexPairs(255, state + 1) + " " + hexPairs(255, state + 2) +
              "\r\n";
    }
    std::ofstream(dir_ / "big.chp", std::ios::binary) << body;
    std::ofstream(dir_ / "big_sheet.chp", std::ios::binary) << "#CHARBMP sheet.bmp\r\n" + body;
    writeSheet(dir_ / "sheet.bmp", 1024);
    bytes_ = static_cast<int64_t>(body.size());
  }
  ~LargeCharacter() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  LargeCharacter(const LargeCharacter&) = delete;
  LargeCharacter& operator=(const LargeCharacter&) = delete;

  std::string file(bool withSheet) const {
    return (dir_ / (withSheet ? "big_sheet.chp" : "big.chp")).string();
  }
  int64_t bytes() const { return bytes_; }

 private:
  fs::path dir_;
  int64_t bytes_ = 0;
};

void BM_FileloadLargeCharacter(benchmark::State& run) {
  const bool withSheet = run.range(0) != 0;
  const LargeCharacter character;
  platform::SurfaceService service;
  const SheetLoader loader = [&](const std::string& path) {
    return SheetPicture::load(service, path);
  };
  const std::string path = character.file(withSheet);
  std::optional<CharacterLoad> load;
  for (auto _ : run) {
    load = loadCharacterFile(path, loader, CharacterSheet{});
    benchmark::DoNotOptimize(load->character.pattern[30][255]);
  }
  const Character& loaded = load->character;
  if (!load->completed() || loaded.pattern[30][255] == kEmptyCel ||
      (withSheet && loaded.sheet.picture->width() != 1024)) {
    run.SkipWithError("the character did not load as written");
  }
  run.SetLabel(withSheet ? "with a 1024x1024 sheet" : "tables only");
  run.counters["file_KiB"] = static_cast<double>(character.bytes()) / 1024.0;
}
BENCHMARK(BM_FileloadLargeCharacter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace patapata
