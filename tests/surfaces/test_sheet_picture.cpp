#include "surfaces/sheet_picture.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_readers.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include "support/temp_dir.h"
#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

namespace fs = std::filesystem;
using platform::FaultInjection;
using platform::SurfaceService;
using testing::BmpSpec;
using testing::makeBmp;
using testing::makeTrueColorBmp;

// A 200 × 100 picture: every pixel a different colour, black at (5, 5), and a known colour in
// the bottom-right corner.
std::vector<uint32_t> sheetColours() {
  std::vector<uint32_t> c(200 * 100);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) c[y * 200 + x] = 0x010000u * (x + 20) + 0x000100u * (y + 7) + 3;
  }
  c[5 * 200 + 5] = 0x000000;
  c[99 * 200 + 199] = 0x8040C0;
  return c;
}

// One display format per run: the default 32-bit XRGB and the 16-bit 5-6-5.
class SheetPictureTest : public ::testing::TestWithParam<PixelFormat> {
 protected:
  PixelFormat format() const { return GetParam(); }
  std::shared_ptr<const SheetPicture> load(const std::string& path) {
    return SheetPicture::load(*service_, path);
  }
  std::shared_ptr<SurfaceService> service_ = std::make_shared<SurfaceService>(GetParam());
  testing::TempDir folder_;
  std::string sheetPath_ = folder_.write("sheet.bmp", makeTrueColorBmp(200, 100, sheetColours()));
};

TEST_P(SheetPictureTest, ReadsTheBottomRightPixelAndZeroOutside) {
  const auto sheet = load(sheetPath_);
  EXPECT_EQ(sheet->width(), 200);
  EXPECT_EQ(sheet->height(), 100);
  EXPECT_EQ(sheet->format(), format());
  EXPECT_EQ(sheet->pixel(199, 99), format().fromRgb(0x8040C0));
  EXPECT_EQ(sheet->pixel(0, 0), format().fromRgb(sheetColours()[0]));
  const struct {
    int32_t x, y;
  } outside[] = {{200, 0}, {0, 100}, {-1, 0}, {0, -1}, {INT32_MIN, 0}, {0, INT32_MAX}};
  for (const auto& p : outside) {
    SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
    EXPECT_EQ(sheet->pixel(p.x, p.y), 0u);
  }
}

// The key is taken with the picture, so no picture is ever shown with key 0 (black
// transparent) in between.
TEST_P(SheetPictureTest, TheKeyIsTheBottomRightPixelFromTheStart) {
  const auto sheet = load(sheetPath_);
  EXPECT_EQ(sheet->key(), format().fromRgb(0x8040C0));
  DrawContext context(service_);
  Surface target(&context);
  target.resize(10, 10);
  ASSERT_TRUE(target.fill(format().fromRgb(0x123456)));
  ASSERT_TRUE(target.blit(0, 0, Rect{0, 0, 10, 10}, CopyMode::keyed, *sheet));
  EXPECT_EQ(target.pixelValue(5, 5), format().fromRgb(0x000000));  // black: copied
  EXPECT_EQ(target.pixelValue(6, 5), sheet->pixel(6, 5));
  ASSERT_TRUE(target.fill(format().fromRgb(0x123456)));
  ASSERT_TRUE(target.blit(0, 0, Rect{190, 90, 200, 100}, CopyMode::keyed, *sheet));
  EXPECT_EQ(target.pixelValue(8, 9), sheet->pixel(198, 99));
  EXPECT_EQ(target.pixelValue(9, 9), format().fromRgb(0x123456));  // the key: skipped
}

TEST_P(SheetPictureTest, ExtensionInCapitalsLoadsLikeLowerCase) {
  const std::string upper = folder_.write("SHEET.BMP", makeTrueColorBmp(200, 100, sheetColours()));
  const auto sheet = load(upper);
  EXPECT_EQ(sheet->width(), 200);
  EXPECT_EQ(sheet->pixel(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetPictureTest, ZeroLengthBmpGivesAnEmptyPicture) {
  const auto sheet = load(folder_.write("empty.bmp", std::string()));
  EXPECT_EQ(sheet->width(), 0);
  EXPECT_EQ(sheet->height(), 0);
  EXPECT_EQ(sheet->surface(), nullptr);
  EXPECT_EQ(sheet->pixel(0, 0), 0u);
  EXPECT_EQ(sheet->key(), 0u);
}

TEST_P(SheetPictureTest, ZeroLengthDibFails) {
  try {
    load(folder_.write("empty.dib", std::string()));
    FAIL() << "no exception";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "IDirectDrawSurface は作成されていません");
  }
}

TEST_P(SheetPictureTest, FallsBackToSystemMemory) {
  service_->faults().refuseDisplayMemory = true;
  const auto sheet = load(sheetPath_);
  ASSERT_NE(sheet->surface(), nullptr);
  EXPECT_EQ(sheet->surface()->memory(), platform::Memory::system);
  EXPECT_EQ(sheet->pixel(199, 99), format().fromRgb(0x8040C0));
  service_->faults().refuseDisplayMemory = false;
  EXPECT_EQ(load(sheetPath_)->surface()->memory(), platform::Memory::display);
}

TEST_P(SheetPictureTest, BothMemoriesRefusingFails) {
  service_->faults().refuseDisplayMemory = true;
  service_->faults().refuseSystemMemory = true;
  try {
    load(sheetPath_);
    FAIL() << "no exception";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "サーフェース を作成できません");
  }
}

// The failure rows of image loading: each raises its message and makes no picture.
struct LoadFailure {
  const char* name;
  const char* file;  // written into the folder unless it is "missing"
  std::function<std::vector<uint8_t>()> bytes;
  MessageId id;
  std::string message;  // "%p" stands for the path
};

std::vector<uint8_t> withField(std::vector<uint8_t> file, std::size_t at, uint32_t value,
                               int size) {
  for (int i = 0; i < size; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
  return file;
}

std::vector<uint8_t> small24() {
  return makeTrueColorBmp(2, 2, {1, 2, 3, 4});
}

std::vector<uint8_t> masked(uint16_t bits, std::vector<uint32_t> masks) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bitCount = bits;
  s.compression = 3;
  s.masks = std::move(masks);
  s.data.assign(8, 0);
  return makeBmp(s);
}

std::vector<LoadFailure> loadFailures() {
  const auto gi = MessageId::InvalidBitmap;
  const auto gio = MessageId::InvalidBitCount;
  const auto rd = MessageId::StreamReadError;
  const auto ext = MessageId::UnknownExtension;
  const auto dib = MessageId::InvalidDib;
  const auto fmt = MessageId::InvalidPixelFormat;
  const std::string badBmp = "ビットマップイメージが不正です";
  const std::string badDib = "不正な DIB です";
  const std::string shortRead = "ストリームからの読み込みエラー";
  return {
      {"gif extension", "sheet.gif", small24, ext, "拡張子 .gif の画像形式は処理できません"},
      {"png holding a BMP", "sheet.png", small24, gi, badBmp},
      {"no extension", "sheet", small24, ext, "拡張子 . の画像形式は処理できません"},
      {"icon", "sheet.ico", small24, ext, "拡張子 .ico の画像形式は処理できません"},
      {"metafile", "sheet.WMF", small24, ext, "拡張子 .WMF の画像形式は処理できません"},
      {"enhanced metafile", "sheet.emf", small24, ext, "拡張子 .emf の画像形式は処理できません"},
      {"missing file", "missing", nullptr, MessageId::CannotOpenFile, "ファイル %p は開けません"},
      {"bmp type not BM", "a.bmp", [] { return withField(small24(), 0, 'B' | ('A' << 8), 2); }, gi,
       badBmp},
      {"bmp plane count 2", "a.bmp", [] { return withField(small24(), 26, 2, 2); }, gi, badBmp},
      {"bmp refused: 2 bits per pixel", "a.bmp", [] { return withField(small24(), 28, 2, 2); }, gi,
       badBmp},
      {"bmp refused: JPEG inside", "a.bmp", [] { return withField(small24(), 30, 4, 4); }, gi,
       badBmp},
      {"bmp shorter than its file header", "a.bmp",
       [] {
         return std::vector<uint8_t>{'B', 'M', 0};
       },
       rd, shortRead},
      {"bmp shorter than its info header", "a.bmp",
       [] {
         auto f = small24();
         f.resize(30);
         return f;
       },
       rd, shortRead},
      {"bmp shorter than its pixels", "a.bmp",
       [] {
         auto f = small24();
         f.resize(f.size() - 3);
         return f;
       },
       rd, shortRead},
      {"dib type not BM", "a.dib", [] { return withField(small24(), 0, 'M' | ('B' << 8), 2); }, dib,
       badDib},
      {"dib V4 header", "a.dib",
       [] {
         BmpSpec s;
         s.headerSize = 108;
         s.data.assign(4, 0);
         return makeBmp(s);
       },
       dib, badDib},
      {"dib compression JPEG", "a.dib", [] { return withField(small24(), 30, 4, 4); }, dib, badDib},
      {"dib bit count 7", "a.dib", [] { return withField(small24(), 28, 7, 2); }, gio,
       "不正なビット数です (7)"},
      {"dib bit count 0", "a.dib", [] { return withField(small24(), 28, 0, 2); }, gio,
       "不正なビット数です (0)"},
      {"dib 4-4-4 masks", "a.dib",
       [] {
         return masked(16, {0xF00, 0xF0, 0xF});
       },
       fmt, "不正なピクセルフォーマットです"},
      {"dib 16-bit 8-8-8 masks", "a.dib",
       [] {
         return masked(16, {0xFF0000, 0xFF00, 0xFF});
       },
       fmt, "不正なピクセルフォーマットです"},
      {"dib 32-bit 5-6-5 masks", "a.dib",
       [] {
         return masked(32, {0xF800, 0x7E0, 0x1F});
       },
       fmt, "不正なピクセルフォーマットです"},
      {"dib shorter than its pixels", "a.dib",
       [] {
         auto f = small24();
         f.resize(f.size() - 3);
         return f;
       },
       rd, shortRead},
  };
}

TEST_P(SheetPictureTest, FailedLoadsSayWhy) {
  for (const LoadFailure& row : loadFailures()) {
    SCOPED_TRACE(row.name);
    const std::string path =
        row.bytes ? folder_.write(row.file, row.bytes()) : folder_.file("nothing.bmp");
    std::string expected = row.message;
    if (const auto at = expected.find("%p"); at != std::string::npos) expected.replace(at, 2, path);
    try {
      load(path);
      ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), row.id);
      EXPECT_EQ(e.text(), expected);
    }
  }
}

// A file larger than any picture the readers accept is refused before it is read: naming a
// huge file must not cost its size in memory.
TEST_P(SheetPictureTest, HugeFileIsRefusedUnread) {
  for (const auto& [name, message] : {std::pair{"huge.bmp", "ビットマップイメージが不正です"},
                                      std::pair{"huge.dib", "不正な DIB です"},
                                      std::pair{"huge.png", "ビットマップイメージが不正です"}}) {
    SCOPED_TRACE(name);
    const std::string path = folder_.write(name, small24());
    std::filesystem::resize_file(path, kMaxImageFileBytes + 1);  // sparse: no disk used
    try {
      load(path);
      ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), message);
    }
    std::filesystem::remove(path);
  }
}

TEST(SixteenBitDisplay, ColoursThatReduceAlikeAreBothTransparent) {
  auto service = std::make_shared<SurfaceService>(PixelFormat::rgb565());
  DrawContext context(service);
  testing::TempDir folder;
  // 0x102030 and 0x132333 differ only in the bits 5-6-5 drops.
  const std::vector<uint32_t> colours{0x102030, 0x132333, 0xFFFFFF, 0x102030};
  const auto sheet =
      SheetPicture::load(*service, folder.write("two.bmp", makeTrueColorBmp(4, 1, colours)));
  ASSERT_EQ(sheet->pixel(0, 0), sheet->pixel(1, 0));
  Surface target(&context);
  target.resize(4, 1);
  ASSERT_TRUE(target.fill(0x0001));
  ASSERT_TRUE(target.blit(0, 0, Rect{0, 0, 4, 1}, CopyMode::keyed, *sheet));
  EXPECT_EQ(target.pixelValue(0, 0), 0x0001u);
  EXPECT_EQ(target.pixelValue(1, 0), 0x0001u);
  EXPECT_EQ(target.pixelValue(2, 0), 0xFFFFu);
  EXPECT_EQ(target.pixelValue(3, 0), 0x0001u);
}

INSTANTIATE_TEST_SUITE_P(DisplayFormats, SheetPictureTest,
                         ::testing::Values(PixelFormat::xrgb8888(), PixelFormat::rgb565()),
                         [](const ::testing::TestParamInfo<PixelFormat>& info) {
                           return info.param.bitsPerPixel == 32 ? "Xrgb8888" : "Rgb565";
                         });

}  // namespace
}  // namespace patapata
