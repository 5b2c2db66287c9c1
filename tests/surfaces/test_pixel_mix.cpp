#include "surfaces/pixel_mix.h"

#include "support/instruction_sets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace patapata::pixel_mix {
namespace {

pixel_rows::RowTriple rowsOf(std::vector<uint8_t>& dst, const std::vector<uint8_t>& under,
                             const std::vector<uint8_t>& over, int32_t pitch, int32_t width,
                             int32_t height) {
  return {.dst = dst.data(),
          .dstPitch = pitch,
          .under = under.data(),
          .underPitch = pitch,
          .over = over.data(),
          .overPitch = pitch,
          .width = width,
          .height = height};
}

// The vector forms must equal the one-at-a-time references on rows shorter than a vector, on
// either side of a multiple of one, and when mixing in place, where a vector that overlapped
// the one before would mix some bytes twice; the bytes between rows stay.
TEST(PixelMix, TheVectorFormEqualsTheScalarReference) {
  std::mt19937 random(20240612);
  const auto byte = [&] { return static_cast<uint8_t>(random()); };
  testing::forEachInstructionSet([&](const char*) {
    for (const int32_t bytes : {2, 3, 4}) {
      for (const int32_t width : {1, 5, 7, 8, 15, 16, 17, 33, 64, 121}) {
        for (const bool inPlace : {false, true}) {
          SCOPED_TRACE(::testing::Message()
                       << bytes << " bytes, " << width << " wide" << (inPlace ? ", in place" : ""));
          const int32_t height = 3;
          const int32_t pitch = width * bytes + 5;
          std::vector<uint8_t> under(static_cast<std::size_t>(pitch * height));
          std::vector<uint8_t> over(under.size());
          std::vector<uint8_t> dst(under.size());
          for (auto* v : {&under, &over, &dst}) {
            for (uint8_t& b : *v) b = byte();
          }
          const int32_t weight = static_cast<int32_t>(random() % 257);
          std::vector<uint8_t> expected = inPlace ? under : dst;
          std::vector<uint8_t> expectedUnder = under;
          const auto want =
              rowsOf(expected, inPlace ? expected : expectedUnder, over, pitch, width, height);
          std::vector<uint8_t> got = inPlace ? under : dst;
          const auto rows = rowsOf(got, inPlace ? got : under, over, pitch, width, height);
          if (bytes == 2) {
            scalar::mixRgb565(want, weight);
            mixRgb565(rows, weight);
          } else {
            scalar::mixBytes(want, bytes, weight);
            mixBytes(rows, bytes, weight);
          }
          EXPECT_EQ(got, expected);
        }
      }
    }
  });
}

// The weight is the opacity of the picture drawn over: none, about 30 %, all of it; each
// channel rounds to the nearest value, also a 5-6-5 pixel's at its own width.
TEST(PixelMix, ChannelsTakeTheWeightOfThePictureOver) {
  struct Case {
    int32_t weight;
    uint32_t under;
    uint32_t over;
    uint32_t mixed32;
    uint16_t under565;
    uint16_t over565;
    uint16_t mixed565;
  };
  const Case cases[] = {
      {0, 0x00102030, 0x00FFFFFF, 0x00102030, 0x1234, 0xFFFF, 0x1234},
      {256, 0x00102030, 0x00FFFFFF, 0x00FFFFFF, 0x1234, 0xFFFF, 0xFFFF},
      // (0x10 · 179 + 0xFF · 77) / 256 = 87.9 → 0x58; 0x20 → 99.1 → 0x63; 0x30 → 110.3 → 0x6E;
      // 5-6-5 white at 77/256: 31 → 9.3 → 9, 63 → 18.9 → 19.
      {77, 0x00102030, 0x00FFFFFF, 0x0058636E, 0x0000, 0xFFFF, 0x4A69},
      {128, 0x00000000, 0x000000FF, 0x00000080, 0x0000, 0x001F, 0x0010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.weight);
    std::vector<uint8_t> under(4);
    std::vector<uint8_t> over(4);
    std::vector<uint8_t> dst(4);
    std::memcpy(under.data(), &c.under, 4);
    std::memcpy(over.data(), &c.over, 4);
    mixBytes(rowsOf(dst, under, over, 4, 1, 1), 4, c.weight);
    uint32_t mixed = 0;
    std::memcpy(&mixed, dst.data(), 4);
    EXPECT_EQ(mixed, c.mixed32);

    std::memcpy(under.data(), &c.under565, 2);
    std::memcpy(over.data(), &c.over565, 2);
    mixRgb565(rowsOf(dst, under, over, 2, 1, 1), c.weight);
    uint16_t mixed565 = 0;
    std::memcpy(&mixed565, dst.data(), 2);
    EXPECT_EQ(mixed565, c.mixed565);
  }
}

}  // namespace
}  // namespace patapata::pixel_mix
