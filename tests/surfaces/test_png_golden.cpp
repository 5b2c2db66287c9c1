#include "common/file_read.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_readers.h"
#include "surfaces/pixel_format.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

// Each file of the corpus in tests/data/png/ decoded by the PNG reader, against the samples an
// independent decoder (ImageMagick) gave for it; tests/data/make_png_corpus.py writes both.
// The samples are reduced to 8 bits and put through the sheet's transparency rule here.
namespace patapata {
namespace {

const std::string kCorpus = std::string(PATAPATA_TEST_DATA) + "/png/";

struct PngCase {
  std::string file;
  int32_t width = 0;
  int32_t height = 0;
};

void PrintTo(const PngCase& c, std::ostream* os) {
  *os << c.file;
}

std::vector<PngCase> loadManifest() {
  std::vector<PngCase> cases;
  std::ifstream in(kCorpus + "manifest.txt");
  PngCase c;
  while (in >> c.file >> c.width >> c.height) cases.push_back(c);
  return cases;
}

struct Rgba {
  uint32_t rgb = 0;
  uint32_t alpha = 0;
};

// A 16-bit sample rounded to the nearest 8-bit value.
uint32_t toEightBits(uint32_t sample) {
  return (sample + 128) / 257;
}

std::vector<Rgba> referencePixels(const PngCase& c) {
  const auto bytes = readWholeFile(kCorpus + c.file.substr(0, c.file.rfind('.')) + ".rgba16");
  std::vector<Rgba> pixels;
  if (!bytes) return pixels;
  const auto sample = [&](std::size_t at) {
    return toEightBits((uint32_t{(*bytes)[at]} << 8) | (*bytes)[at + 1]);
  };
  for (std::size_t i = 0; i + 7 < bytes->size(); i += 8) {
    pixels.push_back({(sample(i) << 16) | (sample(i + 2) << 8) | sample(i + 4), sample(i + 6)});
  }
  return pixels;
}

bool isTransparent(const Rgba& p) {
  return p.alpha < 128;
}

// The sheet's rule: when the bottom-right pixel's alpha is below 128, every pixel whose alpha
// is below 128 takes one colour, the key: the bottom-right pixel's own when no opaque pixel
// has it or one a 5-6-5 display shows alike, else one that no opaque pixel comes near. When
// the bottom-right pixel is opaque, alpha is ignored. `colours` is what the reader gave.
void expectSheetColours(const std::vector<Rgba>& pixels, const std::vector<uint32_t>& colours,
                        int32_t width) {
  ASSERT_EQ(colours.size(), pixels.size());
  const PixelFormat rgb565 = PixelFormat::rgb565();
  const bool keyed = !pixels.empty() && isTransparent(pixels.back());
  std::set<uint32_t> opaque;
  for (const Rgba& p : pixels) {
    if (!keyed || !isTransparent(p)) opaque.insert(rgb565.fromRgb(p.rgb));
  }
  const uint32_t key = colours.back();
  if (keyed) {
    if (!opaque.contains(rgb565.fromRgb(pixels.back().rgb))) {
      EXPECT_EQ(key, pixels.back().rgb) << "the bottom-right colour was free";
    }
    EXPECT_FALSE(opaque.contains(rgb565.fromRgb(key))) << "an opaque pixel looks like the key";
  }
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t expected = keyed && isTransparent(pixels[i]) ? key : pixels[i].rgb;
    ASSERT_EQ(colours[i], expected) << "pixel (" << i % width << ", " << i / width << ")";
  }
}

// The colour type, bit depth and interlace method from the file's IHDR chunk.
struct Ihdr {
  int colourType = -1;
  int depth = 0;
  bool interlaced = false;
};

Ihdr ihdrOf(std::span<const uint8_t> file) {
  if (file.size() < 29) return {};
  return {file[25], file[24], file[28] == 1};
}

bool hasChunk(std::span<const uint8_t> file, const std::string& kind) {
  return std::search(file.begin(), file.end(), kind.begin(), kind.end()) != file.end();
}

class GoldenPng : public ::testing::TestWithParam<PngCase> {};

TEST(GoldenPngCorpus, CoversEveryColourTypeDepthAndTransparency) {
  std::set<std::pair<int, int>> kinds;
  std::set<int> withTrns;
  std::set<int> interlacedTypes;
  int cornerTransparent = 0;
  int cornerOpaqueWithAlpha = 0;
  for (const PngCase& c : loadManifest()) {
    const auto file = readWholeFile(kCorpus + c.file);
    ASSERT_TRUE(file.has_value()) << c.file;
    const Ihdr ihdr = ihdrOf(*file);
    kinds.insert({ihdr.colourType, ihdr.depth});
    if (hasChunk(*file, "tRNS")) withTrns.insert(ihdr.colourType);
    if (ihdr.interlaced) interlacedTypes.insert(ihdr.colourType);
    const std::vector<Rgba> pixels = referencePixels(c);
    bool anyTransparent = false;
    for (const Rgba& p : pixels) anyTransparent = anyTransparent || p.alpha < 128;
    if (!pixels.empty() && pixels.back().alpha < 128) ++cornerTransparent;
    if (anyTransparent && !pixels.empty() && pixels.back().alpha >= 128) ++cornerOpaqueWithAlpha;
  }
  const std::set<std::pair<int, int>> every{{0, 1}, {0, 2},  {0, 4},  {0, 8}, {0, 16},
                                            {2, 8}, {2, 16}, {3, 1},  {3, 2}, {3, 4},
                                            {3, 8}, {4, 8},  {4, 16}, {6, 8}, {6, 16}};
  EXPECT_EQ(kinds, every);
  EXPECT_EQ(withTrns, (std::set<int>{0, 2, 3}));
  EXPECT_EQ(interlacedTypes, (std::set<int>{0, 2, 3, 4, 6}));
  EXPECT_GE(cornerTransparent, 5);
  EXPECT_GE(cornerOpaqueWithAlpha, 5);
}

TEST_P(GoldenPng, DecodesLikeTheIndependentDecoder) {
  const PngCase& c = GetParam();
  const auto file = readWholeFile(kCorpus + c.file);
  ASSERT_TRUE(file.has_value());
  const ImageReader* reader = imageReaderFor(fileExtension(c.file));
  ASSERT_NE(reader, nullptr);
  const DecodedImage image = reader->decode(*file);
  ASSERT_EQ(image.width, c.width);
  ASSERT_EQ(image.height, c.height);
  // Palette and grey pictures keep one byte per pixel until they are written into a surface.
  const int colourType = ihdrOf(*file).colourType;
  EXPECT_EQ(image.indexed(), colourType == 0 || colourType == 3 || colourType == 4);
  const std::vector<Rgba> reference = referencePixels(c);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(c.width) * c.height);
  expectSheetColours(reference, image.rgb(), c.width);
}

TEST_P(GoldenPng, LoadsIntoASurfaceInBothDisplayFormats) {
  const PngCase& c = GetParam();
  const auto file = readWholeFile(kCorpus + c.file);
  ASSERT_TRUE(file.has_value());
  // What the decoding gives is checked above; here, that the surface holds it converted.
  const std::vector<uint32_t> expected = imageReaderFor("png")->decode(*file).rgb();
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.width) * c.height);
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    SCOPED_TRACE(format.bitsPerPixel);
    platform::SurfaceService service(format);
    const auto surface = SheetPicture::load(service, kCorpus + c.file);
    ASSERT_EQ(surface->width(), c.width);
    ASSERT_EQ(surface->height(), c.height);
    for (int32_t y = 0; y < c.height; ++y) {
      for (int32_t x = 0; x < c.width; ++x) {
        ASSERT_EQ(surface->pixel(x, y),
                  format.fromRgb(expected[static_cast<std::size_t>(y) * c.width + x]))
            << "pixel (" << x << ", " << y << ")";
      }
    }
  }
}

// Paint programs store transparent pixels as black: a key of black would take the outlines too.
TEST(PngSheet, BlackOutlinesStayWhenTheTransparentPixelsAreStoredAsBlack) {
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    SCOPED_TRACE(format.bitsPerPixel);
    auto service = std::make_shared<platform::SurfaceService>(format);
    DrawContext context(service);
    const auto picture = SheetPicture::load(
        *service, kCorpus + "rgba_8bit_transparent_black_beside_black_outline.png");
    const SheetPicture& sheet = *picture;
    Surface view(&context);
    view.resize(sheet.width(), sheet.height());
    constexpr uint32_t kBehind = 0x1234;
    view.fill(kBehind);
    ASSERT_TRUE(view.blit(0, 0, Rect{0, 0, sheet.width(), sheet.height()}, CopyMode::keyed, sheet));
    EXPECT_EQ(view.pixelValue(0, 0), kBehind);                   // transparent margin
    EXPECT_EQ(view.pixelValue(1, 1), format.fromRgb(0x000000));  // the black outline
    EXPECT_EQ(view.pixelValue(2, 2), format.fromRgb(0x030205));  // near black, alike at 5-6-5
    EXPECT_EQ(view.pixelValue(3, 3), format.fromRgb(0xC8465A));  // the fill
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenPng, ::testing::ValuesIn(loadManifest()),
                         [](const ::testing::TestParamInfo<PngCase>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) {
                             if (ch == '.') ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace patapata
