#include "common/file_read.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_readers.h"
#include "surfaces/pixel_format.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Each file of the corpus in tests/data/bmp/ decoded by our readers, against the pixels an
// independent decoder (ImageMagick) gave for it; tests/data/make_bmp_corpus.py writes both.
namespace patapata {
namespace {

const std::string kCorpus = std::string(PATAPATA_TEST_DATA) + "/bmp/";

struct GoldenCase {
  std::string file;
  int32_t width = 0;
  int32_t height = 0;
  /// High bits of each channel the reference decoder is trusted with (see the script).
  int trustedBits = 8;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
  *os << c.file;
}

/// Keeps the trusted high bits of each channel of 0x00RRGGBB.
uint32_t trusted(uint32_t rgb, int bits) {
  const uint32_t channel = (0xFFu << (8 - bits)) & 0xFFu;
  return rgb & ((channel << 16) | (channel << 8) | channel);
}

std::vector<GoldenCase> loadManifest() {
  std::vector<GoldenCase> cases;
  std::ifstream in(kCorpus + "manifest.txt");
  GoldenCase c;
  while (in >> c.file >> c.width >> c.height >> c.trustedBits) cases.push_back(c);
  return cases;
}

std::vector<uint32_t> goldenPixels(const GoldenCase& c) {
  const std::string stem = c.file.substr(0, c.file.rfind('.'));
  const auto bytes = readWholeFile(kCorpus + stem + ".rgb");
  std::vector<uint32_t> pixels;
  if (!bytes) return pixels;
  for (std::size_t i = 0; i + 2 < bytes->size(); i += 3) {
    pixels.push_back((uint32_t{(*bytes)[i]} << 16) | (uint32_t{(*bytes)[i + 1]} << 8) |
                     (*bytes)[i + 2]);
  }
  return pixels;
}

class GoldenImage : public ::testing::TestWithParam<GoldenCase> {};

TEST(GoldenCorpus, CoversEveryKindAndHasEnoughFiles) {
  const auto cases = loadManifest();
  EXPECT_GE(cases.size(), 30u);
  int dib = 0;
  for (const auto& c : cases) dib += fileExtension(c.file) == "dib" ? 1 : 0;
  EXPECT_GE(dib, 5);
}

TEST_P(GoldenImage, DecodesLikeTheIndependentDecoder) {
  const GoldenCase& c = GetParam();
  const auto file = readWholeFile(kCorpus + c.file);
  ASSERT_TRUE(file.has_value());
  const ImageReader* reader = imageReaderFor(fileExtension(c.file));
  ASSERT_NE(reader, nullptr);
  const DecodedImage image = reader->decode(*file);
  ASSERT_EQ(image.width, c.width);
  ASSERT_EQ(image.height, c.height);
  const std::vector<uint32_t> expected = goldenPixels(c);
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.width) * c.height);
  const std::vector<uint32_t> colours = image.rgb();
  ASSERT_EQ(colours.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(trusted(colours[i], c.trustedBits), trusted(expected[i], c.trustedBits))
        << "pixel (" << i % c.width << ", " << i / c.width << ")";
  }
}

TEST_P(GoldenImage, LoadsIntoASurfaceInBothDisplayFormats) {
  const GoldenCase& c = GetParam();
  const std::vector<uint32_t> expected = goldenPixels(c);
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.width) * c.height);
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    SCOPED_TRACE(format.bitsPerPixel);
    platform::SurfaceService service(format);
    const auto surface = SheetPicture::load(service, kCorpus + c.file);
    ASSERT_EQ(surface->width(), c.width);
    ASSERT_EQ(surface->height(), c.height);
    for (int32_t y = 0; y < c.height; ++y) {
      for (int32_t x = 0; x < c.width; ++x) {
        const uint32_t want = expected[static_cast<std::size_t>(y) * c.width + x];
        const uint32_t got = surface->pixel(x, y);
        if (c.trustedBits == 8) {
          ASSERT_EQ(got, format.fromRgb(want)) << "pixel (" << x << ", " << y << ")";
        } else {
          ASSERT_EQ(trusted(format.toRgb(got), c.trustedBits),
                    trusted(format.toRgb(format.fromRgb(want)), c.trustedBits))
              << "pixel (" << x << ", " << y << ")";
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenImage, ::testing::ValuesIn(loadManifest()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) {
                             if (ch == '.') ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace patapata
