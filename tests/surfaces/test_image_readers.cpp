#include "surfaces/bmp_reader.h"
#include "surfaces/dib_reader.h"
#include "surfaces/image_readers.h"

#include "common/errors.h"
#include "support/temp_dir.h"
#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <typeinfo>

namespace patapata {
namespace {

using testing::BmpSpec;
using testing::makeBmp;
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
      EXPECT_EQ(image.rgb(), colours);
    }
  }
}

TEST(BmpReader, ZeroLengthFilesAreEmptyPictures) {
  for (const auto decode : {&decodeBmp, &decodeDib}) {
    const DecodedImage image = decode({});
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.size(), 0u);
  }
}

// Narrow channels repeat their high bits, so that full intensity is 255 and black stays 0.
TEST(BmpReader, WidensBitFieldChannelsByRepeatingTheirHighBits) {
  const struct {
    std::vector<uint32_t> masks;
    uint16_t pixel;
    uint32_t expected;
  } rows[] = {
      {{0xF800, 0x07E0, 0x001F}, 0xFFFF, 0xFFFFFF}, {{0xF800, 0x07E0, 0x001F}, 0x0000, 0x000000},
      {{0xF800, 0x07E0, 0x001F}, 0x0821, 0x080408}, {{0xF800, 0x07E0, 0x001F}, 0x8410, 0x848284},
      {{0x7C00, 0x03E0, 0x001F}, 0x4210, 0x848484}, {{0x0F00, 0x00F0, 0x000F}, 0x0F5A, 0xFF55AA},
      {{0x0003, 0x000C, 0x0030}, 0x0039, 0x55AAFF},  // 2-bit channels, blue highest
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << r.pixel);
    BmpSpec s;
    s.bitCount = 16;
    s.compression = 3;
    s.masks = r.masks;
    s.data = {static_cast<uint8_t>(r.pixel), static_cast<uint8_t>(r.pixel >> 8), 0, 0};
    const DecodedImage image = decodeBmp(makeBmp(s));
    EXPECT_EQ(image.rgb(), std::vector<uint32_t>{r.expected});
  }
}

TEST(BmpReader, LargerHeadersWithoutBitFieldsIgnoreTheirMasks) {
  for (const uint32_t header : {52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(header);
    BmpSpec s;
    s.headerSize = header;
    s.bitCount = 32;
    s.masks = std::vector<uint32_t>{0xFF, 0xFF00, 0xFF0000};  // would swap red and blue
    s.data = {0x33, 0x22, 0x11, 0};
    EXPECT_EQ(decodeBmp(makeBmp(s)).rgb(), std::vector<uint32_t>{0x112233});
  }
}

// An OS/2 2.x header cut short reads only the fields it reaches: read further, the colour
// table after it would pass for a compression or a colour count (entry i holds i + 1, so any
// such colour count drops index 15). Other sizes stay refused, and the .dib reader takes none.
TEST(BmpReader, CutOs2HeadersCountTheFieldsTheyDoNotReachAsZero) {
  std::vector<uint32_t> full(16);
  for (uint32_t i = 0; i < 16; ++i) full[i] = i + 1;
  const struct {
    uint32_t headerSize;
    DecodedImage (*decode)(std::span<const uint8_t>);
    uint16_t bitCount;
    uint32_t compression;
    std::vector<uint32_t> palette;
    std::optional<MessageId> error;
    std::vector<uint32_t> pixels;  // index 0, then index 15
  } rows[] = {
      {16, &decodeBmp, 4, 0, full, {}, {1, 16}},
      {20, &decodeBmp, 4, 0, full, {}, {1, 16}},
      {24, &decodeBmp, 4, 0, full, {}, {1, 16}},
      {28, &decodeBmp, 4, 0, full, {}, {1, 16}},
      {32, &decodeBmp, 4, 0, full, {}, {1, 16}},
      {36, &decodeBmp, 4, 0, {1, 2}, {}, {1, 0}},                 // reaches the colour count, 2
      {20, &decodeBmp, 16, 3, {}, MessageId::InvalidBitmap, {}},  // OS/2's code 3 is Huffman
      {15, &decodeBmp, 4, 0, full, MessageId::InvalidBitmap, {}},
      {18, &decodeBmp, 4, 0, full, MessageId::InvalidBitmap, {}},
      {44, &decodeBmp, 4, 0, full, MessageId::InvalidBitmap, {}},
      {65, &decodeBmp, 4, 0, full, MessageId::InvalidBitmap, {}},
      {16, &decodeDib, 4, 0, full, MessageId::InvalidDib, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.headerSize << " bytes, " << r.bitCount << " bits, "
                                      << (r.decode == &decodeDib ? ".dib" : ".bmp"));
    BmpSpec s;
    s.headerSize = r.headerSize;
    s.width = 2;
    s.bitCount = r.bitCount;
    s.compression = r.compression;
    s.palette = r.palette;
    s.data = {0x0F, 0, 0, 0};
    std::optional<MessageId> error;
    std::vector<uint32_t> pixels;
    try {
      pixels = r.decode(makeBmp(s)).rgb();
    } catch (const Error& e) {
      error = e.id();
    }
    EXPECT_EQ(error, r.error);
    EXPECT_EQ(pixels, r.pixels);
  }
}

TEST(BmpReader, RunLengthPixelsNeverWrittenTakePaletteIndexZero) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = {0x0000FF, 0xFF0000};
  s.data = {0, 2, 1, 1, 1, 1, 0, 1};  // delta one right and one up, one pixel, the end
  const std::vector<uint32_t> expected{0x0000FF, 0xFF0000, 0x0000FF,  //
                                       0x0000FF, 0x0000FF, 0x0000FF};
  EXPECT_EQ(decodeBmp(makeBmp(s)).rgb(), expected);
  EXPECT_EQ(decodeDib(makeBmp(s)).rgb(), expected);
}

// The picture, or the error's type and message, so that two ways of decoding compare whole.
std::string outcome(const std::function<DecodedImage()>& decode) {
  try {
    const DecodedImage image = decode();
    return std::to_string(image.width) + "x" + std::to_string(image.height) + "/" +
           std::to_string(image.rawPitch) + ":" +
           std::string(image.raw.data(), image.raw.data() + image.raw.size());
  } catch (const Error& e) {
    return typeid(e).name() + (": " + e.text());
  }
}

// Read from the file a piece at a time, a picture stored in colours comes out as it does
// read whole, errors included, wherever the pieces end.
TEST(BmpReader, AFileReadInPiecesDecodesAsReadWhole) {
  std::vector<uint32_t> colours(5 * 7);
  for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = 0x0A1B2Cu * (i + 1) & 0xFFFFFFu;
  const auto file24 = testing::makeTrueColorBmp(5, 7, colours, 24);  // rows of 16 bytes
  auto topDown = file24;
  const auto minus7 = static_cast<uint32_t>(-7);  // the header's height, at byte 22
  for (int i = 0; i < 4; ++i) topDown[22 + i] = static_cast<uint8_t>(minus7 >> (8 * i));
  BmpSpec fields;
  fields.width = 5;
  fields.height = 7;
  fields.bitCount = 16;
  fields.compression = 3;
  fields.masks = std::vector<uint32_t>{0xF800, 0x07E0, 0x001F};
  for (int i = 0; i < 7 * 12; ++i) fields.data.push_back(static_cast<uint8_t>(i * 37));
  const auto noLastPadding = std::vector<uint8_t>(file24.begin(), file24.end() - 1);
  const auto cutShort = std::vector<uint8_t>(file24.begin(), file24.end() - 16 - 3);
  const struct {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {{"24-bit", file24},
               {"32-bit", testing::makeTrueColorBmp(5, 7, colours, 32)},
               {"top-down", topDown},
               {"5-6-5 bit fields", makeBmp(fields)},
               {"last row's padding missing", noLastPadding},
               {"cut short", cutShort}};
  const testing::TempDir dir;
  const std::string path = dir.file("sheet.bmp");
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(c.file.data()),
               static_cast<std::streamsize>(c.file.size()));
    for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
      const std::string whole = outcome([&] { return decodeBmpForDisplay(c.file, format); });
      for (const std::size_t piece :
           {std::size_t{1}, std::size_t{16}, std::size_t{49}, std::size_t{1} << 20}) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(format.bitsPerPixel) +
                     " bits, pieces of " + std::to_string(piece));
        EXPECT_EQ(outcome([&] {
                    auto image = decodeBmpFileForDisplay(path, format, piece);
                    if (!image) throw std::runtime_error("read whole instead");
                    return std::move(*image);
                  }),
                  whole);
      }
    }
  }
}

TEST(ImageReaders, ChooseByExtensionWithoutRegardToCase) {
  const struct {
    const char* extension;
    const char* reader;  // null: none
  } rows[] = {{"bmp", "bmp"},   {"BMP", "bmp"},    {"Bmp", "bmp"},   {"dib", "dib"},
              {"DIB", "dib"},   {"png", "png"},    {"PNG", "png"},   {"pNg", "png"},
              {"ico", nullptr}, {"wmf", nullptr},  {"emf", nullptr}, {"gif", nullptr},
              {"", nullptr},    {"bmpx", nullptr}, {"bm", nullptr},  {"pngx", nullptr}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.extension);
    const ImageReader* reader = imageReaderFor(r.extension);
    if (r.reader == nullptr) {
      EXPECT_EQ(reader, nullptr);
    } else {
      ASSERT_NE(reader, nullptr);
      EXPECT_STREQ(reader->extension, r.reader);
    }
  }
  EXPECT_STREQ(imageReaderFor("bmp")->description, "ビットマップ");
  EXPECT_STREQ(imageReaderFor("dib")->description, "Device Independent Bitmap");
}

TEST(ImageReaders, ExtensionIsTheTextAfterTheLastDotOfTheFileName) {
  const struct {
    const char* path;
    const char* extension;
  } rows[] = {{"sheet.bmp", "bmp"}, {"/a/b/sheet.BMP", "BMP"}, {"a.tar.dib", "dib"},
              {"noext", ""},        {"dir.d/noext", ""},       {"dir.d\\noext", ""},
              {"trailing.", ""},    {".bmp", "bmp"},           {"/x/y.z/w.png", "png"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(fileExtension(r.path), r.extension);
  }
}

}  // namespace
}  // namespace patapata
