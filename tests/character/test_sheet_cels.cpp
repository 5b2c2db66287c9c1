#include "character/sheet_cels.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata::sheet_cels {
namespace {

// Faults: the larger of two nested cels taken, a tie going to the higher number, a cel's right
// or bottom edge counted as inside it.
TEST(CelToPick, IsTheSmallestCelUnderThePoint) {
  std::array<CelRect, kCelCount> cels{};
  cels[1] = {0, 0, 121, 271};
  cels[4] = {10, 10, 20, 20};
  cels[5] = {10, 10, 20, 20};
  cels[9] = {12, 12, 4, 4};
  struct Case {
    int32_t x, y, cel;
  };
  const Case cases[] = {{50, 50, 1}, {10, 10, 4}, {13, 13, 9},         {16, 16, 4},
                        {29, 29, 4}, {30, 30, 1}, {121, 0, kEmptyCel}, {-1, 5, kEmptyCel}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
    EXPECT_EQ(celToPick(cels, c.x, c.y), c.cel);
  }
}

// Faults: warnings about other things taken for cels, a number above 255 or below 1 marked.
TEST(WarnedCels, AreTheCelsWarnedOutsideTheSheetOrOfNoSize) {
  const std::vector<LintWarning> warnings{
      {3, {MessageId::CelOutsideSheet, {"07", "0", "0", "9", "9", "8", "8"}}, 7},
      {4, {MessageId::CelWithoutSize, {"12", "0", "0", "0", "3"}}, 12},
      {5, {MessageId::CelUndefined, {"20"}}},
      {6, {MessageId::CelWithoutSize, {"300", "0", "0", "0", "3"}}, 300},
  };
  std::bitset<kCelCount> expected;
  expected.set(7).set(12);
  EXPECT_EQ(warnedCels(warnings), expected);
}

// Faults: the load stopping at the sheet, which is not read; cels of lines dropped by the
// reader counted; a file that cannot be read taken as one without cel lines.
TEST(CelLinesOf, AreTheCelsTheFilesCelLinesStore) {
  testing::TempDir dir;
  const std::string file = dir.write(
      "c.chp", std::string("#CHARBMP nowhere.bmp\r\n#1 0 0 1 1\r\n#0 0 0 1 1\r\n#DATA 16\r\n"
                           "#0A 0 0 1 1\r\n#03 0 0 0 0\r\n#PATERN 01 0102\r\n"));
  EXPECT_EQ(celLinesOf(file), (std::vector<int32_t>{1, 3, 10}));
  EXPECT_EQ(celLinesOf(dir.file("missing.chp")), std::nullopt);
}

}  // namespace
}  // namespace patapata::sheet_cels
