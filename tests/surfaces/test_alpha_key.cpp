#include "surfaces/alpha_key.h"

#include "common/errors.h"
#include "surfaces/png_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patapata {
namespace {

struct Rgba {
  uint8_t r, g, b, a;
};

std::vector<uint8_t> bytesOf(const std::vector<Rgba>& pixels) {
  std::vector<uint8_t> bytes;
  for (const Rgba& p : pixels) bytes.insert(bytes.end(), {p.r, p.g, p.b, p.a});
  return bytes;
}

// The rule as a decoder's rows meet it, in both builds: the browser's page hands the core these
// rows, the desktop's libpng reader the same.
TEST(AlphaKey, RgbaRowsFollowTheColourKeyRule) {
  // The first free colour of the 5-6-5 display when only black (raw 0) is taken: raw 1.
  constexpr uint32_t kFirstFree = 0x000008;
  const struct {
    const char* name;
    int32_t width;
    int32_t height;
    std::vector<Rgba> pixels;
    std::vector<uint32_t> expected;
  } cases[] = {
      // Catches keying by alpha when the bottom-right pixel is opaque.
      {"opaque corner: alpha ignored",
       2,
       1,
       {{10, 20, 30, 0}, {40, 50, 60, 255}},
       {0x0A141E, 0x28323C}},
      // Catches a threshold off by one, and a key taken from another pixel than the last.
      {"transparent corner: below 128 takes its colour",
       3,
       1,
       {{1, 2, 3, 127}, {200, 100, 50, 128}, {0x80, 0x40, 0xC0, 0}},
       {0x8040C0, 0xC86432, 0x8040C0}},
      // Catches black outlines turned transparent with black transparent pixels.
      {"black outline: transparent pixels take a free colour",
       2,
       2,
       {{0, 0, 0, 255}, {0, 0, 0, 0}, {255, 255, 255, 255}, {0, 0, 0, 0}},
       {0x000000, kFirstFree, 0xFFFFFF, kFirstFree}},
      // Catches a mend that looks at 32 bits only: at 16 bits 0x000004 is black.
      {"a colour a 16-bit display shows alike",
       2,
       1,
       {{0, 0, 4, 255}, {0, 0, 0, 0}},
       {0x000004, kFirstFree}},
      // Catches opaque pixels with alpha taken for transparent ones by the mend's survey.
      {"transparent black beside transparent black only",
       2,
       1,
       {{0, 0, 0, 100}, {0, 0, 0, 0}},
       {0x000000, 0x000000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedImage image = keyRgbaRows(bytesOf(c.pixels), c.width, c.height);
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_FALSE(image.indexed());
    EXPECT_EQ(image.pixels, c.expected);
  }
}

// Rows from a decoder are input like a file: a size they do not fill, or one the readers refuse,
// is the reader's error and not a read past the rows.
TEST(AlphaKey, RowsThatDoNotMatchTheirSizeAreRefused) {
  const std::vector<uint8_t> onePixel(4, 0xFF);
  const struct {
    const char* name;
    int32_t width;
    int32_t height;
    std::size_t bytes;
  } cases[] = {
      {"no width", 0, 1, 0},
      {"negative height", 1, -1, 4},
      {"fewer bytes than pixels", 2, 1, 4},
      {"more bytes than pixels", 1, 1, 8},
      {"a part of a pixel", 1, 1, 5},
      {"a side longer than the PNG reader takes", static_cast<int32_t>(kMaxPngSide) + 1, 1, 4},
      {"more pixels than a sheet may have", 8193, 8193, 4},
  };
  const std::vector<uint8_t> bytes(8, 0xFF);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      (void)keyRgbaRows(std::span(bytes).first(c.bytes), c.width, c.height);
      ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), "ビットマップイメージが不正です");
    }
  }
  EXPECT_EQ(keyRgbaRows(onePixel, 1, 1).pixels, std::vector<uint32_t>{0xFFFFFF});
}

}  // namespace
}  // namespace patapata
