#include "surfaces/direct_draw_surface.h"

#include "common/errors.h"
#include "surfaces/direct_draw.h"
#include "surfaces/image_readers.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"

#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace patapata {
namespace {

namespace fs = std::filesystem;
using platform::FaultInjection;
using platform::SurfaceService;
using testing::BmpSpec;
using testing::makeBmp;
using testing::makeTrueColorBmp;

// A folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::path(::testing::TempDir()) /
            ("patapata_surface_" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
             std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string pathOf(const std::string& name) const { return (path_ / name).string(); }

  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const fs::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

 private:
  fs::path path_;
};

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

uint32_t keyOf(const TDirectDrawSurface& s) {
  return s.ISurface() != nullptr ? s.ISurface()->colorKeyLow() : 0xDEADBEEF;
}

// One display format per run: the default 32-bit XRGB and the 16-bit 5-6-5.
class SheetSurface : public ::testing::TestWithParam<PixelFormat> {
 protected:
  PixelFormat format() const { return GetParam(); }
  std::shared_ptr<SurfaceService> service_ = std::make_shared<SurfaceService>(GetParam());
  std::unique_ptr<TDirectDraw> context_ = std::make_unique<TDirectDraw>(service_);
  TDirectDrawSurface sheet_{context_.get()};
  TempFolder folder_;
  std::string sheetPath_ = folder_.write("sheet.bmp", makeTrueColorBmp(200, 100, sheetColours()));
};

TEST_P(SheetSurface, StartsEmpty) {
  EXPECT_EQ(sheet_.Width(), 0);
  EXPECT_EQ(sheet_.Height(), 0);
  EXPECT_EQ(sheet_.ISurface(), nullptr);
  EXPECT_EQ(sheet_.PixelValue(0, 0), 0u);
  EXPECT_FALSE(sheet_.SystemMemoryFallback());
  ASSERT_EQ(context_->Surfaces().size(), 1u);
  EXPECT_EQ(context_->Surfaces()[0], &sheet_);
}

TEST_P(SheetSurface, ReadsTheBottomRightPixelAndZeroOutside) {
  sheet_.LoadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.Width(), 200);
  EXPECT_EQ(sheet_.Height(), 100);
  EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
  EXPECT_EQ(sheet_.PixelValue(0, 0), format().fromRgb(sheetColours()[0]));
  const struct {
    int32_t x, y;
  } outside[] = {{200, 0}, {0, 100}, {-1, 0}, {0, -1}, {INT32_MIN, 0}, {0, INT32_MAX}};
  for (const auto& p : outside) {
    SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
    EXPECT_EQ(sheet_.PixelValue(p.x, p.y), 0u);
  }
}

TEST_P(SheetSurface, KeyIsZeroRightAfterALoadSoBlackIsTransparent) {
  sheet_.LoadImageFile(sheetPath_);
  EXPECT_EQ(keyOf(sheet_), 0u);
  TDirectDrawSurface target(context_.get());
  target.Resize(10, 10);
  ASSERT_TRUE(target.FillAll(format().fromRgb(0x123456)));
  ASSERT_TRUE(target.BltFast(0, 0, TRect{0, 0, 10, 10}, platform::DDBLTFAST_SRCCOLORKEY, sheet_));
  EXPECT_EQ(target.PixelValue(5, 5), format().fromRgb(0x123456));  // black: skipped
  EXPECT_EQ(target.PixelValue(6, 5), sheet_.PixelValue(6, 5));     // the rest: copied
}

TEST_P(SheetSurface, LoadingAgainKeepsTheSizeAndResetsTheKey) {
  sheet_.LoadImageFile(sheetPath_);
  sheet_.SetSourceKey(sheet_.PixelValue(199, 99));
  EXPECT_EQ(keyOf(sheet_), format().fromRgb(0x8040C0));
  sheet_.LoadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.Width(), 200);
  EXPECT_EQ(sheet_.Height(), 100);
  EXPECT_EQ(keyOf(sheet_), 0u);
  EXPECT_EQ(sheet_.ISurface()->colorKeyHigh(), 0u);
}

TEST_P(SheetSurface, SetSourceKeyMakesExactlyThatValueTransparent) {
  sheet_.LoadImageFile(sheetPath_);
  sheet_.SetSourceKey(0x1234);
  EXPECT_EQ(sheet_.ISurface()->colorKeyLow(), 0x1234u);
  EXPECT_EQ(sheet_.ISurface()->colorKeyHigh(), 0x1234u);
  EXPECT_EQ(sheet_.LastResult(), platform::DD_OK);
}

TEST_P(SheetSurface, ExtensionInCapitalsLoadsLikeLowerCase) {
  const std::string upper = folder_.write("SHEET.BMP", makeTrueColorBmp(200, 100, sheetColours()));
  sheet_.LoadImageFile(upper);
  EXPECT_EQ(sheet_.Width(), 200);
  EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetSurface, ZeroLengthBmpLeavesTheSurfaceEmpty) {
  sheet_.LoadImageFile(sheetPath_);
  sheet_.LoadImageFile(folder_.write("empty.bmp", {}));
  EXPECT_EQ(sheet_.Width(), 0);
  EXPECT_EQ(sheet_.Height(), 0);
  EXPECT_EQ(sheet_.ISurface(), nullptr);
  EXPECT_EQ(sheet_.PixelValue(0, 0), 0u);
  EXPECT_EQ(sheet_.PixelValue(199, 99), 0u);
  const int32_t before = sheet_.LastResult();
  sheet_.SetSourceKey(0x55);
  EXPECT_EQ(sheet_.ISurface(), nullptr);
  EXPECT_EQ(sheet_.LastResult(), before);
}

TEST_P(SheetSurface, ZeroLengthDibFailsWithNoSurface) {
  sheet_.LoadImageFile(sheetPath_);
  try {
    sheet_.LoadImageFile(folder_.write("empty.dib", {}));
    FAIL() << "no exception";
  } catch (const EDirectDrawSurfaceError& e) {
    EXPECT_STREQ(e.what(), "IDirectDrawSurface は作成されていません");
  }
  EXPECT_EQ(sheet_.Width(), 0);
  EXPECT_EQ(sheet_.ISurface(), nullptr);
}

TEST_P(SheetSurface, FallsBackToSystemMemoryAndStaysThere) {
  service_->faults().refuseDisplayMemory = true;
  sheet_.LoadImageFile(sheetPath_);
  EXPECT_TRUE(sheet_.SystemMemoryFallback());
  EXPECT_NE(sheet_.Caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
  // Display memory is offered again, but this surface asks for system memory at once.
  service_->faults().refuseDisplayMemory = false;
  sheet_.Resize(3, 3);
  EXPECT_NE(sheet_.Caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_EQ(sheet_.Caps() & platform::DDSCAPS_VIDEOMEMORY, 0u);
  // A fresh surface still starts in display memory.
  TDirectDrawSurface other(context_.get());
  other.Resize(3, 3);
  EXPECT_FALSE(other.SystemMemoryFallback());
  EXPECT_NE(other.Caps() & platform::DDSCAPS_VIDEOMEMORY, 0u);
}

TEST_P(SheetSurface, BothMemoriesRefusingLeavesItEmpty) {
  sheet_.LoadImageFile(sheetPath_);
  service_->faults().refuseDisplayMemory = true;
  service_->faults().refuseSystemMemory = true;
  try {
    sheet_.LoadImageFile(sheetPath_);
    FAIL() << "no exception";
  } catch (const EDirectDrawSurfaceError& e) {
    EXPECT_STREQ(e.what(), "サーフェース を作成できません");
  }
  EXPECT_EQ(sheet_.ISurface(), nullptr);  // the old pixels went first
  EXPECT_EQ(sheet_.Width(), 0);
  EXPECT_NE(sheet_.LastResult(), platform::DD_OK);
}

TEST_P(SheetSurface, ResizeToNothingReleasesWithoutError) {
  sheet_.Resize(4, 4);
  ASSERT_NE(sheet_.ISurface(), nullptr);
  for (const auto& size :
       {std::pair{0, 4}, std::pair{4, 0}, std::pair{-1, 4}, std::pair{4, INT32_MIN}}) {
    sheet_.Resize(4, 4);
    sheet_.Resize(size.first, size.second);
    EXPECT_EQ(sheet_.ISurface(), nullptr);
    EXPECT_EQ(sheet_.Width(), 0);
    EXPECT_EQ(sheet_.Height(), 0);
  }
}

TEST_P(SheetSurface, EveryCreationStartsWithKeyZero) {
  sheet_.Resize(4, 4);
  sheet_.SetSourceKey(7);
  ASSERT_EQ(keyOf(sheet_), 7u);
  sheet_.Resize(4, 4);
  ASSERT_NE(sheet_.ISurface(), nullptr);
  EXPECT_EQ(keyOf(sheet_), 0u);
}

TEST_P(SheetSurface, LockIsNotNestable) {
  sheet_.LoadImageFile(sheetPath_);
  platform::LockDescription lock;
  ASSERT_TRUE(sheet_.Lock(nullptr, lock));
  platform::LockDescription again;
  EXPECT_FALSE(sheet_.Lock(nullptr, again));
  EXPECT_EQ(sheet_.PixelValue(0, 0), 0u);  // PixelValue needs the lock too
  sheet_.Unlock();
  EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
  sheet_.Unlock();  // nothing locked: nothing happens
  EXPECT_TRUE(sheet_.Lock(nullptr, lock));
  sheet_.Unlock();
}

TEST_P(SheetSurface, LockOfARectangleStartsAtItsFirstPixel) {
  sheet_.LoadImageFile(sheetPath_);
  platform::LockDescription whole;
  ASSERT_TRUE(sheet_.Lock(nullptr, whole));
  sheet_.Unlock();
  platform::LockDescription part;
  const TRect rect{3, 2, 10, 8};
  ASSERT_TRUE(sheet_.Lock(&rect, part));
  sheet_.Unlock();
  EXPECT_EQ(part.bits, whole.bits + 2 * whole.pitch + 3 * format().bytesPerPixel());
  EXPECT_EQ(part.pitch, whole.pitch);
}

TEST_P(SheetSurface, LostSurfaceReadsZeroUntilRestored) {
  sheet_.LoadImageFile(sheetPath_);
  sheet_.ISurface()->markLost();
  EXPECT_EQ(sheet_.PixelValue(199, 99), 0u);
  EXPECT_EQ(sheet_.LastResult(), platform::DDERR_SURFACELOST);
  sheet_.SetSourceKey(5);
  EXPECT_EQ(sheet_.LastResult(), platform::DDERR_SURFACELOST);
  EXPECT_TRUE(sheet_.Restore());
  EXPECT_EQ(sheet_.Width(), 200);
  // The memory is back, the pixels are not; a new load brings them.
  sheet_.LoadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetSurface, RestoreWithoutASurfaceReportsFalse) {
  EXPECT_FALSE(sheet_.Restore());
}

TEST_P(SheetSurface, DestroyingTheContextReleasesTheStillRegisteredSheet) {
  sheet_.LoadImageFile(sheetPath_);
  TDirectDrawPalette palette(context_.get());
  TDirectDrawClipper clipper(context_.get());
  context_.reset();
  EXPECT_EQ(sheet_.DDraw(), nullptr);
  EXPECT_EQ(sheet_.ISurface(), nullptr);
  EXPECT_EQ(sheet_.Width(), 0);
  EXPECT_EQ(sheet_.PixelValue(0, 0), 0u);
  EXPECT_EQ(clipper.IDDClipper(), nullptr);
  // Without a context nothing more can be created, and the owner may still destroy it.
  EXPECT_THROW(sheet_.Resize(2, 2), EDirectDrawSurfaceError);
}

TEST_P(SheetSurface, DestroyedSurfacesLeaveTheRegistry) {
  {
    TDirectDrawSurface a(context_.get());
    TDirectDrawSurface b(context_.get());
    EXPECT_EQ(context_->Surfaces().size(), 3u);
  }
  ASSERT_EQ(context_->Surfaces().size(), 1u);
  EXPECT_EQ(context_->Surfaces()[0], &sheet_);
}

TEST(SixteenBitDisplay, ColoursThatReduceAlikeAreBothTransparent) {
  TDirectDraw context(std::make_shared<SurfaceService>(PixelFormat::rgb565()));
  TDirectDrawSurface sheet(&context);
  TempFolder folder;
  // 0x102030 and 0x132333 differ only in the bits 5-6-5 drops.
  const std::vector<uint32_t> colours{0x102030, 0x132333, 0xFFFFFF, 0x102030};
  sheet.LoadImageFile(folder.write("two.bmp", makeTrueColorBmp(4, 1, colours)));
  ASSERT_EQ(sheet.PixelValue(0, 0), sheet.PixelValue(1, 0));
  sheet.SetSourceKey(sheet.PixelValue(1, 0));
  TDirectDrawSurface target(&context);
  target.Resize(4, 1);
  ASSERT_TRUE(target.FillAll(0x0001));
  ASSERT_TRUE(target.BltFast(0, 0, TRect{0, 0, 4, 1}, platform::DDBLTFAST_SRCCOLORKEY, sheet));
  EXPECT_EQ(target.PixelValue(0, 0), 0x0001u);
  EXPECT_EQ(target.PixelValue(1, 0), 0x0001u);
  EXPECT_EQ(target.PixelValue(2, 0), 0xFFFFu);
  EXPECT_EQ(target.PixelValue(3, 0), 0x0001u);
}

// The failure rows of image loading: each raises its class and message and leaves the
// previous picture, size, key and platform surface as they were.
struct LoadFailure {
  const char* name;
  const char* file;  // written into the folder unless it is "missing"
  std::function<std::vector<uint8_t>()> bytes;
  const std::type_info* type;
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
  const auto& gi = typeid(EInvalidGraphic);
  const auto& gio = typeid(EInvalidGraphicOperation);
  const auto& rd = typeid(EReadError);
  const std::string badBmp = "ビットマップイメージが不正です";
  const std::string badDib = "不正な DIB です";
  const std::string shortRead = "ストリームからの読み込みエラー";
  return {
      {"png extension", "sheet.png", small24, &gi, "拡張子 .png の画像形式は処理できません"},
      {"no extension", "sheet", small24, &gi, "拡張子 . の画像形式は処理できません"},
      {"icon", "sheet.ico", small24, &gi, "拡張子 .ico の画像形式は処理できません"},
      {"metafile", "sheet.WMF", small24, &gi, "拡張子 .WMF の画像形式は処理できません"},
      {"enhanced metafile", "sheet.emf", small24, &gi, "拡張子 .emf の画像形式は処理できません"},
      {"missing file", "missing", nullptr, &typeid(EFOpenError), "ファイル %p は開けません"},
      {"bmp type not BM", "a.bmp", [] { return withField(small24(), 0, 'B' | ('A' << 8), 2); }, &gi,
       badBmp},
      {"bmp plane count 2", "a.bmp", [] { return withField(small24(), 26, 2, 2); }, &gi, badBmp},
      {"bmp refused: 2 bits per pixel", "a.bmp", [] { return withField(small24(), 28, 2, 2); }, &gi,
       badBmp},
      {"bmp refused: JPEG inside", "a.bmp", [] { return withField(small24(), 30, 4, 4); }, &gi,
       badBmp},
      {"bmp shorter than its file header", "a.bmp",
       [] {
         return std::vector<uint8_t>{'B', 'M', 0};
       },
       &rd, shortRead},
      {"bmp shorter than its info header", "a.bmp",
       [] {
         auto f = small24();
         f.resize(30);
         return f;
       },
       &rd, shortRead},
      {"bmp shorter than its pixels", "a.bmp",
       [] {
         auto f = small24();
         f.resize(f.size() - 3);
         return f;
       },
       &rd, shortRead},
      {"dib type not BM", "a.dib", [] { return withField(small24(), 0, 'M' | ('B' << 8), 2); }, &gi,
       badDib},
      {"dib V4 header", "a.dib",
       [] {
         BmpSpec s;
         s.headerSize = 108;
         s.data.assign(4, 0);
         return makeBmp(s);
       },
       &gi, badDib},
      {"dib compression JPEG", "a.dib", [] { return withField(small24(), 30, 4, 4); }, &gi, badDib},
      {"dib bit count 7", "a.dib", [] { return withField(small24(), 28, 7, 2); }, &gio,
       "不正なビット数です (7)"},
      {"dib bit count 0", "a.dib", [] { return withField(small24(), 28, 0, 2); }, &gio,
       "不正なビット数です (0)"},
      {"dib 4-4-4 masks", "a.dib",
       [] {
         return masked(16, {0xF00, 0xF0, 0xF});
       },
       &gio, "不正なピクセルフォーマットです"},
      {"dib 16-bit 8-8-8 masks", "a.dib",
       [] {
         return masked(16, {0xFF0000, 0xFF00, 0xFF});
       },
       &gio, "不正なピクセルフォーマットです"},
      {"dib 32-bit 5-6-5 masks", "a.dib",
       [] {
         return masked(32, {0xF800, 0x7E0, 0x1F});
       },
       &gio, "不正なピクセルフォーマットです"},
      {"dib shorter than its pixels", "a.dib",
       [] {
         auto f = small24();
         f.resize(f.size() - 3);
         return f;
       },
       &rd, shortRead},
  };
}

TEST_P(SheetSurface, FailedLoadsLeaveTheSurfaceUntouched) {
  for (const LoadFailure& row : loadFailures()) {
    SCOPED_TRACE(row.name);
    sheet_.LoadImageFile(sheetPath_);
    sheet_.SetSourceKey(sheet_.PixelValue(199, 99));
    const platform::PlatformSurface* before = sheet_.ISurface();
    const std::string path =
        row.bytes ? folder_.write(row.file, row.bytes()) : folder_.pathOf("nothing.bmp");
    std::string expected = row.message;
    if (const auto at = expected.find("%p"); at != std::string::npos) expected.replace(at, 2, path);
    try {
      sheet_.LoadImageFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e), *row.type) << typeid(e).name();
      EXPECT_EQ(e.message(), expected);
    }
    EXPECT_EQ(sheet_.ISurface(), before);
    EXPECT_EQ(sheet_.Width(), 200);
    EXPECT_EQ(sheet_.Height(), 100);
    EXPECT_EQ(keyOf(sheet_), format().fromRgb(0x8040C0));
    EXPECT_EQ(sheet_.PixelValue(199, 99), format().fromRgb(0x8040C0));
    EXPECT_EQ(sheet_.PixelValue(10, 20), format().fromRgb(sheetColours()[20 * 200 + 10]));
  }
}

// A file larger than any picture the readers accept is refused before it is read: naming a
// huge file must not cost its size in memory.
TEST_P(SheetSurface, HugeFileIsRefusedUnread) {
  sheet_.LoadImageFile(sheetPath_);
  const platform::PlatformSurface* before = sheet_.ISurface();
  for (const auto& [name, message] : {std::pair{"huge.bmp", "ビットマップイメージが不正です"},
                                      std::pair{"huge.dib", "不正な DIB です"}}) {
    SCOPED_TRACE(name);
    const std::string path = folder_.write(name, small24());
    std::filesystem::resize_file(path, kMaxImageFileBytes + 1);  // sparse: no disk used
    try {
      sheet_.LoadImageFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(sheet_.ISurface(), before);
    std::filesystem::remove(path);
  }
}

INSTANTIATE_TEST_SUITE_P(DisplayFormats, SheetSurface,
                         ::testing::Values(PixelFormat::xrgb8888(), PixelFormat::rgb565()),
                         [](const ::testing::TestParamInfo<PixelFormat>& info) {
                           return info.param.bitsPerPixel == 32 ? "Xrgb8888" : "Rgb565";
                         });

// The drawing context's own failure rows.
TEST(DrawingContext, RaisesWhenThePlatformCannotOpenTheDisplay) {
  const struct {
    const char* name;
    bool FaultInjection::*fault;
    const std::type_info* type;
    const char* message;
  } rows[] = {
      {"library missing", &FaultInjection::libraryMissing, &typeid(Exception),
       "DDraw.dll を読み込めません"},
      {"display refused", &FaultInjection::refuseOpen, &typeid(EDirectDrawError),
       "DirectDraw を初期化できません"},
      {"no version 6 interface", &FaultInjection::missingInterface, &typeid(EDirectDrawError),
       "DirectX 6 以降が必要です"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto service = std::make_shared<SurfaceService>();
    service->faults().*(row.fault) = true;
    try {
      TDirectDraw context(service);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e), *row.type);
      EXPECT_STREQ(e.what(), row.message);
    }
  }
}

TEST(DrawingContext, DestroysRegisteredObjectsAndForgetsThem) {
  auto context = std::make_unique<TDirectDraw>(std::make_shared<SurfaceService>());
  TDirectDrawClipper clipper1(context.get());
  TDirectDrawClipper clipper2(context.get());
  TDirectDrawPalette palette(context.get());
  TDirectDrawSurface a(context.get());
  TDirectDrawSurface b(context.get());
  a.Resize(2, 2);
  b.Resize(3, 3);
  EXPECT_EQ(context->Clippers().size(), 2u);
  EXPECT_EQ(context->Palettes().size(), 1u);
  EXPECT_EQ(context->Surfaces().size(), 2u);
  context.reset();
  for (const TDirectDrawSurface* s : {&a, &b}) {
    EXPECT_EQ(s->DDraw(), nullptr);
    EXPECT_EQ(s->ISurface(), nullptr);
  }
  EXPECT_EQ(clipper1.IDDClipper(), nullptr);
  EXPECT_EQ(clipper2.IDDClipper(), nullptr);
}

TEST(DrawingContext, CreationResultIsRecordedOnBothObjects) {
  auto service = std::make_shared<SurfaceService>();
  TDirectDraw context(service);
  TDirectDrawSurface s(&context);
  service->faults().refuseDisplayMemory = true;
  service->faults().refuseSystemMemory = true;
  EXPECT_FALSE(s.CreateSurface({4, 4, platform::DDSCAPS_OFFSCREENPLAIN}));
  EXPECT_EQ(s.LastResult(), platform::DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(context.LastResult(), platform::DDERR_OUTOFVIDEOMEMORY);
  service->faults() = {};
  EXPECT_TRUE(s.CreateSurface({4, 4, platform::DDSCAPS_OFFSCREENPLAIN}));
  EXPECT_EQ(s.LastResult(), platform::DD_OK);
  EXPECT_EQ(context.LastResult(), platform::DD_OK);
}

// PixelValue in every depth a surface can have; the display formats above use 16 and 32.
TEST(PixelValue, ReadsTheRawValueAtEveryDepth) {
  const struct {
    int32_t bits;
    std::vector<uint8_t> row;  // the first bytes of row 1
    int32_t x;
    uint32_t expected;
  } rows[] = {
      {8, {0x00, 0x9A, 0x00}, 1, 0x9A},
      {16, {0, 0, 0x34, 0x12}, 1, 0x1234},
      {24, {0, 0, 0, 0x56, 0x34, 0x12}, 1, 0x123456},
      {32, {0, 0, 0, 0, 0x78, 0x56, 0x34, 0x12}, 1, 0x12345678},
      {4, {0xAB}, 0, 0xA},  // even x: the high four bits
      {4, {0xAB}, 1, 0xB},
      {1, {0x04}, 2, 1},  // least significant bit first
      {1, {0x04}, 5, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.bits << " bits, x " << r.x);
    TDirectDraw context(std::make_shared<SurfaceService>(PixelFormat{r.bits, 0, 0, 0}));
    TDirectDrawSurface s(&context);
    s.Resize(8, 2);
    platform::LockDescription lock;
    ASSERT_TRUE(s.Lock(nullptr, lock));
    std::copy(r.row.begin(), r.row.end(), lock.bits + lock.pitch);
    s.Unlock();
    EXPECT_EQ(s.PixelValue(r.x, 1), r.expected);
    EXPECT_EQ(s.PixelValue(r.x, 0), 0u);
  }
}

}  // namespace
}  // namespace patapata
