#include "character/character_lint.h"

#include "character/character_reader.h"
#include "common/errors.h"
#include "support/reader_fixture.h"

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
  const CharacterLoad load =
      loadCharacterFile(dir.file("c.chp"), h.loader, CharacterSheet{}, &lint);
  lint.finish(load.character, load.completed());
  h.viewer.character = load.character;
  return lint;
}

std::string listed(const CharacterLint& lint) {
  std::string all;
  for (const auto& w : lint.warnings()) {
    all += std::to_string(w.line) + ": " + messageText(w.message) + "\n";
  }
  return all;
}

// Names the sheet, so that a case that defines cels gets no warning for a missing one.
const std::string kSheet = "#CHARBMP s.bmp";

TEST(CharacterLint, WarnsWithLineNumbers) {
  const std::vector<LintCase> cases{
      {"clean file",
       {"#CHARNAME a", "#ANIME 50", "#CHARBMP s.bmp", "#1 0 0 8 6", "#2 1 1 2 2", "#PATERN 01 0102",
        "#LAYER 01 0202 0101", "#DATA 16", "#0A 0 0 1 1", "; note", "#note", "#PATERN 02 0A"},
       {}},
      {"indented keyword",
       {"#1 0 0 1 1", "  #ANIME 50", "\t#2 0 0 1 1", kSheet},
       {{2, "indented"}, {3, "indented"}}},
      {"misspelt keywords",
       {"#ANIM 100", "#PATTERN 01 01", "#CHARNAM x", "#LAYR 01 01 01", "#CHAR x", "#NOTE"},
       {{1, "#ANIME?"}, {2, "#PATERN?"}, {3, "#CHARNAME?"}, {4, "#LAYER?"}, {5, "#CHARNAME?"}}},
      {"two letters are a hexadecimal cel", {"#DATA 16", "#AB 0 0 1 1", "#DA 0 0 1 1", kSheet}, {}},
      {"state outside 0..30",
       {"#PATERN 31 01", "#LAYER -1 01 01", "#1 0 0 1 1", kSheet},
       {{1, "state 31"}, {2, "state -1"}}},
      {"odd-length sequences",
       {"#1 0 0 1 1", "#PATERN 01 010", "#LAYER 02 010 010", kSheet},
       {{2, "odd length"},
        {3, "the layer sequence has an odd length"},
        {3, "the destination sequence has an odd length"}}},
      {"more than 255 pairs",
       {"#PATERN 01 " + std::string(512, '0'), kSheet},
       {{1, "256 entries"}}},
      {"255 pairs are fine", {"#PATERN 01 " + std::string(510, '0'), kSheet}, {}},
      {"undefined cels",
       {"#1 0 0 1 1", "#PATERN 01 010203", "#LAYER 02 0401 0500", "#PATERN 03 02", kSheet},
       {{2, "cel 2 is used"},
        {2, "cel 3 is used"},
        {3, "cel 4 is used"},
        {3, "cel 5 is used"},
        {4, "cel 2 is used"}}},
      {"a cel defined after its use counts", {"#PATERN 01 07", "#7 0 0 1 1", kSheet}, {}},
      {"cels outside the sheet",
       {"#CHARBMP s.bmp", "#1 0 0 8 6", "#2 1 1 8 1", "#3 -1 0 1 1", "#4 0 5 1 2", "#5 0 0 -1 1"},
       {{3, "cel 2 (1, 1, 8 × 1) does not lie within the sheet (8 × 6), so it is not drawn"},
        {4, "cel 3"},
        {5, "cel 4"},
        {6, "cel 5"}}},
      {"cels named as the cel lines write them",
       {"#DATA 16", kSheet, "#31 0 0 9 1", "#PATERN 01 3132"},
       {{3, "cel 31 (0, 0, 9 × 1) does not lie within"}, {4, "cel 32 is used"}}},
      // The background and pattern cels are copied whole to the corner; layer cels are cut.
      {"cels larger than the view",
       {kSheet, "#1 0 0 122 6", "#2 0 0 8 272", "#3 0 0 200 300", "#PATERN 01 02",
        "#LAYER 01 03 03"},
       {{2, "cel 1 (0, 0, 122 × 6) is larger than the view (121 × 271), so it is not drawn"},
        {2, "cel 1 (0, 0, 122 × 6) does not lie within"},
        {3, "cel 2 (0, 0, 8 × 272) is larger"},
        {3, "cel 2 (0, 0, 8 × 272) does not lie within"},
        {4, "cel 3 (0, 0, 200 × 300) does not lie within"}}},
      {"cels of no size that a pattern or a layer shows",
       {"#CHARBMP s.bmp", "#1 0 0 0 6", "#2 1 1 3 0", "#3 2 2 0 0", "#4 0 0 1 1", "#5 1 1 0 1",
        "#PATERN 01 0102", "#LAYER 02 04 03"},
       {{2, "cel 1 (0, 0, 0 × 6) has no width or no height, so it draws nothing"},
        {3, "cel 2 (1, 1, 3 × 0) has no width"}}},
      {"destination cels are places in the view",
       {"#CHARBMP s.bmp", "#1 0 0 8 6", "#2 -8 150 24 24", "#3 0 0 1 1", "#4 -1 0 1 1",
        "#LAYER 01 0303 0204", "#PATERN 02 04"},
       {{5, "cel 4"}}},
      {"#DATA values",
       {"#DATA 8", "#DATA   16", "#DATA 16", "#data16"},
       {{1, "'8'"}, {2, "at most two blanks"}}},
      {"only lines the load reached", {"#ANIME x", "#ANIM 1"}, {}},
      {"blanks inside sequences",
       {"#1 0 0 1 1", "#2 0 0 1 1", "#PATERN 01 02 01 02", "#PATERN 02 0 20 1",
        "#PATERN 03 0201 walking", "#LAYER 05 01 01 02 02", kSheet},
       {{3, "only '02' is read, '01 02' is ignored"},
        {4, "odd length"},
        {4, "only '0' is read"},
        {6, "the layer is read as '01' and the destination as '01', '02 02' is ignored"}}},
      {"decimal cel numbers of three digits",
       {"#100 0 0 1 1", "#256 0 0 1 1", kSheet},
       {{1, "'100' has three digits"}, {2, "'256' has three digits"}}},
      {"cel numbers that cannot be stored",
       {"#0 0 0 1 1", "#-1 0 0 1 1", "#0A 0 0 1 1", "#AB 0 0 1 1", "#1,0,0,1,1", "# 05 0 0 1 1",
        "#DATA 16", "#00 0 0 1 1", "#5 0 0 1 1", "#100 0 0 1 1", "#note, not a cel", "#0A 0 0 1 1",
        kSheet},
       {{1, "cel 0 cannot be stored"},
        {2, "cel -1 cannot be stored"},
        {3, "'0A' is no decimal cel number"},
        {4, "'AB' is no decimal cel number"},
        {5, "'#1,0,0,1,1' is no cel line"},
        {6, "a blank stands between '#' and the cel number"},
        {8, "cel 00 cannot be stored"},
        {9, "write #05"},
        {10, "'100' is ignored"}}},
      {"states without a button",
       {"#1 0 0 1 1", "#PATERN 09 01", "#PATERN 20 01", "#LAYER 13 01 01", "#PATERN 00 01",
        "#PATERN 30 01", kSheet},
       {{2, "no button plays state 9"},
        {3, "no button plays state 20"},
        {4, "no button plays state 13"},
        {5, "no button plays state 0"},
        {6, "no button plays state 30"}}},
      {"a second row for a state",
       {"#1 0 0 1 1", "#2 0 0 1 1", "#PATERN 01 0102", "#PATERN 01 02", "#PATERN 02 01",
        "#PATERN 02 0201", "#LAYER 01 0101 0202", "#LAYER 01 01 02", kSheet},
       {{4, "state 1 plays 0202"},
        {6, "a second #PATERN for state 2 (the first is on line 5) replaces the first"},
        {8, "the layer plays 0101, the destination 0202"}}},
      {"layers that do not fit",
       {"#1 0 0 1 1", "#PATERN 01 010101", "#LAYER 01 01 01", "#PATERN 02 01",
        "#LAYER 02 010101 010101", "#PATERN 03 01", "#LAYER 03 01", "#PATERN 05 01",
        "#LAYER 05 01  01", "#PATERN 06 0101", "#LAYER 06 0101 01", "#LAYER 07 01 0101", kSheet},
       {{3, "the layer of state 1 is shorter than its pattern"},
        {5, "the layer of state 2 is longer than its pattern"},
        {7, "the layer has no destination sequence"},
        {9, "two blanks stand between the layer and the destination"},
        {11, "the destination sequence is shorter than the layer"},
        {12, "the destination sequence is longer than the layer"}}},
      {"rows without a sequence",
       {"#PATERN 06", "#LAYER 07", kSheet},
       {{1, "#PATERN of state 6 has no sequence"}, {2, "#LAYER of state 7 has no sequence"}}},
      {"frame intervals that are not positive",
       {"#ANIME 0", "#ANIME -5", "#ANIME 1"},
       {{1, "interval 0 is not positive"}, {2, "interval -5 is not positive"}}},
      {"no sheet", {"#1 0 0 1 1", "#PATERN 01 01"}, {{0, "no #CHARBMP"}}},
      {"notes alone need no sheet", {"; a note", "#CHARNAME a"}, {}},
      {"a sheet name with a blank", {"#CHARBMP s .bmp"}, {{1, "the reader looks for 's' only"}}},
      {"a #CHARBMP without a name", {"#CHARBMP "}, {{1, "names no picture"}}},
      {"a second sheet",
       {"#CHARBMP s.bmp", "#1 0 0 1 1", "#CHARBMP s.bmp"},
       {{3, "a second #CHARBMP (the first is on line 1)"}}},
      {"names cut at a blank",
       {"#CHARNAME ひよこ 2号", "#CHARNAME ひよこ　2号"},
       {{1, "'ひよこ' is shown, '2号' is left out"}}},
      {"a cel defined twice",
       {"#1 0 0 1 1", "#1 0 0 2 2", "#DATA 16", "#01 0 0 1 1", kSheet},
       {{2, "cel 1 is defined again (the first is on line 1)"},
        {4, "cel 1 is defined again (the first is on line 2)"}}},
      {"a UTF-8 byte-order mark before a keyword",
       {"\xEF\xBB\xBF#CHARNAME a"},
       {{1, "UTF-8 byte-order mark"}}},
      {"a UTF-8 byte-order mark before a note", {"\xEF\xBB\xBF; a note", "#CHARNAME a"}, {}},
  };
  for (const LintCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderHarness h;
    const CharacterLint lint = lintOf(c.lines, h);
    ASSERT_EQ(lint.warnings().size(), c.warnings.size()) << listed(lint);
    for (std::size_t i = 0; i < c.warnings.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(lint.warnings()[i].line, c.warnings[i].line);
      const std::string text = messageText(lint.warnings()[i].message);
      EXPECT_NE(text.find(c.warnings[i].part), std::string::npos) << text;
    }
  }
}

// Catches a lint that keeps every warning of a file of a million faulty lines (hundreds of
// megabytes of text), or that drops the rest without a word.
TEST(CharacterLint, ListsAThousandWarningsAndCountsTheRest) {
  ReaderHarness h;
  std::vector<std::string> lines(1200, "  #ANIME 50");
  lines.push_back(kSheet);
  const CharacterLint lint = lintOf(lines, h);
  ASSERT_EQ(lint.warnings().size(), 1001u);
  EXPECT_EQ(lint.warnings()[999].line, 1000);
  EXPECT_EQ(messageText(lint.warnings().back().message), "200 more warnings are not listed");
}

TEST(CharacterLint, TheSampleCharacterIsClean) {
  ReaderHarness h;
  CharacterLint lint;
  const CharacterLoad load =
      loadCharacterFile(std::string(PATAPATA_TEST_DATA) + "/../../samples/hiyoko/hiyoko.chp",
                        h.loader, CharacterSheet{}, &lint);
  ASSERT_TRUE(load.completed());
  lint.finish(load.character);
  EXPECT_EQ(lint.definedCels().size(), 29u);
  EXPECT_TRUE(lint.warnings().empty()) << listed(lint);
}

TEST(CharacterLint, FollowsTheLoad) {
  ReaderHarness h;
  const CharacterLint lint = lintOf({"#CHARNAME x", "#3 1 1 1 1", "#3 2 2 2 2", "#DATA 16",
                                     "#0A 1 1 1 1", "#ANIME z", "#4 1 1 1 1"},
                                    h);
  EXPECT_EQ(lint.lastLine(), 6);
  EXPECT_EQ(lint.definedCels(), (std::map<int32_t, int32_t>{{3, 3}, {10, 5}}));

  ReaderHarness other;
  const CharacterLint none = lintOf({"#ANIME 5"}, other);
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
  EXPECT_NE(messageText(lint.warnings()[0].message).find("xxテ…'"), std::string::npos)
      << messageText(lint.warnings()[0].message);
  EXPECT_NE(messageText(lint.warnings()[1].message).find("'テ'"), std::string::npos);
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
