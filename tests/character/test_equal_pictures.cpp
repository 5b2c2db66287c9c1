#include "character/equal_pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patapata {
namespace {

// Catches alike pictures left apart, unlike ones merged (a size ignored, one pixel missed),
// and rectangles reaching out of the picture read or merged.
TEST(EqualPictures, OnlyWhollyInsideRectanglesOfEqualPixelsMerge) {
  // 8 × 4 pixels in four pictures of 2 × 4: columns 4-5 repeat 0-1, 2-3 differ everywhere,
  // 6-7 differ from 0-1 in their last pixel only.
  std::vector<uint32_t> pixels(32);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      pixels[static_cast<std::size_t>(y * 8 + x)] = (x / 2 == 1 ? 100u : 0u) + 10u * y + x % 2;
    }
  }
  pixels[31] = 999;
  const PixelView sheet{reinterpret_cast<const uint8_t*>(pixels.data()), 32, 8, 4, 4};
  const std::vector<CelRect> rects = {
      {0, 0, 2, 4}, {2, 0, 2, 4}, {4, 0, 2, 4}, {6, 0, 2, 4},
      {0, 0, 2, 3}, {4, 0, 2, 3}, {7, 0, 2, 4}, {-1, 0, 2, 4},
  };
  EXPECT_EQ(firstEqualPictures(sheet, rects), (std::vector<std::size_t>{0, 1, 0, 3, 4, 4, 6, 7}));
  EXPECT_EQ(firstEqualPictures(PixelView{}, rects),
            (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
}  // namespace patapata
