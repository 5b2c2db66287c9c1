#include "character/sheet_slicing.h"

#include "surfaces/key_mask.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <utility>

namespace patapata::sheet_slicing {

namespace {

// Where the cells of one direction start: `count` cells of `size` pixels, `step` apart from
// `first` on.
struct Positions {
  int64_t first = 0;
  int64_t step = 1;
  int64_t count = 0;
};

// The cells of one direction that lie wholly inside [0, extent).
Positions fitting(int32_t offset, int32_t size, int32_t spacing, int32_t extent) {
  Positions p;
  p.step = int64_t{size} + spacing;
  // Cells before the sheet's edge are left out as those past its far edge are.
  const int64_t skipped = offset < 0 ? (-int64_t{offset} + p.step - 1) / p.step : 0;
  p.first = offset + skipped * p.step;
  const int64_t room = int64_t{extent} - size - p.first;
  p.count = room < 0 ? 0 : room / p.step + 1;
  return p;
}

Slices cells(const Positions& columns, const Positions& rows, int32_t width, int32_t height) {
  Slices slices;
  if (columns.count == 0 || rows.count == 0) return slices;
  // Both counts are at most the sheet's extent, so their product does not overflow.
  if (static_cast<uint64_t>(columns.count) * static_cast<uint64_t>(rows.count) > kMaxSlices) {
    slices.tooMany = true;
    return slices;
  }
  slices.rects.reserve(static_cast<std::size_t>(columns.count * rows.count));
  // Row by row, left to right: already reading order, as the cells of a row share top and
  // bottom and the rows do not overlap.
  for (int64_t r = 0; r < rows.count; ++r) {
    const auto top = static_cast<int32_t>(rows.first + r * rows.step);
    for (int64_t c = 0; c < columns.count; ++c) {
      const auto left = static_cast<int32_t>(columns.first + c * columns.step);
      slices.rects.push_back(Rect{left, top, left + width, top + height});
    }
  }
  return slices;
}

// Pieces the labelling may start over the whole sheet, each at 20 bytes. A piece starts at
// every top of a shape, so a sprite sheet needs a few per sprite; a photograph or noise (or a
// key that is not the background) needs far more, and is refused.
constexpr std::size_t kMaxRegionLabels = std::size_t{1} << 21;

// A run of pixels of one row that are not the key, [begin, end), and the region it belongs to.
struct Run {
  int32_t begin = 0;
  int32_t end = 0;
  int32_t label = 0;
};

// The runs of a row from its mask of pixels that are not the key: stretches of background and
// of colour a whole word long cost one test a word.
void findRuns(const std::vector<uint64_t>& mask, int32_t width, std::vector<Run>& runs) {
  runs.clear();
  bool inRun = false;
  int32_t begin = 0;
  for (std::size_t w = 0; w < mask.size(); ++w) {
    const uint64_t bits = mask[w];
    if (bits == (inRun ? ~uint64_t{0} : 0)) continue;
    const auto base = static_cast<int32_t>(w * 64);
    // The next change is the lowest set bit of the word, or of its complement inside a run.
    uint64_t changes = inRun ? ~bits : bits;
    while (changes != 0) {
      const int at = std::countr_zero(changes);
      if (inRun) {
        runs.push_back(Run{begin, base + at, 0});
      } else {
        begin = base + at;
      }
      inRun = !inRun;
      const uint64_t rest = at == 63 ? 0 : ~uint64_t{0} << (at + 1);
      changes = (inRun ? ~bits : bits) & rest;
    }
  }
  // The bits past the row's end are clear, so only a run that reaches a whole word's end
  // is still open.
  if (inRun) runs.push_back(Run{begin, width, 0});
}

Rect unite(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// The regions found so far, as a union-find forest whose roots hold their bounding boxes.
class Regions {
 public:
  int32_t add(const Rect& box) {
    parent_.push_back(static_cast<int32_t>(parent_.size()));
    boxes_.push_back(box);
    return parent_.back();
  }
  std::size_t count() const { return parent_.size(); }

  int32_t root(int32_t label) {
    while (parent_[label] != label) {
      parent_[label] = parent_[parent_[label]];
      label = parent_[label];
    }
    return label;
  }
  // Joins two roots; returns the root of the joined region.
  int32_t join(int32_t a, int32_t b) {
    if (a > b) std::swap(a, b);
    parent_[b] = a;
    boxes_[a] = unite(boxes_[a], boxes_[b]);
    return a;
  }
  void extend(int32_t root, int32_t begin, int32_t end, int32_t bottom) {
    Rect& box = boxes_[root];
    box.left = std::min(box.left, begin);
    box.right = std::max(box.right, end);
    box.bottom = bottom;
  }
  std::vector<Rect> rootBoxes() const {
    std::vector<Rect> boxes;
    for (std::size_t i = 0; i < parent_.size(); ++i) {
      if (parent_[i] == static_cast<int32_t>(i)) boxes.push_back(boxes_[i]);
    }
    return boxes;
  }

 private:
  std::vector<int32_t> parent_;
  std::vector<Rect> boxes_;
};

// The bounding boxes of the 8-connected regions of pixels that are not `key`, in one pass
// that keeps only the runs of the row above; nothing when there are too many.
std::optional<std::vector<Rect>> regionBoxes(const PixelView& sheet, uint32_t key) {
  Regions regions;
  std::vector<uint64_t> mask(key_mask::words(sheet.width));
  std::vector<Run> above;
  std::vector<Run> runs;
  for (int32_t y = 0; y < sheet.height; ++y) {
    key_mask::mark(sheet.row(y), sheet.width, sheet.bytesPerPixel, key, mask.data());
    findRuns(mask, sheet.width, runs);
    std::size_t first = 0;  // the first run above that can still touch a run of this row
    for (Run& run : runs) {
      // A run above touches this one, diagonals included, when it reaches from begin - 1 to
      // end (inclusive).
      while (first < above.size() && above[first].end < run.begin) ++first;
      int32_t label = -1;
      for (std::size_t k = first; k < above.size() && above[k].begin <= run.end; ++k) {
        const int32_t other = regions.root(above[k].label);
        label = label < 0 || label == other ? other : regions.join(label, other);
      }
      if (label < 0) {
        if (regions.count() == kMaxRegionLabels) return std::nullopt;
        label = regions.add(Rect{run.begin, y, run.end, y + 1});
      } else {
        regions.extend(label, run.begin, run.end, y + 1);
      }
      run.label = label;
    }
    std::swap(above, runs);
  }
  return regions.rootBoxes();
}

// Merges boxes that lie within `gap` of each other until no two do. The boxes sit in a grid
// of buckets by the cells they cover. Each box in turn grows: it takes in every box within
// the gap of it, and looks again, but only in the cells its grown reach adds, until nothing
// more comes; then it goes back into the grid. So a box never meets one it already passed
// over, and a merge that spreads over the sheet costs about its area, not its area times the
// boxes it takes in.
class BoxMerger {
 public:
  BoxMerger(std::vector<Rect> boxes, int32_t gap, int32_t width, int32_t height)
      : boxes_(std::move(boxes)),
        gap_(gap),
        width_(width),
        height_(height),
        alive_(boxes_.size(), 1),
        seen_(boxes_.size(), 0) {
    // Cells about as large as the reach of a small box; never so many that the buckets
    // outweigh the boxes.
    cell_ = std::max<int64_t>(32, int64_t{gap} + 1);
    while (cellColumns() * cellRows() > (int64_t{1} << 16)) cell_ *= 2;
    buckets_.resize(static_cast<std::size_t>(cellColumns() * cellRows()));
    for (std::size_t i = 0; i < boxes_.size(); ++i) insert(static_cast<int32_t>(i), nullptr);
  }

  std::vector<Rect> merged() {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      if (alive_[i]) grow(static_cast<int32_t>(i));
    }
    std::vector<Rect> result;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      if (alive_[i]) result.push_back(boxes_[i]);
    }
    return result;
  }

 private:
  // The pixels, inclusive at both ends, of which a box within the gap of another holds at
  // least one: the other's pixels widened by gap + 1 on every side, since a box with `gap`
  // empty columns between it and the other still counts.
  struct Reach {
    int64_t left, top, right, bottom;
    bool holdsCell(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const {
      return x0 >= left && x1 <= right && y0 >= top && y1 <= bottom;
    }
    bool meets(const Rect& r) const {
      return r.left <= right && r.right - 1 >= left && r.top <= bottom && r.bottom - 1 >= top;
    }
  };
  Reach reachOf(const Rect& r) const {
    return Reach{int64_t{r.left} - gap_ - 1, int64_t{r.top} - gap_ - 1, int64_t{r.right} + gap_,
                 int64_t{r.bottom} + gap_};
  }

  int64_t cellColumns() const { return (int64_t{width_} + cell_ - 1) / cell_; }
  int64_t cellRows() const { return (int64_t{height_} + cell_ - 1) / cell_; }

  // Calls fn(bucket) for every cell that holds a pixel of [x0, x1] × [y0, y1] (clipped to the
  // sheet) and does not lie wholly inside `done`.
  template <typename Fn>
  void forCells(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Reach* done, Fn fn) {
    x0 = std::max<int64_t>(x0, 0);
    y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, width_ - 1);
    y1 = std::min<int64_t>(y1, height_ - 1);
    if (x0 > x1 || y0 > y1) return;
    const int64_t columns = cellColumns();
    for (int64_t cy = y0 / cell_; cy <= y1 / cell_; ++cy) {
      const int64_t top = cy * cell_;
      const int64_t bottom = std::min<int64_t>(top + cell_, height_) - 1;
      for (int64_t cx = x0 / cell_; cx <= x1 / cell_; ++cx) {
        const int64_t left = cx * cell_;
        const int64_t right = std::min<int64_t>(left + cell_, width_) - 1;
        if (done != nullptr && done->holdsCell(left, top, right, bottom)) continue;
        fn(buckets_[static_cast<std::size_t>(cy * columns + cx)]);
      }
    }
  }

  // Puts box `id` into the buckets of its cells, leaving out those of `already` (the cells
  // it was put in before it grew).
  void insert(int32_t id, const Rect* already) {
    const Rect& r = boxes_[id];
    Reach skip{};
    if (already != nullptr) {
      // Cells of `already` hold it; a cell wholly inside `already`'s cell range is one of them.
      skip = Reach{already->left / cell_ * cell_, already->top / cell_ * cell_,
                   (int64_t{already->right} - 1) / cell_ * cell_ + cell_ - 1,
                   (int64_t{already->bottom} - 1) / cell_ * cell_ + cell_ - 1};
    }
    forCells(r.left, r.top, int64_t{r.right} - 1, int64_t{r.bottom} - 1,
             already != nullptr ? &skip : nullptr,
             [id](std::vector<int32_t>& bucket) { bucket.push_back(id); });
  }

  void grow(int32_t id) {
    alive_[id] = 0;  // out of the grid while it grows, so that it does not find itself
    const Rect start = boxes_[id];
    Rect box = start;
    std::optional<Reach> done;
    for (;;) {
      const Reach reach = reachOf(box);
      ++stamp_;
      Rect grown = box;
      bool took = false;
      forCells(reach.left, reach.top, reach.right, reach.bottom, done ? &*done : nullptr,
               [&](const std::vector<int32_t>& bucket) {
                 for (const int32_t other : bucket) {
                   if (!alive_[other] || seen_[other] == stamp_) continue;
                   seen_[other] = stamp_;
                   if (!reach.meets(boxes_[other])) continue;
                   alive_[other] = 0;
                   grown = unite(grown, boxes_[other]);
                   took = true;
                 }
               });
      done = reach;
      if (!took) break;
      box = grown;
    }
    boxes_[id] = box;
    alive_[id] = 1;
    if (box != start) insert(id, &start);
  }

  std::vector<Rect> boxes_;
  int32_t gap_;
  int32_t width_;
  int32_t height_;
  std::vector<uint8_t> alive_;
  std::vector<uint32_t> seen_;  ///< the look a box was last met in, so each is tested once
  uint32_t stamp_ = 0;
  int64_t cell_ = 32;
  std::vector<std::vector<int32_t>> buckets_;
};

bool readingBefore(const Rect& a, const Rect& b) {
  if (a.left != b.left) return a.left < b.left;
  if (a.top != b.top) return a.top < b.top;
  if (a.right != b.right) return a.right < b.right;
  return a.bottom < b.bottom;
}

}  // namespace

Slices sliceBySize(int32_t sheetWidth, int32_t sheetHeight, const CellGrid& grid) {
  if (grid.cellWidth < 1 || grid.cellHeight < 1 || grid.spacingX < 0 || grid.spacingY < 0 ||
      sheetWidth < 0 || sheetHeight < 0) {
    return {};
  }
  return cells(fitting(grid.offsetX, grid.cellWidth, grid.spacingX, sheetWidth),
               fitting(grid.offsetY, grid.cellHeight, grid.spacingY, sheetHeight), grid.cellWidth,
               grid.cellHeight);
}

Slices sliceByCount(int32_t sheetWidth, int32_t sheetHeight, int32_t columns, int32_t rows) {
  if (columns < 1 || rows < 1 || sheetWidth < columns || sheetHeight < rows) return {};
  const int32_t width = sheetWidth / columns;
  const int32_t height = sheetHeight / rows;
  return cells(Positions{0, width, columns}, Positions{0, height, rows}, width, height);
}

Slices sliceByContent(const PixelView& sheet, uint32_t key, const ContentOptions& options) {
  Slices slices;
  if (!sheet.isReadable()) return slices;
  std::optional<std::vector<Rect>> boxes = regionBoxes(sheet, key);
  if (!boxes) {
    slices.tooMany = true;
    return slices;
  }
  // A gap as wide as the sheet already reaches every box.
  const int32_t gap = std::clamp(options.gap, 0, std::max(sheet.width, sheet.height));
  std::vector<Rect> merged = BoxMerger(std::move(*boxes), gap, sheet.width, sheet.height).merged();
  std::erase_if(merged, [&](const Rect& r) {
    return r.width() < options.minWidth || r.height() < options.minHeight;
  });
  if (merged.size() > kMaxSlices) {
    slices.tooMany = true;
    return slices;
  }
  sortReadingOrder(merged);
  slices.rects = std::move(merged);
  return slices;
}

void sortReadingOrder(std::vector<Rect>& rects) {
  std::sort(rects.begin(), rects.end(), [](const Rect& a, const Rect& b) {
    return a.top != b.top ? a.top < b.top : readingBefore(a, b);
  });
  auto rowStart = rects.begin();
  while (rowStart != rects.end()) {
    int32_t bottom = rowStart->bottom;
    auto rowEnd = rowStart + 1;
    for (; rowEnd != rects.end() && rowEnd->top < bottom; ++rowEnd) {
      bottom = std::max(bottom, rowEnd->bottom);
    }
    std::sort(rowStart, rowEnd, readingBefore);
    rowStart = rowEnd;
  }
}

CelNumbers numberCels(std::size_t count, int32_t first, CelBase base) {
  CelNumbers numbers;
  const int32_t last = lastCel(base);
  const std::size_t available =
      first < 1 || first > last ? 0 : static_cast<std::size_t>(last - first + 1);
  const std::size_t numbered = std::min(count, available);
  numbers.numbers.reserve(numbered);
  for (std::size_t i = 0; i < numbered; ++i) {
    numbers.numbers.push_back(first + static_cast<int32_t>(i));
  }
  numbers.unnumbered = count - numbered;
  return numbers;
}

std::optional<std::string> celNumberText(int32_t cel, CelBase base) {
  if (cel < 1 || cel > lastCel(base)) return std::nullopt;
  if (base == CelBase::Decimal) return std::to_string(cel);
  constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[cel >> 4], kDigits[cel & 15]};
}

std::optional<int32_t> nextFreeCel(std::span<const int32_t> used, CelBase base) {
  std::array<bool, 256> taken{};
  for (const int32_t cel : used) {
    if (cel >= 1 && cel <= 255) taken[static_cast<std::size_t>(cel)] = true;
  }
  for (int32_t cel = 1; cel <= lastCel(base); ++cel) {
    if (!taken[static_cast<std::size_t>(cel)]) return cel;
  }
  return std::nullopt;
}

std::optional<std::string> celLine(int32_t cel, const Rect& rect, CelBase base) {
  const std::optional<std::string> number = celNumberText(cel, base);
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  if (!number || rect.isEmpty() || rect.width() > kLargest || rect.height() > kLargest) {
    return std::nullopt;
  }
  return "#" + *number + " " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
         std::to_string(rect.width()) + " " + std::to_string(rect.height());
}

Rect snapToContent(const PixelView& sheet, uint32_t key, const Rect& rect) {
  if (!sheet.isReadable()) return Rect{};
  const int32_t x0 = std::max(rect.left, 0);
  const int32_t y0 = std::max(rect.top, 0);
  const int32_t x1 = std::min(rect.right, sheet.width);
  const int32_t y1 = std::min(rect.bottom, sheet.height);
  if (x0 >= x1 || y0 >= y1) return Rect{};
  Rect box{x1, y1, x0, y0};  // grows from nothing
  for (int32_t y = y0; y < y1; ++y) {
    int32_t x = x0;
    while (x < x1 && sheet.raw(x, y) == key) ++x;
    if (x == x1) continue;
    box.left = std::min(box.left, x);
    // Only what lies right of the box so far can widen it.
    int32_t right = x1;
    const int32_t stop = std::max(box.right, x + 1);
    while (right > stop && sheet.raw(right - 1, y) == key) --right;
    box.right = std::max(box.right, right);
    box.top = std::min(box.top, y);
    box.bottom = y + 1;
  }
  return box.isEmpty() ? Rect{} : box;
}

std::vector<int32_t> celsAt(const std::array<CelRect, kCelCount>& cels, int32_t x, int32_t y) {
  std::vector<int32_t> found;
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    const CelRect& r = cels[static_cast<std::size_t>(cel)];
    if (x >= r.x && x < r.right() && y >= r.y && y < r.bottom()) found.push_back(cel);
  }
  return found;
}

}  // namespace patapata::sheet_slicing
