#include "character/character_reader.h"

#include "character/character_lint.h"

#include "common/errors.h"
#include "support/reader_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

namespace patapata {
namespace {

using testing::ReaderHarness;
using testing::TempDir;
using testing::writeBytes;
using testing::writeTestSheet;

// Random lines built from the pieces the reader looks at, mixed with arbitrary bytes.
class LineGenerator {
 public:
  explicit LineGenerator(uint32_t seed) : rng_(seed) {}

  std::string line() {
    static const std::array<const char*, 14> heads{
        "#CHARNAME", "#ANIME", "#DATA", "#CHARBMP", "#PATERN", "#LAYER", "#",
        "#charname", "#anime", "#data", "#charbmp", "#patern", "#layer", " #"};
    std::string out;
    switch (pick(10)) {
      case 0:
        return bytes(pick(3000));
      case 1:
        out = "#" + bytes(pick(12));
        break;
      default:
        out = heads[pick(heads.size())];
        break;
    }
    const int pieces = static_cast<int>(pick(8));
    for (int i = 0; i < pieces; ++i) {
      out += blanks();
      out += piece();
    }
    if (pick(20) == 0) out += std::string(pick(1500), static_cast<char>('0' + pick(10)));
    return out;
  }

  std::string lineEnd() {
    static const std::array<const char*, 4> ends{"\r\n", "\n", "\r", "\n\r"};
    return ends[pick(ends.size())];
  }

  std::size_t pick(std::size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

 private:
  std::string blanks() {
    static const std::array<const char*, 6> options{"", " ", "  ", "\t", "   ", " \t "};
    return options[pick(options.size())];
  }

  std::string piece() {
    static const char* hex = "0123456789ABCDEFabcdefGZz$x-+";
    switch (pick(8)) {
      case 0:
        return std::to_string(static_cast<int64_t>(pick(1u << 31)) - (1 << 30));
      case 1:
        return std::to_string(pick(40) - 10);
      case 2: {
        std::string s;
        const std::size_t n = pick(700);
        for (std::size_t i = 0; i < n; ++i) s += hex[pick(i % 7 == 6 ? 29 : 16)];
        return s;
      }
      case 3:
        return "s.bmp";
      case 4:
        return pick(2) ? "S.BMP" : "..\\missing\\x.bmp";
      case 5:
        return "4294967296";
      case 6:
        return "\x83\x65\x95\x5C\x81\x40";
      default:
        return bytes(pick(6));
    }
  }

  std::string bytes(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(pick(256));
    return s;
  }

  std::mt19937 rng_;
};

void expectTablesWithinBounds(const Character& s) {
  for (const auto* table : {&s.pattern, &s.layer, &s.layerDest}) {
    for (const SequenceRow& row : *table) {
      EXPECT_EQ(row[0], kEmptyCel);
      for (int32_t v : row) {
        EXPECT_GE(v, kEmptyCel);
        EXPECT_LT(v, kCelCount);
      }
    }
  }
  EXPECT_EQ(s.cels[0], CelRect{});
}

TEST(ReaderFuzz, RandomAndHostileLinesNeverFault) {
  TempDir dir;
  writeTestSheet(dir.file("s.bmp"), 3, 2);
  LineGenerator gen(20240611);
  ReaderHarness h;
  CharacterSheet sheet;
  int lines = 0;
  int completed = 0;
  for (int round = 0; round < 700; ++round) {
    std::string file;
    const std::size_t count = 1 + gen.pick(8);
    for (std::size_t i = 0; i < count; ++i) {
      file += gen.line();
      if (gen.pick(30) == 0) file += '\0';
      file += gen.lineEnd();
    }
    lines += static_cast<int>(count);
    writeBytes(dir.file("f.chp"), file);
    // The batch check's lint follows every load, so it meets the same lines.
    CharacterLint lint;
    const CharacterLoad load = loadCharacterFile(dir.file("f.chp"), h.loader, sheet, &lint);
    const bool complete = load.completed();
    if (complete) ++completed;
    if (load.error) {
      EXPECT_FALSE(load.error->text().empty());
    }
    sheet = load.character.sheet;
    lint.finish(load.character, complete);
    EXPECT_LE(lint.lastLine(), static_cast<int32_t>(splitLines(file).size()));
    for (const LintWarning& w : lint.warnings()) {
      // Line 0, the file as a whole, only when the whole file was read.
      EXPECT_GE(w.line, complete ? 0 : 1);
      EXPECT_LE(w.line, lint.lastLine());
    }
    expectTablesWithinBounds(load.character);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "round " << round << ": " << ::testing::PrintToString(file);
      break;
    }
  }
  EXPECT_GE(lines, 2000);
  // Both outcomes occur, so the fuzzing reaches past the first line.
  EXPECT_GT(completed, 50);
  EXPECT_LT(completed, 650);
}

TEST(ReaderFuzz, WithoutASheetSurfaceNothingIsDereferenced) {
  TempDir dir;
  writeTestSheet(dir.file("s.bmp"), 3, 2);
  LineGenerator gen(7);
  ReaderHarness h(false);
  for (int round = 0; round < 200; ++round) {
    std::string file;
    for (std::size_t i = 0, n = 1 + gen.pick(6); i < n; ++i) file += gen.line() + gen.lineEnd();
    writeBytes(dir.file("f.chp"), file);
    const CharacterLoad load = loadCharacterFile(dir.file("f.chp"), h.loader, CharacterSheet{});
    expectTablesWithinBounds(load.character);
    EXPECT_FALSE(load.character.sheet.picture);
  }
}

}  // namespace
}  // namespace patapata
