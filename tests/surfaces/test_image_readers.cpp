#include "surfaces/bmp_reader.h"
#include "surfaces/dib_reader.h"
#include "surfaces/image_readers.h"

#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

namespace patapata {
namespace {

using testing::makeTrueColorBmp;

TEST(BmpReader, DecodesTrueColourBottomUpRows) {
  const std::vector<uint32_t> colours{0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x000001};
  for (const uint16_t bits : {uint16_t{24}, uint16_t{32}}) {
    SCOPED_TRACE(bits);
    const auto file = makeTrueColorBmp(3, 2, colours, bits);
    for (const auto decode : {&decodeBmp, &decodeDib}) {
      const DecodedImage image = decode(file);
      EXPECT_EQ(image.width, 3);
      EXPECT_EQ(image.height, 2);
      EXPECT_EQ(image.pixels, colours);
    }
  }
}

}  // namespace
}  // namespace patapata
