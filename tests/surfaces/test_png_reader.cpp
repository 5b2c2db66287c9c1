#include "surfaces/png_reader.h"

#include "common/errors.h"
#include "common/file_read.h"
#include "support/allocation_watch.h"
#include "support/png_chunks.h"
#include "surfaces/bitmap_pixels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

const std::string kData = std::string(PATAPATA_TEST_DATA) + "/";
const std::string kBadImage = "ビットマップイメージが不正です";

std::vector<uint8_t> dataFile(const std::string& name) {
  const auto bytes = readWholeFile(kData + name);
  return bytes ? std::vector<uint8_t>(bytes->begin(), bytes->end()) : std::vector<uint8_t>{};
}

// Every prefix of a valid file, and every single-byte change of it with the chunk CRCs made
// right again (so that the change reaches the decoding), either decodes to a picture within
// the limits or fails with the reader's message: libpng's longjmp never escapes, and ASan
// watches the buffers in the asan preset.
TEST(PngReader, TruncationsAndCorruptionsFailWithTheReadersMessage) {
  for (const char* seed :
       {"png/palette_4bit_trns_br_transparent.png", "png/interlaced_rgba_16bit.png",
        "png/grey_alpha_8bit_br_transparent.png", "png/rgb_8bit_trns_br_transparent.png"}) {
    SCOPED_TRACE(seed);
    const std::vector<uint8_t> file = dataFile(seed);
    ASSERT_FALSE(file.empty());
    std::vector<std::vector<uint8_t>> variants;
    for (std::size_t n = 0; n < file.size(); ++n)
      variants.emplace_back(file.begin(), file.begin() + n);
    for (std::size_t at = 8; at < file.size(); ++at) {
      for (const int value : {0x00, 0x7F, 0x80, 0xFF, file[at] ^ 0x01}) {
        auto changed = file;
        changed[at] = static_cast<uint8_t>(value);
        testing::fixPngChunkCrcs(changed);
        variants.push_back(std::move(changed));
      }
    }
    int decoded = 0;
    for (const auto& variant : variants) {
      try {
        const DecodedImage image = decodePng(variant);
        ++decoded;
        EXPECT_GT(image.width, 0);
        EXPECT_GT(image.height, 0);
        EXPECT_EQ(image.size(), static_cast<std::size_t>(image.width) * image.height);
        EXPECT_LE(static_cast<int64_t>(image.size()), kMaxBitmapPixels);
      } catch (const Error& e) {
        EXPECT_EQ(e.text(), kBadImage);
      }
    }
    EXPECT_GT(decoded, 0) << "no variant decoded: the CRCs were not made right";
  }
}

// Pictures past the limits, or larger than their file could inflate to, are refused before
// memory of their size is taken.
TEST(PngReader, OversizedPicturesAreRefusedBeforeTheirMemoryIsTaken) {
  for (const char* name :
       {"hostile/png_bomb_past_pixel_limit.png", "hostile/png_too_little_data_for_its_size.png",
        "hostile/png_huge_dimensions.png", "hostile/png_side_past_limit.png"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = dataFile(name);
    ASSERT_FALSE(file.empty());
    const testing::AllocationWatch watch;
    EXPECT_THROW(decodePng(file), Error);
    EXPECT_LT(watch.largest(), std::size_t{1} << 20);
  }
}

}  // namespace
}  // namespace patapata
