#include "common/errors.h"
#include "surfaces/bitmap_pixels.h"
#include "surfaces/bmp_reader.h"
#include "surfaces/dib_reader.h"

#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

// Crafted files whose headers lie: each fails with the reader's own message or decodes to a
// defined picture, never reading or writing outside a buffer (run this under ASan too) and
// never allocating more than the file could describe.
namespace patapata {
namespace {

using testing::BmpSpec;
using testing::makeBmp;

enum class Reader { Bmp, Dib };

struct Outcome {
  const std::type_info* error = nullptr;  // null: a picture is expected
  std::string message;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;        // top-down; empty: not compared
  std::optional<uint32_t> everyPixel;  // for large pictures
};

struct HostileCase {
  const char* name;
  Reader reader;
  std::function<std::vector<uint8_t>()> file;
  Outcome outcome;
};

const std::string kBadBmp = "ビットマップイメージが不正です";
const std::string kBadDib = "不正な DIB です";
const std::string kShort = "ストリームからの読み込みエラー";

Outcome fails(const std::type_info& type, std::string message) {
  return Outcome{&type, std::move(message), 0, 0, {}, std::nullopt};
}
Outcome badBmp() {
  return fails(typeid(Error), kBadBmp);
}
Outcome badDib() {
  return fails(typeid(Error), kBadDib);
}
Outcome shortFile() {
  return fails(typeid(Error), kShort);
}
Outcome picture(int32_t w, int32_t h, std::vector<uint32_t> pixels) {
  return Outcome{nullptr, {}, w, h, std::move(pixels), std::nullopt};
}
Outcome plain(int32_t w, int32_t h, uint32_t colour) {
  return Outcome{nullptr, {}, w, h, {}, colour};
}

std::vector<uint8_t> patch(std::vector<uint8_t> file, std::size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) file.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
  return file;
}

// Field offsets of a file with a 40-byte header.
constexpr std::size_t kOffBits = 10;
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kWidth = 18;
constexpr std::size_t kHeight = 22;
constexpr std::size_t kBitCount = 28;
constexpr std::size_t kCompression = 30;
constexpr std::size_t kColorsUsed = 46;

// 2 × 2, 24 bits: red, green / blue, white (top-down).
std::vector<uint8_t> rgb2x2() {
  return testing::makeTrueColorBmp(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
}

// 4 × 2 at 8 bits with a two-entry palette (index 0 dark grey, 1 white).
BmpSpec indexed8(std::vector<uint8_t> data, uint32_t compression = 0) {
  BmpSpec s;
  s.width = 4;
  s.height = 2;
  s.bitCount = 8;
  s.compression = compression;
  s.palette = {0x202020, 0xFFFFFF};
  s.data = std::move(data);
  return s;
}

std::vector<uint8_t> rle8(std::vector<uint8_t> stream, int32_t width = 4, int32_t height = 2) {
  BmpSpec s = indexed8(std::move(stream), 1);
  s.width = width;
  s.height = height;
  return makeBmp(s);
}

std::vector<uint8_t> rle4(std::vector<uint8_t> stream) {
  BmpSpec s = indexed8(std::move(stream), 2);
  s.bitCount = 4;
  return makeBmp(s);
}

std::vector<uint8_t> bitfields(uint16_t bits, std::vector<uint32_t> masks,
                               std::vector<uint8_t> data) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bitCount = bits;
  s.compression = 3;
  s.masks = std::move(masks);
  s.data = std::move(data);
  return makeBmp(s);
}

constexpr uint32_t G = 0x202020;  // palette index 0
constexpr uint32_t W = 0xFFFFFF;  // palette index 1

std::vector<HostileCase> hostileCases() {
  std::vector<HostileCase> cases = {
      // File and information headers.
      {"one byte", Reader::Bmp, [] { return std::vector<uint8_t>{'B'}; }, shortFile()},
      {"file header only", Reader::Bmp,
       [] {
         auto f = rgb2x2();
         f.resize(14);
         return f;
       },
       shortFile()},
      {"header size cut", Reader::Dib,
       [] {
         auto f = rgb2x2();
         f.resize(16);
         return f;
       },
       shortFile()},
      {"header cut", Reader::Bmp,
       [] {
         auto f = rgb2x2();
         f.resize(40);
         return f;
       },
       shortFile()},
      {"header size 0", Reader::Bmp, [] { return patch(rgb2x2(), kHeaderSize, 0, 4); }, badBmp()},
      {"OS/2 2.x header size past the file", Reader::Bmp,
       [] { return patch(rgb2x2(), kHeaderSize, 64, 4); }, shortFile()},
      {"header size 64", Reader::Dib, [] { return patch(rgb2x2(), kHeaderSize, 64, 4); }, badDib()},
      {"header size 60", Reader::Bmp, [] { return patch(rgb2x2(), kHeaderSize, 60, 4); }, badBmp()},
      {"header size huge", Reader::Bmp, [] { return patch(rgb2x2(), kHeaderSize, 0xFFFFFFFF, 4); },
       badBmp()},
      {"header size huge", Reader::Dib, [] { return patch(rgb2x2(), kHeaderSize, 0xFFFFFFFF, 4); },
       badDib()},
      {"larger header than the file", Reader::Bmp,
       [] {
         auto f = patch(rgb2x2(), kHeaderSize, 124, 4);
         return f;
       },
       shortFile()},
      // Sizes.
      {"width 0", Reader::Bmp, [] { return patch(rgb2x2(), kWidth, 0, 4); }, badBmp()},
      {"width -1", Reader::Bmp, [] { return patch(rgb2x2(), kWidth, 0xFFFFFFFF, 4); }, badBmp()},
      {"width INT_MIN", Reader::Dib, [] { return patch(rgb2x2(), kWidth, 0x80000000, 4); },
       badDib()},
      {"height 0", Reader::Bmp, [] { return patch(rgb2x2(), kHeight, 0, 4); }, badBmp()},
      {"height INT_MIN", Reader::Bmp, [] { return patch(rgb2x2(), kHeight, 0x80000000, 4); },
       badBmp()},
      {"height INT_MIN", Reader::Dib, [] { return patch(rgb2x2(), kHeight, 0x80000000, 4); },
       badDib()},
      {"negative height reads top-down", Reader::Bmp,
       [] { return patch(rgb2x2(), kHeight, static_cast<uint32_t>(-2), 4); },
       picture(2, 2, {0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00})},
      {"width past the pixel limit", Reader::Bmp,
       [] { return patch(rgb2x2(), kWidth, 0x7FFFFFFF, 4); }, badBmp()},
      {"8192 × 8193 from 12 bytes", Reader::Bmp,
       [] { return patch(patch(rgb2x2(), kWidth, 8192, 4), kHeight, 8193, 4); }, badBmp()},
      {"width × height overflows 32 bits", Reader::Dib,
       [] { return patch(patch(rgb2x2(), kWidth, 0x10000, 4), kHeight, 0x10001, 4); }, badDib()},
      {"4000 × 4000 from 12 bytes of pixels", Reader::Bmp,
       [] { return patch(patch(rgb2x2(), kWidth, 4000, 4), kHeight, 4000, 4); }, shortFile()},
      {"core header 0 wide", Reader::Bmp,
       [] {
         BmpSpec s;
         s.headerSize = 12;
         s.width = 0;
         s.data.assign(4, 0);
         return makeBmp(s);
       },
       badBmp()},
      // Offsets.
      {"pixel offset past the file", Reader::Bmp,
       [] { return patch(rgb2x2(), kOffBits, 0xFFFFFFF0, 4); }, shortFile()},
      {"pixel offset inside the header", Reader::Bmp,
       [] { return patch(rgb2x2(), kOffBits, 20, 4); }, badBmp()},
      {"pixel offset 0", Reader::Dib, [] { return patch(rgb2x2(), kOffBits, 0, 4); }, badDib()},
      {"pixel offset leaves too few bytes", Reader::Bmp,
       [] { return patch(rgb2x2(), kOffBits, 58, 4); }, shortFile()},
      {"last row without its padding", Reader::Bmp,
       [] {
         auto f = rgb2x2();
         f.resize(f.size() - 2);
         return f;
       },
       picture(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF})},
      // Bit counts, planes and compressions.
      {"bit count 0", Reader::Bmp, [] { return patch(rgb2x2(), kBitCount, 0, 2); }, badBmp()},
      {"bit count 65535", Reader::Bmp, [] { return patch(rgb2x2(), kBitCount, 65535, 2); },
       badBmp()},
      {"bit count 65535", Reader::Dib, [] { return patch(rgb2x2(), kBitCount, 65535, 2); },
       fails(typeid(Error), "不正なビット数です (65535)")},
      {"bit count 2", Reader::Dib, [] { return patch(rgb2x2(), kBitCount, 2, 2); },
       fails(typeid(Error), "不正なビット数です (2)")},
      {"plane count 0", Reader::Bmp, [] { return patch(rgb2x2(), 26, 0, 2); }, badBmp()},
      {"compression 0xFFFFFFFF", Reader::Bmp,
       [] { return patch(rgb2x2(), kCompression, 0xFFFFFFFF, 4); }, badBmp()},
      {"PNG inside", Reader::Dib, [] { return patch(rgb2x2(), kCompression, 5, 4); }, badDib()},
      {"RLE8 at 24 bits", Reader::Bmp, [] { return patch(rgb2x2(), kCompression, 1, 4); },
       badBmp()},
      {"RLE4 at 24 bits", Reader::Dib, [] { return patch(rgb2x2(), kCompression, 2, 4); },
       badDib()},
      {"bit fields at 24 bits", Reader::Dib, [] { return patch(rgb2x2(), kCompression, 3, 4); },
       badDib()},
      {"top-down RLE8", Reader::Bmp,
       [] {
         return patch(rle8({4, 1, 0, 0, 4, 1, 0, 1}), kHeight, static_cast<uint32_t>(-2), 4);
       },
       badBmp()},
      {"top-down RLE4", Reader::Dib,
       [] {
         return patch(rle4({4, 0x11, 0, 1}), kHeight, static_cast<uint32_t>(-2), 4);
       },
       badDib()},
      // Palettes.
      {"colour count past the file", Reader::Bmp,
       [] {
         return patch(makeBmp(indexed8({0, 1, 0, 1, 1, 0, 1, 0})), kColorsUsed, 0xFFFFFFFF, 4);
       },
       shortFile()},
      {"colour count 0 means 256, not in the file", Reader::Dib,
       [] {
         return patch(makeBmp(indexed8({0, 1, 0, 1, 1, 0, 1, 0})), kColorsUsed, 0, 4);
       },
       shortFile()},
      {"indices past the palette are black", Reader::Bmp,
       [] {
         return makeBmp(indexed8({0, 1, 2, 255, 1, 0, 7, 1}));
       },
       picture(4, 2, {W, G, 0, W, G, W, 0, 0})},
      {"indices past the palette are black", Reader::Dib,
       [] {
         return makeBmp(indexed8({0, 1, 2, 255, 1, 0, 7, 1}));
       },
       picture(4, 2, {W, G, 0, W, G, W, 0, 0})},
      {"core palette cut short by the pixel offset", Reader::Bmp,
       [] {
         BmpSpec s;
         s.headerSize = 12;
         s.width = 2;
         s.height = 1;
         s.bitCount = 8;
         s.palette = {0x112233, 0x445566};
         s.data = {1, 2, 0, 0};
         return makeBmp(s);
       },
       picture(2, 1, {0x445566, 0})},
      {"1-bit with one colour", Reader::Bmp,
       [] {
         BmpSpec s;
         s.width = 3;
         s.bitCount = 1;
         s.palette = {0x00FF00};
         s.data = {0xA0, 0, 0, 0};  // 1 0 1
         return makeBmp(s);
       },
       picture(3, 1, {0, 0x00FF00, 0})},
      // Bit fields.
      {"masks cut off", Reader::Bmp,
       [] {
         auto f = bitfields(16, {0xF800, 0x07E0, 0x001F}, {});
         f.resize(58);
         return patch(f, kOffBits, 58, 4);
       },
       shortFile()},
      {"zero masks give black", Reader::Bmp,
       [] {
         return bitfields(16, {0, 0, 0}, {0xFF, 0xFF, 0x12, 0x34});
       },
       picture(2, 1, {0, 0})},
      {"overlapping masks read each channel", Reader::Bmp,
       [] {
         return bitfields(16, {0xFF00, 0x0FF0, 0x00FF}, {0x34, 0x12, 0, 0});
       },
       picture(2, 1, {0x122334, 0})},
      {"mask wider than the pixel", Reader::Bmp,
       [] {
         return bitfields(16, {0xF8000, 0x07E0, 0x001F}, {0, 0, 0, 0});
       },
       badBmp()},
      {"mask with a gap", Reader::Bmp,
       [] {
         return bitfields(16, {0xF400, 0x03E0, 0x001F}, {0, 0, 0, 0});
       },
       badBmp()},
      {"10-bit channels are narrowed", Reader::Bmp,
       [] {
         return bitfields(32, {0x3FF00000, 0x000FFC00, 0x000003FF},
                          {0xFF, 0x03, 0x00, 0x3F, 0, 0, 0, 0});
       },
       picture(2, 1, {0xFC00FF, 0})},
      {"overlapping masks", Reader::Dib,
       [] {
         return bitfields(16, {0xF800, 0x0FC0, 0x001F}, {0, 0, 0, 0});
       },
       fails(typeid(Error), "不正なピクセルフォーマットです")},
      {"zero mask", Reader::Dib,
       [] {
         return bitfields(32, {0xFF0000, 0xFF00, 0}, {});
       },
       fails(typeid(Error), "不正なピクセルフォーマットです")},
      {"mask with a gap", Reader::Dib,
       [] {
         return bitfields(32, {0xFF000000, 0xFF0000, 0x2FE}, {});
       },
       fails(typeid(Error), "不正なピクセルフォーマットです")},
      // Run-length data.
      {"run past the row is clipped", Reader::Bmp,
       [] {
         return rle8({255, 1, 0, 0, 2, 1, 0, 1});
       },
       picture(4, 2, {W, W, G, G, W, W, W, W})},
      {"literal past the row is clipped", Reader::Dib,
       [] {
         return rle8({0, 6, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 1});
       },
       picture(4, 2, {W, G, G, G, W, W, W, W})},
      {"literal longer than the data", Reader::Bmp,
       [] {
         return rle8({0, 200, 1, 1, 1});
       },
       picture(4, 2, {G, G, G, G, W, W, W, G})},
      {"delta past the picture ends it", Reader::Bmp,
       [] {
         return rle8({2, 1, 0, 2, 255, 255, 4, 1, 0, 1});
       },
       picture(4, 2, {G, G, G, G, W, W, G, G})},
      {"delta cut off", Reader::Dib,
       [] {
         return rle8({1, 1, 0, 2, 3});
       },
       picture(4, 2, {G, G, G, G, W, G, G, G})},
      {"end of line past the last row", Reader::Bmp,
       [] {
         return rle8({0, 0, 0, 0, 0, 0, 0, 0, 4, 1});
       },
       picture(4, 2, {G, G, G, G, G, G, G, G})},
      {"odd final byte", Reader::Bmp,
       [] {
         return rle8({3, 1, 0});
       },
       picture(4, 2, {G, G, G, G, W, W, W, G})},
      {"no run-length data at all", Reader::Bmp, [] { return rle8({}); }, plain(4, 2, G)},
      {"many long runs on one row stay in the row", Reader::Bmp,
       [] {
         std::vector<uint8_t> s;
         for (int i = 0; i < 5000; ++i) s.insert(s.end(), {255, 1});
         return rle8(s);
       },
       picture(4, 2, {G, G, G, G, W, W, W, W})},
      {"RLE4 run past the row", Reader::Bmp, [] { return rle4({9, 0x10, 0, 1}); },
       picture(4, 2, {G, G, G, G, W, G, W, G})},
      {"RLE4 literal with nibbles past the data", Reader::Dib, [] { return rle4({0, 7, 0x11}); },
       picture(4, 2, {G, G, G, G, W, W, G, G})},
      {"sparse RLE picture of a million pixels", Reader::Bmp,
       [] { return rle8({0, 1}, 1024, 1024); }, plain(1024, 1024, G)},
      {"huge RLE picture from 4 bytes", Reader::Bmp, [] { return rle8({0, 0, 0, 1}, 4000, 4000); },
       badBmp()},
      {"huge RLE picture from 4 bytes", Reader::Dib, [] { return rle8({0, 0, 0, 1}, 4000, 4000); },
       badDib()},
      {"RLE data offset past the file", Reader::Bmp,
       [] { return patch(rle8({0, 1}), kOffBits, 0xFFFF, 4); }, shortFile()},
  };
  return cases;
}

TEST(HostileFiles, FailWithTheReadersMessageOrDecodeToADefinedPicture) {
  for (const HostileCase& c : hostileCases()) {
    SCOPED_TRACE(::testing::Message() << (c.reader == Reader::Bmp ? ".bmp: " : ".dib: ") << c.name);
    const std::vector<uint8_t> file = c.file();
    const auto decode = c.reader == Reader::Bmp ? &decodeBmp : &decodeDib;
    const Outcome& want = c.outcome;
    try {
      const DecodedImage image = decode(file);
      ASSERT_EQ(want.error, nullptr) << "decoded; expected " << want.message;
      EXPECT_EQ(image.width, want.width);
      EXPECT_EQ(image.height, want.height);
      const std::vector<uint32_t> colours = image.rgb();
      ASSERT_EQ(colours.size(), static_cast<std::size_t>(want.width) * want.height);
      if (!want.pixels.empty()) {
        EXPECT_EQ(colours, want.pixels);
      }
      if (want.everyPixel) {
        EXPECT_EQ(std::count(colours.begin(), colours.end(), *want.everyPixel),
                  static_cast<std::ptrdiff_t>(colours.size()));
      }
    } catch (const Error& e) {
      ASSERT_NE(want.error, nullptr) << "raised " << e.text();
      EXPECT_EQ(typeid(e), *want.error) << typeid(e).name();
      EXPECT_EQ(e.text(), want.message);
    }
  }
}

// Every prefix of a valid file, and every single-byte corruption of its headers, either
// decodes or raises one of the readers' own errors; ASan watches the buffers.
TEST(HostileFiles, TruncationsAndHeaderCorruptionsNeverEscape) {
  std::vector<std::vector<uint8_t>> seeds = {rgb2x2(), makeBmp(indexed8({0, 1, 0, 1, 1, 0, 1, 0})),
                                             rle8({2, 1, 0, 2, 1, 0, 2, 0, 0, 1}),
                                             rle4({0, 3, 0x12, 0x30, 0, 0, 4, 0x10, 0, 1}),
                                             bitfields(16, {0xF800, 0x07E0, 0x001F}, {1, 2, 3, 4})};
  for (const auto& seed : seeds) {
    std::vector<std::vector<uint8_t>> variants;
    for (std::size_t n = 0; n < seed.size(); ++n)
      variants.emplace_back(seed.begin(), seed.begin() + n);
    for (std::size_t at = 0; at < std::min<std::size_t>(seed.size(), 66); ++at) {
      for (const uint8_t value : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0x80}, uint8_t{0xFF}}) {
        auto v = seed;
        v[at] = value;
        variants.push_back(std::move(v));
      }
    }
    for (const auto& file : variants) {
      for (const auto decode : {&decodeBmp, &decodeDib}) {
        try {
          const DecodedImage image = decode(file);
          EXPECT_EQ(image.size(), static_cast<std::size_t>(image.width) * image.height);
          EXPECT_LE(static_cast<int64_t>(image.size()), kMaxBitmapPixels);
        } catch (const Error&) {
          // One of the readers' own errors: what the table above pins down.
        }
      }
    }
  }
}

}  // namespace
}  // namespace patapata
