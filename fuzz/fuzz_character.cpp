// Any bytes as a character file, read with the check listening as the viewer reads it. A tiny
// sheet "s.bmp" (and "s.dib") lies next to it, so "#CHARBMP" lines can load a real picture;
// the file names stay fixed so that findings reproduce. The reader completes or stops with one
// of the program's own errors, and the tables stay within their ranges either way.
#include "character/character_lint.h"
#include "character/character_reader.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) std::abort();
}

// 3 × 2 pixels, 24 bits, bottom-up; the bottom-right pixel is 0x123456.
std::vector<uint8_t> tinySheet() {
  std::vector<uint8_t> f = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0,  0,
                            3,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 24, 0,
                            0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0,  0};
  const uint8_t bottom[] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x56, 0x34, 0x12, 0, 0, 0};
  const uint8_t top[] = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x10, 0x20, 0x30, 0, 0, 0};
  f.insert(f.end(), std::begin(bottom), std::end(bottom));
  f.insert(f.end(), std::begin(top), std::end(top));
  return f;
}

struct Scratch {
  fs::path dir;
  std::string characterFile;

  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "patapata_fuzz_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    dir = pattern;
    const std::vector<uint8_t> sheet = tinySheet();
    writeFile(dir / "s.bmp", sheet.data(), sheet.size());
    writeFile(dir / "s.dib", sheet.data(), sheet.size());
    characterFile = (dir / "c.chp").string();
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Scratch& scratch() {
  static Scratch s;
  return s;
}

void check(bool condition) {
  if (!condition) std::abort();
}

void checkTables(const patapata::Character& s) {
  using namespace patapata;
  for (const SequenceTable* table : {&s.pattern, &s.layer, &s.layerDest}) {
    for (const SequenceRow& row : *table) {
      check(row[0] == kEmptyCel);
      for (const int32_t v : row) check(v >= kEmptyCel && v < kCelCount);
    }
  }
  check(s.cels[0] == CelRect{});
  check(!s.name || encoding::isValidUtf8(*s.name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace patapata;
  Scratch& files = scratch();
  platform::SurfaceService service;
  const SheetLoader loader = [&](const std::string& path) {
    return SheetPicture::load(service, path);
  };
  CharacterLint lint;
  const CharacterLoad load =
      readCharacter(std::string_view(reinterpret_cast<const char*>(data), size),
                    files.characterFile, loader, CharacterSheet{}, &lint);
  if (load.error) check(!load.error->text().empty() && load.error->location());
  lint.finish(load.character, load.completed());
  for (const LintWarning& w : lint.warnings()) check(encoding::isValidUtf8(messageText(w.message)));
  checkTables(load.character);
  return 0;
}
