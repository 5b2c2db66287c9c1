#pragma once

#include "character/character.h"
#include "surfaces/geometry.h"
#include "surfaces/pixel_view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Cutting a sprite sheet into cels: by a grid, or around the pieces drawn on it; numbering the
// rectangles and writing them as cel lines of a character file.
//
// Every slicing gives its rectangles in reading order: rows from top to bottom, and left to
// right within a row. A row is a largest group of rectangles whose vertical extents
// [top, bottom) overlap, directly or through other rectangles of the group: the rectangles are
// sorted by top, and each joins the current row when its top is less than the largest bottom
// of the rectangles in the row so far, or else starts the next row; each row is then sorted by
// left (then top, right, bottom, so that the order is always the same).
namespace patapata::sheet_slicing {

/// The most rectangles a slicing gives. A sheet holds at most 255 cels; more rectangles than
/// this mean a grid of tiny cells or a picture that is no sprite sheet.
inline constexpr std::size_t kMaxSlices = std::size_t{1} << 18;

/// What a slicing found.
struct Slices {
  std::vector<Rect> rects;  ///< in reading order
  /// True when there would be more than kMaxSlices rectangles or, slicing by content, more
  /// than two million pieces to tell apart (noise, or a key that is not the background);
  /// `rects` is then empty.
  bool tooMany = false;
};

/// A grid of cells of one size. The first cell's top-left corner is at (offsetX, offsetY);
/// `spacingX` pixels lie between a cell and the next one to its right, `spacingY` between a
/// row of cells and the next.
struct CellGrid {
  int32_t cellWidth = 0;
  int32_t cellHeight = 0;
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  int32_t spacingX = 0;
  int32_t spacingY = 0;
};

/// The cells of `grid` that lie wholly inside a sheet of `sheetWidth` × `sheetHeight`; cells
/// that would stick out are left out. A cell size below 1, a negative spacing or a negative
/// sheet size give no cells.
Slices sliceBySize(int32_t sheetWidth, int32_t sheetHeight, const CellGrid& grid);

/// The sheet divided into `columns` × `rows` cells of equal size, sheetWidth / columns by
/// sheetHeight / rows (rounded down), from the top-left corner with no spacing. The pixels
/// the division leaves over at the right and at the bottom belong to no cell. No cells when
/// either count is below 1 or the cells would be less than a pixel wide or high.
Slices sliceByCount(int32_t sheetWidth, int32_t sheetHeight, int32_t columns, int32_t rows);

/// How slicing by content groups and keeps the pieces it finds.
struct ContentOptions {
  /// Boxes whose distance is at most this many pixels are merged. The distance of two boxes
  /// is the larger of the number of pixel columns between them and the number of pixel rows
  /// between them (0 when they overlap or touch in that direction). So 0 merges boxes that
  /// overlap or touch, edge or corner, and 2 also boxes with two empty columns between them.
  /// Negative counts as 0.
  int32_t gap = 0;
  /// Boxes narrower or lower than this, after merging, are dropped.
  int32_t minWidth = 1;
  int32_t minHeight = 1;
};

/// The boxes around the pieces drawn on `sheet`: the bounding boxes of the 8-connected regions
/// of pixels whose raw value is not `key`, merged while any two are within `options.gap` (a
/// merged box may reach others, which then join it), then filtered by the minimum size. A
/// sheet that is not readable gives no boxes. One pass over the pixels; the memory it takes
/// grows with the pieces, not the pixels.
Slices sliceByContent(const PixelView& sheet, uint32_t key, const ContentOptions& options);

/// Sorts rectangles into reading order (see above).
void sortReadingOrder(std::vector<Rect>& rects);

/// How cel numbers are written: as one or two decimal digits, or after "#DATA 16" as two
/// hexadecimal digits.
enum class CelBase { Decimal, Hexadecimal };

/// The highest cel number a character file can write in `base`: 99, or 255.
constexpr int32_t lastCel(CelBase base) {
  return base == CelBase::Decimal ? 99 : 255;
}

/// Cel numbers for rectangles in order.
struct CelNumbers {
  std::vector<int32_t> numbers;  ///< `first`, `first` + 1, ..., for as many as there are
  /// How many of the rectangles got no number, because the numbers ran out at lastCel.
  std::size_t unnumbered = 0;
};

/// Numbers `count` rectangles from `first` on, up to lastCel(base). A `first` outside
/// 1..lastCel(base) numbers none.
CelNumbers numberCels(std::size_t count, int32_t first, CelBase base);

/// The cel number as a cel line writes it: decimal ("7", "42") or two uppercase hexadecimal
/// digits ("0A"); nothing for a number outside 1..lastCel(base).
std::optional<std::string> celNumberText(int32_t cel, CelBase base);

/// The lowest cel number of 1..lastCel(base) that `used` does not hold; nothing when all are
/// used. Numbers in `used` outside that range are ignored.
std::optional<int32_t> nextFreeCel(std::span<const int32_t> used, CelBase base);

/// The cel line "#N x y w h" that defines cel `cel` as `rect`; nothing when the number cannot
/// be written in `base` or the rectangle is empty.
std::optional<std::string> celLine(int32_t cel, const Rect& rect, CelBase base);

/// The bounding box of the pixels inside `rect` (clipped to the sheet) whose raw value is not
/// `key`; empty (all zero) when there are none or the sheet is not readable.
Rect snapToContent(const PixelView& sheet, uint32_t key, const Rect& rect);

/// The cels 1..255 of a character whose rectangle holds the pixel (x, y), in ascending order.
std::vector<int32_t> celsAt(const std::array<CelRect, kCelCount>& cels, int32_t x, int32_t y);

}  // namespace patapata::sheet_slicing
