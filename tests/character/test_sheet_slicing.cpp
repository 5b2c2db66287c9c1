#include "character/sheet_slicing.h"

#include "character/character_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace patapata {

void PrintTo(const Rect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace sheet_slicing {
namespace {

using Rects = std::vector<Rect>;

Rect box(int32_t x, int32_t y, int32_t w, int32_t h) {
  return Rect{x, y, x + w, y + h};
}

// A sheet of the background colour at any depth, with rectangles painted on it.
class Sheet {
 public:
  Sheet(int32_t width, int32_t height, int32_t bytesPerPixel)
      : width_(width), height_(height), bytes_(bytesPerPixel) {
    const uint32_t key = bytesPerPixel == 4 ? 0x00FF00FF : bytesPerPixel == 2 ? 0xF81F : 0xE3;
    pixels_.resize(std::size_t(width) * height * bytesPerPixel);
    paint(box(0, 0, width, height), key);
  }
  void paint(const Rect& r, uint32_t raw) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
      for (int32_t x = r.left; x < r.right; ++x) {
        std::memcpy(&pixels_[(std::size_t(y) * width_ + x) * bytes_], &raw, bytes_);
      }
    }
  }
  PixelView view() const {
    return PixelView{pixels_.data(), std::ptrdiff_t{width_} * bytes_, width_, height_, bytes_};
  }

 private:
  int32_t width_, height_, bytes_;
  std::vector<uint8_t> pixels_;
};

// Fault: cells that stick out of the sheet kept, the offset or spacing applied wrongly, a
// negative offset shifting the grid instead of leaving out the cells before the edge.
TEST(SliceBySize, KeepsTheCellsWhollyInsideTheSheet) {
  struct Case {
    const char* name;
    int32_t width, height;
    CellGrid grid;
    Rects expected;
  };
  const Case cases[] = {
      {"plain", 7, 4, {3, 2}, {box(0, 0, 3, 2), box(3, 0, 3, 2), box(0, 2, 3, 2), box(3, 2, 3, 2)}},
      {"offset and spacing",
       10,
       8,
       {2, 2, 1, 2, 1, 1},
       {box(1, 2, 2, 2), box(4, 2, 2, 2), box(7, 2, 2, 2), box(1, 5, 2, 2), box(4, 5, 2, 2),
        box(7, 5, 2, 2)}},
      {"negative offset", 10, 3, {3, 3, -2, 0, 1, 0}, {box(2, 0, 3, 3), box(6, 0, 3, 3)}},
      {"cell larger than the sheet", 4, 4, {5, 1}, {}},
      {"no cell size", 4, 4, {0, 1}, {}},
      {"negative spacing", 4, 4, {1, 1, 0, 0, -1, 0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Slices slices = sliceBySize(c.width, c.height, c.grid);
    EXPECT_EQ(slices.rects, c.expected);
    EXPECT_FALSE(slices.tooMany);
  }
}

// Fault: the remainder spread over the cells or given to the last one; counts larger than
// the sheet giving cells of no size; a grid of a million cells allocated.
TEST(SliceByCount, DividesTheSheetAndLeavesTheRemainderOut) {
  EXPECT_EQ(sliceByCount(11, 7, 3, 2).rects,
            (Rects{box(0, 0, 3, 3), box(3, 0, 3, 3), box(6, 0, 3, 3), box(0, 3, 3, 3),
                   box(3, 3, 3, 3), box(6, 3, 3, 3)}));
  EXPECT_EQ(sliceByCount(2, 2, 3, 1).rects, Rects{});
  EXPECT_EQ(sliceByCount(2, 2, 0, 1).rects, Rects{});
  const Slices huge = sliceBySize(1024, 1024, {1, 1});
  EXPECT_TRUE(huge.tooMany);
  EXPECT_TRUE(huge.rects.empty());
}

// Fault: pieces merged beyond the gap or not within it, a merged box not looked at again,
// the size filter applied before merging, reading order broken by boxes of one row with
// different tops (a row's bottom being its first box's), the background or the colour 0 misread,
// runs cut at the 64-pixel words of the mask, and the same at 8, 16 and 32 bits a pixel.
TEST(SliceByContent, FindsMergesFiltersAndOrdersThePieces) {
  struct Case {
    const char* name;
    int32_t width, height;
    Rects spots;  // painted in colour 0
    ContentOptions options;
    Rects expected;
  };
  const Case cases[] = {
      {"a column apart on the next row is apart",
       8,
       4,
       {box(1, 1, 1, 1), box(3, 2, 1, 1)},
       {},
       {box(1, 1, 1, 1), box(3, 2, 1, 1)}},
      {"diagonal and U shapes are one piece",
       9,
       6,
       {box(1, 1, 1, 1), box(2, 2, 1, 1), box(5, 0, 1, 4), box(7, 0, 1, 4), box(5, 4, 3, 1)},
       {},
       {box(1, 1, 2, 2), box(5, 0, 3, 5)}},
      {"three empty columns: apart at gap 2",
       12,
       3,
       {box(0, 0, 2, 2), box(5, 0, 2, 2)},
       {.gap = 2},
       {box(0, 0, 2, 2), box(5, 0, 2, 2)}},
      {"three empty columns: one at gap 3",
       12,
       3,
       {box(0, 0, 2, 2), box(5, 0, 2, 2)},
       {.gap = 3},
       {box(0, 0, 7, 2)}},
      {"three empty rows, diagonally: one at gap 3",
       12,
       12,
       {box(0, 0, 2, 2), box(3, 5, 2, 2)},
       {.gap = 3},
       {box(0, 0, 5, 7)}},
      {"a merged box reaches what neither part did",
       12,
       11,
       {box(0, 0, 2, 10), box(4, 0, 2, 2), box(8, 8, 2, 2)},
       {.gap = 2},
       {box(0, 0, 10, 10)}},
      {"small pieces dropped after merging",
       12,
       12,
       {box(0, 0, 2, 2), box(3, 0, 2, 2), box(8, 0, 2, 5), box(0, 6, 6, 1), box(10, 10, 1, 1)},
       {.gap = 1, .minWidth = 3, .minHeight = 2},
       {box(0, 0, 5, 2)}},
      {"reading order: a row is what overlaps it, the first box short",
       30,
       30,
       {box(20, 0, 4, 4), box(10, 2, 3, 10), box(0, 8, 4, 4), box(26, 13, 3, 3), box(0, 14, 4, 4)},
       {},
       {box(0, 8, 4, 4), box(10, 2, 3, 10), box(20, 0, 4, 4), box(0, 14, 4, 4), box(26, 13, 3, 3)}},
      {"runs across and up to the words of the mask",
       200,
       12,
       {box(60, 0, 10, 1), box(128, 3, 64, 1), box(195, 6, 5, 1), box(0, 9, 64, 1)},
       {},
       {box(60, 0, 10, 1), box(128, 3, 64, 1), box(195, 6, 5, 1), box(0, 9, 64, 1)}},
      {"a run to the end of a whole word", 256, 3, {box(200, 0, 56, 2)}, {}, {box(200, 0, 56, 2)}},
  };
  for (const Case& c : cases) {
    for (const int32_t bytes : {4, 2, 1}) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(bytes * 8) + " bits");
      Sheet sheet(c.width, c.height, bytes);
      for (const Rect& spot : c.spots) sheet.paint(spot, 0);
      const PixelView view = sheet.view();
      const Slices slices = sliceByContent(view, sheetKeyOf(view), c.options);
      EXPECT_EQ(slices.rects, c.expected);
      EXPECT_FALSE(slices.tooMany);
    }
  }
}

// Fault: a sheet of noise labelled until memory runs out.
TEST(SliceByContent, RefusesASheetOfMillionsOfPieces) {
  Sheet noise(2900, 2900, 1);
  for (int32_t y = 0; y < 2900; y += 2) {
    for (int32_t x = 0; x < 2900; x += 2) noise.paint(box(x, y, 1, 1), 0);
  }
  const Slices slices = sliceByContent(noise.view(), 0xE3, {});
  EXPECT_TRUE(slices.tooMany);
  EXPECT_TRUE(slices.rects.empty());
  EXPECT_TRUE(sliceByContent(PixelView{}, 0, {}).rects.empty());
}

// Fault: the rectangle not clipped to the sheet, a last row or column of content missed.
TEST(SnapToContent, GivesTheBoxOfTheDrawnPixelsInside) {
  Sheet sheet(20, 10, 4);
  sheet.paint(box(3, 2, 4, 3), 0x00123456);
  sheet.paint(box(8, 6, 1, 1), 0);
  sheet.paint(box(17, 8, 3, 2), 7);
  const struct {
    Rect rect;
    Rect expected;
  } cases[] = {
      {box(0, 0, 8, 6), box(3, 2, 4, 3)}, {box(0, 0, 10, 10), box(3, 2, 6, 5)},
      {box(4, 3, 2, 5), box(4, 3, 2, 2)}, {box(15, 5, 30, 30), box(17, 8, 3, 2)},
      {box(10, 0, 5, 5), Rect{}},         {box(-5, -5, 3, 3), Rect{}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rect.left) + ", " + std::to_string(c.rect.top));
    EXPECT_EQ(snapToContent(sheet.view(), 0x00FF00FF, c.rect), c.expected);
  }
}

// Fault: an edge taken as inclusive, cel 0 or empty rectangles reported.
TEST(CelsAt, GivesTheCelsUnderAPointInAscendingOrder) {
  std::array<CelRect, kCelCount> cels{};
  cels[0] = {0, 0, 50, 50};
  cels[7] = {10, 10, 10, 10};
  cels[3] = {15, 15, 10, 10};
  cels[9] = {30, 30, -10, -10};
  EXPECT_EQ(celsAt(cels, 16, 16), (std::vector<int32_t>{3, 7}));
  EXPECT_EQ(celsAt(cels, 10, 10), (std::vector<int32_t>{7}));
  EXPECT_EQ(celsAt(cels, 20, 12), (std::vector<int32_t>{}));
  EXPECT_EQ(celsAt(cels, 25, 24), (std::vector<int32_t>{}));
  EXPECT_EQ(celsAt(cels, 35, 35), (std::vector<int32_t>{}));
}

// Fault: decimal numbers past 99 offered, hexadecimal ones in lower case or one digit, used
// numbers outside 1..255 taken as used ones, the numbering past the last cel.
TEST(CelNumbers, NextFreeNumberItsTextAndNumberingInBothBases) {
  std::vector<int32_t> upTo99;
  for (int32_t n = 1; n <= 99; ++n) upTo99.push_back(n);
  const struct {
    std::vector<int32_t> used;
    CelBase base;
    std::optional<int32_t> expected;
    std::optional<std::string> text;
  } cases[] = {
      {{}, CelBase::Decimal, 1, "1"},
      {{1, 2, 3, 5}, CelBase::Decimal, 4, "4"},
      {{0, -1, 300, 1, 2, 3, 4, 5, 6, 7, 8, 9}, CelBase::Hexadecimal, 10, "0A"},
      {upTo99, CelBase::Decimal, std::nullopt, std::nullopt},
      {upTo99, CelBase::Hexadecimal, 100, "64"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.used.size());
    const std::optional<int32_t> free = nextFreeCel(c.used, c.base);
    EXPECT_EQ(free, c.expected);
    EXPECT_EQ(free ? celNumberText(*free, c.base) : std::nullopt, c.text);
  }
  EXPECT_EQ(celNumberText(255, CelBase::Hexadecimal), "FF");
  EXPECT_EQ(celNumberText(100, CelBase::Decimal), std::nullopt);
  EXPECT_EQ(celNumberText(0, CelBase::Hexadecimal), std::nullopt);

  const CelNumbers decimal = numberCels(3, 98, CelBase::Decimal);
  EXPECT_EQ(decimal.numbers, (std::vector<int32_t>{98, 99}));
  EXPECT_EQ(decimal.unnumbered, 1u);
  const CelNumbers hex = numberCels(3, 98, CelBase::Hexadecimal);
  EXPECT_EQ(hex.numbers, (std::vector<int32_t>{98, 99, 100}));
  EXPECT_EQ(hex.unnumbered, 0u);
  EXPECT_EQ(numberCels(2, 0, CelBase::Hexadecimal).unnumbered, 2u);
}

// Fault: a cel line the character file reader does not read back as the same cel.
TEST(CelLine, IsReadBackAsTheSameCel) {
  EXPECT_EQ(celLine(7, box(1, 2, 3, 4), CelBase::Decimal), "#7 1 2 3 4");
  EXPECT_EQ(celLine(7, Rect{}, CelBase::Decimal), std::nullopt);
  const std::pair<int32_t, Rect> cels[] = {{7, box(1, 2, 3, 4)}, {42, box(121, 0, 121, 271)}};
  for (const CelBase base : {CelBase::Decimal, CelBase::Hexadecimal}) {
    SCOPED_TRACE(base == CelBase::Decimal ? "decimal" : "hexadecimal");
    std::string file = base == CelBase::Hexadecimal ? "#DATA 16\n" : "";
    for (const auto& [cel, rect] : cels) file += *celLine(cel, rect, base) + "\n";
    const CharacterLoad load = readCharacter(file, "c.chp", {}, {});
    ASSERT_TRUE(load.completed());
    for (const auto& [cel, rect] : cels) EXPECT_EQ(load.character.cels[cel].rect(), rect) << cel;
  }
}

}  // namespace
}  // namespace sheet_slicing
}  // namespace patapata

namespace patapata::sheet_slicing {
namespace {

// The merge done the slow way: join any two boxes within the gap until none are.
Rects mergedSlowly(Rects boxes, int32_t gap) {
  for (bool joined = true; joined;) {
    joined = false;
    for (std::size_t i = 0; i < boxes.size() && !joined; ++i) {
      for (std::size_t j = i + 1; j < boxes.size() && !joined; ++j) {
        const Rect& a = boxes[i];
        const Rect& b = boxes[j];
        const int64_t dx =
            std::max({int64_t{0}, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
        const int64_t dy =
            std::max({int64_t{0}, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
        if (std::max(dx, dy) > gap) continue;
        boxes[i] = Rect{std::min(a.left, b.left), std::min(a.top, b.top),
                        std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
        boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(j));
        joined = true;
      }
    }
  }
  sortReadingOrder(boxes);
  return boxes;
}

// Fault: the grid of buckets missing a box that a grown box reaches (the cells it skips as
// looked at already, the cells a grown box is added to).
TEST(SliceByContent, MergesAsJoiningPairsUntilNoneAreWithinTheGap) {
  std::mt19937 random(3);
  for (int trial = 0; trial < 300; ++trial) {
    const int32_t width = 40 + static_cast<int32_t>(random() % 600);
    const int32_t height = 40 + static_cast<int32_t>(random() % 600);
    const int32_t gap = static_cast<int32_t>(random() % 70);
    SCOPED_TRACE(::testing::Message() << "trial " << trial << ", gap " << gap);
    Sheet sheet(width, height, 4);
    Rects spots;
    for (int n = static_cast<int>(random() % 150); n > 0; --n) {
      const int32_t x = static_cast<int32_t>(random() % (width - 1));
      const int32_t y = static_cast<int32_t>(random() % (height - 1));
      const int32_t w = 1 + static_cast<int32_t>(random() % std::min(12, width - 1 - x));
      const int32_t h = 1 + static_cast<int32_t>(random() % std::min(12, height - 1 - y));
      spots.push_back(box(x, y, w, h));
      sheet.paint(spots.back(), 1);
    }
    const PixelView view = sheet.view();
    EXPECT_EQ(sliceByContent(view, sheetKeyOf(view), {.gap = gap}).rects, mergedSlowly(spots, gap));
  }
}

}  // namespace
}  // namespace patapata::sheet_slicing
