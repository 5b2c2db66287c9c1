#include "character/character_lint.h"

#include "character/character_reader.h"
#include "common/errors.h"
#include "reader_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

using testing::ReaderHarness;
using testing::TempDir;
using testing::writeBytes;
using testing::writeTestSheet;

struct Expected {
  int32_t line;
  std::string part;  // a piece of the message
};

struct LintCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<Expected> warnings;
};

// Loads `lines` (with a 8 × 6 sheet beside them) and gives the lint.
CharacterLint lintOf(const std::vector<std::string>& lines, ReaderHarness& h) {
  TempDir dir;
  writeTestSheet(dir.file("s.bmp"));
  std::string file;
  for (const auto& line : lines) file += line + "\r\n";
  writeBytes(dir.file("c.chp"), file);
  CharacterLint lint;
  try {
    loadCharacterFile(h.viewer, h.controls, dir.file("c.chp"), &lint);
  } catch (const Exception&) {
  }
  lint.finish(h.viewer);
  return lint;
}

TEST(CharacterLint, WarnsWithLineNumbers) {
  const std::vector<LintCase> cases{
      {"clean file",
       {"#CHARNAME a", "#ANIME 50", "#CHARBMP s.bmp", "#1 0 0 8 6", "#2 1 1 2 2", "#PATERN 01 0102",
        "#LAYER 01 02 01", "#DATA 16", "#0A 0 0 1 1", "; note", "#note", "#0 1 1 1 1"},
       {}},
      {"indented keyword",
       {"#1 0 0 1 1", "  #ANIME 50", "\t#2 0 0 1 1"},
       {{2, "indented"}, {3, "indented"}}},
      {"misspelt keywords",
       {"#ANIM 100", "#PATTERN 01 01", "#CHARNAM x", "#LAYR 01 01 01", "#CHAR x", "#NOTE"},
       {{1, "#ANIME?"}, {2, "#PATERN?"}, {3, "#CHARNAME?"}, {4, "#LAYER?"}, {5, "#CHARNAME?"}}},
      {"two letters are a hexadecimal cel", {"#DATA 16", "#AB 0 0 1 1", "#DA 0 0 1 1"}, {}},
      {"state outside 0..30",
       {"#PATERN 31 01", "#LAYER -1 01 01", "#PATERN 30 01", "#1 0 0 1 1"},
       {{1, "state 31"}, {2, "state -1"}}},
      {"odd-length sequences",
       {"#1 0 0 1 1", "#PATERN 01 010", "#LAYER 02 010 01010"},
       {{2, "odd length"},
        {3, "the layer sequence has an odd length"},
        {3, "the destination sequence has an odd length"}}},
      {"more than 255 pairs", {"#PATERN 01 " + std::string(512, '0')}, {{1, "256 entries"}}},
      {"255 pairs are fine", {"#PATERN 01 " + std::string(510, '0')}, {}},
      {"undefined cels",
       {"#1 0 0 1 1", "#PATERN 01 010203", "#LAYER 02 0401 0500", "#PATERN 03 02"},
       {{2, "cel 2 is used"},
        {2, "cel 3 is used"},
        {3, "cel 4 is used"},
        {3, "cel 5 is used"},
        {4, "cel 2 is used"}}},
      {"a cel defined after its use counts", {"#PATERN 01 07", "#7 0 0 1 1"}, {}},
      {"cels outside the sheet",
       {"#CHARBMP s.bmp", "#1 0 0 8 6", "#2 1 1 8 1", "#3 -1 0 1 1", "#4 0 5 1 2", "#5 0 0 -1 1"},
       {{3, "cel 2"}, {4, "cel 3"}, {5, "cel 4"}, {6, "cel 5"}}},
      {"destination cels are places in the view",
       {"#CHARBMP s.bmp", "#1 0 0 8 6", "#2 -8 150 24 24", "#3 0 0 1 1", "#4 -1 0 1 1",
        "#LAYER 01 0303 0204", "#PATERN 02 04"},
       {{5, "cel 4"}}},
      {"#DATA values",
       {"#DATA 8", "#DATA   16", "#DATA 16", "#data16"},
       {{1, "'8'"}, {2, "at most two blanks"}}},
      {"only lines the load reached", {"#ANIME x", "#ANIM 1"}, {}},
  };
  for (const LintCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderHarness h;
    const CharacterLint lint = lintOf(c.lines, h);
    ASSERT_EQ(lint.warnings().size(), c.warnings.size()) << [&] {
      std::string all;
      for (const auto& w : lint.warnings()) all += std::to_string(w.line) + ": " + w.message + "\n";
      return all;
    }();
    for (std::size_t i = 0; i < c.warnings.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(lint.warnings()[i].line, c.warnings[i].line);
      EXPECT_NE(lint.warnings()[i].message.find(c.warnings[i].part), std::string::npos)
          << lint.warnings()[i].message;
    }
  }
}

TEST(CharacterLint, FollowsTheLoad) {
  ReaderHarness h;
  const CharacterLint lint = lintOf({"#CHARNAME x", "#3 1 1 1 1", "#3 2 2 2 2", "#DATA 16",
                                     "#0A 1 1 1 1", "#ANIME z", "#4 1 1 1 1"},
                                    h);
  EXPECT_TRUE(lint.nameRead());
  EXPECT_EQ(lint.lastLine(), 6);
  EXPECT_EQ(lint.definedCels(), (std::map<int32_t, int32_t>{{3, 3}, {10, 5}}));

  ReaderHarness other;
  const CharacterLint none = lintOf({"#ANIME 5"}, other);
  EXPECT_FALSE(none.nameRead());
  EXPECT_EQ(none.lastLine(), 1);
  EXPECT_TRUE(none.definedCels().empty());
}

TEST(CharacterLint, LongAndForeignTextStaysReadable) {
  ReaderHarness h;
  const CharacterLint lint =
      lintOf({"  #CHARNAME " + std::string(27, 'x') + "\x83\x65\x83\x65\x83\x65\x83\x65\x83\x65",
              "#DATA \x83\x65"},
             h);
  ASSERT_EQ(lint.warnings().size(), 2u);
  EXPECT_NE(lint.warnings()[0].message.find("xxテ…'"), std::string::npos)
      << lint.warnings()[0].message;
  EXPECT_NE(lint.warnings()[1].message.find("'テ'"), std::string::npos);
}

TEST(CharacterLint, EditDistance) {
  struct Case {
    const char* a;
    const char* b;
    int32_t distance;
  };
  for (const Case& c : std::vector<Case>{{"", "", 0},
                                         {"ANIM", "ANIME", 1},
                                         {"ANIME", "ANIM", 1},
                                         {"PATTERN", "PATERN", 1},
                                         {"abc", "xyz", 3},
                                         {"", "abc", 3},
                                         {"kitten", "sitting", 3}}) {
    SCOPED_TRACE(std::string(c.a) + "/" + c.b);
    EXPECT_EQ(editDistance(c.a, c.b), c.distance);
  }
}

}  // namespace
}  // namespace patapata
