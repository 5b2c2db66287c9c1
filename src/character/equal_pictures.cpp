#include "character/equal_pictures.h"

#include <cstdint>
#include <cstring>
#include <numeric>
#include <unordered_map>

namespace patapata {

namespace {

bool inside(const PixelView& sheet, const CelRect& r) {
  return r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.right() <= sheet.width &&
         r.bottom() <= sheet.height;
}

const uint8_t* rowOf(const PixelView& sheet, const CelRect& r, int32_t y) {
  return sheet.row(r.y + y) + std::ptrdiff_t{r.x} * sheet.bytesPerPixel;
}

// FNV-1a over the size and the pixels' bytes: rectangles that differ are told apart by it
// almost always, so that few are compared byte by byte.
uint64_t hashOf(const PixelView& sheet, const CelRect& r) {
  uint64_t h = 0xcbf29ce484222325u;
  const auto mix = [&h](uint64_t v) {
    h ^= v;
    h *= 0x100000001b3u;
  };
  mix(static_cast<uint64_t>(r.width));
  mix(static_cast<uint64_t>(r.height));
  const std::size_t rowBytes = static_cast<std::size_t>(r.width) * sheet.bytesPerPixel;
  for (int32_t y = 0; y < r.height; ++y) {
    const uint8_t* p = rowOf(sheet, r, y);
    std::size_t i = 0;
    for (; i + 8 <= rowBytes; i += 8) {
      uint64_t word = 0;
      std::memcpy(&word, p + i, 8);
      mix(word);
    }
    for (; i < rowBytes; ++i) mix(p[i]);
  }
  return h;
}

bool samePixels(const PixelView& sheet, const CelRect& a, const CelRect& b) {
  if (a.width != b.width || a.height != b.height) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(a.width) * sheet.bytesPerPixel;
  for (int32_t y = 0; y < a.height; ++y) {
    if (std::memcmp(rowOf(sheet, a, y), rowOf(sheet, b, y), rowBytes) != 0) return false;
  }
  return true;
}

}  // namespace

std::vector<std::size_t> firstEqualPictures(const PixelView& sheet,
                                            std::span<const CelRect> rects) {
  std::vector<std::size_t> first(rects.size());
  std::iota(first.begin(), first.end(), std::size_t{0});
  if (!sheet.isReadable()) return first;
  // The rectangles kept so far, by the hash of their pixels.
  std::unordered_multimap<uint64_t, std::size_t> kept;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (!inside(sheet, rects[i])) continue;
    const uint64_t h = hashOf(sheet, rects[i]);
    const auto [begin, end] = kept.equal_range(h);
    for (auto it = begin; it != end; ++it) {
      if (samePixels(sheet, rects[it->second], rects[i])) {
        first[i] = it->second;
        break;
      }
    }
    if (first[i] == i) kept.emplace(h, i);
  }
  return first;
}

}  // namespace patapata
