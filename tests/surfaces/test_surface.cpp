#include "surfaces/surface.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/image_readers.h"
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

// One display format per run: the default 32-bit XRGB and the 16-bit 5-6-5.
class SheetSurface : public ::testing::TestWithParam<PixelFormat> {
 protected:
  PixelFormat format() const { return GetParam(); }
  std::shared_ptr<SurfaceService> service_ = std::make_shared<SurfaceService>(GetParam());
  std::unique_ptr<DrawContext> context_ = std::make_unique<DrawContext>(service_);
  Surface sheet_{context_.get()};
  TempFolder folder_;
  std::string sheetPath_ = folder_.write("sheet.bmp", makeTrueColorBmp(200, 100, sheetColours()));
};

TEST_P(SheetSurface, StartsEmpty) {
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.height(), 0);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
  EXPECT_FALSE(sheet_.isInSystemMemory());
  ASSERT_EQ(context_->surfaces().size(), 1u);
  EXPECT_EQ(context_->surfaces()[0], &sheet_);
}

TEST_P(SheetSurface, ReadsTheBottomRightPixelAndZeroOutside) {
  sheet_.loadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.width(), 200);
  EXPECT_EQ(sheet_.height(), 100);
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
  EXPECT_EQ(sheet_.pixelValue(0, 0), format().fromRgb(sheetColours()[0]));
  const struct {
    int32_t x, y;
  } outside[] = {{200, 0}, {0, 100}, {-1, 0}, {0, -1}, {INT32_MIN, 0}, {0, INT32_MAX}};
  for (const auto& p : outside) {
    SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
    EXPECT_EQ(sheet_.pixelValue(p.x, p.y), 0u);
  }
}

TEST_P(SheetSurface, KeyIsZeroRightAfterALoadSoBlackIsTransparent) {
  sheet_.loadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
  Surface target(context_.get());
  target.resize(10, 10);
  ASSERT_TRUE(target.fill(format().fromRgb(0x123456)));
  ASSERT_TRUE(target.blit(0, 0, Rect{0, 0, 10, 10}, CopyMode::keyed, sheet_));
  EXPECT_EQ(target.pixelValue(5, 5), format().fromRgb(0x123456));  // black: skipped
  EXPECT_EQ(target.pixelValue(6, 5), sheet_.pixelValue(6, 5));     // the rest: copied
}

TEST_P(SheetSurface, LoadingAgainKeepsTheSizeAndResetsTheKey) {
  sheet_.loadImageFile(sheetPath_);
  sheet_.setSourceKey(sheet_.pixelValue(199, 99));
  EXPECT_EQ(sheet_.sourceKey(), format().fromRgb(0x8040C0));
  sheet_.loadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.width(), 200);
  EXPECT_EQ(sheet_.height(), 100);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
}

TEST_P(SheetSurface, SetSourceKeyMakesExactlyThatValueTransparent) {
  sheet_.loadImageFile(sheetPath_);
  sheet_.setSourceKey(0x1234);
  EXPECT_EQ(sheet_.sourceKey(), 0x1234u);
  EXPECT_EQ(sheet_.platformSurface()->colorKey(), 0x1234u);
}

TEST_P(SheetSurface, ExtensionInCapitalsLoadsLikeLowerCase) {
  const std::string upper = folder_.write("SHEET.BMP", makeTrueColorBmp(200, 100, sheetColours()));
  sheet_.loadImageFile(upper);
  EXPECT_EQ(sheet_.width(), 200);
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetSurface, ZeroLengthBmpLeavesTheSurfaceEmpty) {
  sheet_.loadImageFile(sheetPath_);
  sheet_.loadImageFile(folder_.write("empty.bmp", {}));
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.height(), 0);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);
  EXPECT_EQ(sheet_.pixelValue(199, 99), 0u);
  sheet_.setSourceKey(0x55);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
}

TEST_P(SheetSurface, ZeroLengthDibFailsWithNoSurface) {
  sheet_.loadImageFile(sheetPath_);
  try {
    sheet_.loadImageFile(folder_.write("empty.dib", {}));
    FAIL() << "no exception";
  } catch (const SurfaceError& e) {
    EXPECT_STREQ(e.what(), "IDirectDrawSurface は作成されていません");
  }
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
}

TEST_P(SheetSurface, FallsBackToSystemMemoryAndStaysThere) {
  service_->faults().refuseDisplayMemory = true;
  sheet_.loadImageFile(sheetPath_);
  EXPECT_TRUE(sheet_.isInSystemMemory());
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
  // Display memory is offered again, but this surface asks for system memory at once.
  service_->faults().refuseDisplayMemory = false;
  sheet_.resize(3, 3);
  EXPECT_TRUE(sheet_.isInSystemMemory());
  // A fresh surface still starts in display memory.
  Surface other(context_.get());
  other.resize(3, 3);
  EXPECT_FALSE(other.isInSystemMemory());
}

TEST_P(SheetSurface, BothMemoriesRefusingLeavesItEmpty) {
  sheet_.loadImageFile(sheetPath_);
  service_->faults().refuseDisplayMemory = true;
  service_->faults().refuseSystemMemory = true;
  try {
    sheet_.loadImageFile(sheetPath_);
    FAIL() << "no exception";
  } catch (const SurfaceError& e) {
    EXPECT_STREQ(e.what(), "サーフェース を作成できません");
  }
  EXPECT_EQ(sheet_.platformSurface(), nullptr);  // the old pixels went first
  EXPECT_EQ(sheet_.width(), 0);
}

TEST_P(SheetSurface, ResizeToNothingReleasesWithoutError) {
  sheet_.resize(4, 4);
  ASSERT_NE(sheet_.platformSurface(), nullptr);
  for (const auto& size :
       {std::pair{0, 4}, std::pair{4, 0}, std::pair{-1, 4}, std::pair{4, INT32_MIN}}) {
    sheet_.resize(4, 4);
    sheet_.resize(size.first, size.second);
    EXPECT_EQ(sheet_.platformSurface(), nullptr);
    EXPECT_EQ(sheet_.width(), 0);
    EXPECT_EQ(sheet_.height(), 0);
  }
}

TEST_P(SheetSurface, EveryCreationStartsWithKeyZero) {
  sheet_.resize(4, 4);
  sheet_.setSourceKey(7);
  ASSERT_EQ(sheet_.sourceKey(), 7u);
  sheet_.resize(4, 4);
  ASSERT_NE(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
}

TEST_P(SheetSurface, LockIsNotNestable) {
  sheet_.loadImageFile(sheetPath_);
  LockDescription lock;
  ASSERT_TRUE(sheet_.lock(nullptr, lock));
  LockDescription again;
  EXPECT_FALSE(sheet_.lock(nullptr, again));
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);  // pixelValue needs the lock too
  sheet_.unlock();
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
  sheet_.unlock();  // nothing locked: nothing happens
  EXPECT_TRUE(sheet_.lock(nullptr, lock));
  sheet_.unlock();
}

TEST_P(SheetSurface, LockOfARectangleStartsAtItsFirstPixel) {
  sheet_.loadImageFile(sheetPath_);
  LockDescription whole;
  ASSERT_TRUE(sheet_.lock(nullptr, whole));
  sheet_.unlock();
  LockDescription part;
  const Rect rect{3, 2, 10, 8};
  ASSERT_TRUE(sheet_.lock(&rect, part));
  sheet_.unlock();
  EXPECT_EQ(part.bits, whole.bits + 2 * whole.pitch + 3 * format().bytesPerPixel());
  EXPECT_EQ(part.pitch, whole.pitch);
}

TEST_P(SheetSurface, LostSurfaceReadsZeroUntilRestored) {
  sheet_.loadImageFile(sheetPath_);
  sheet_.platformSurface()->markLost();
  EXPECT_TRUE(sheet_.isLost());
  EXPECT_EQ(sheet_.pixelValue(199, 99), 0u);
  sheet_.setSourceKey(5);
  EXPECT_EQ(sheet_.sourceKey(), 0u);  // refused while lost
  EXPECT_TRUE(sheet_.restore());
  EXPECT_FALSE(sheet_.isLost());
  EXPECT_EQ(sheet_.width(), 200);
  // The memory is back, the pixels are not; a new load brings them.
  sheet_.loadImageFile(sheetPath_);
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetSurface, RestoreWithoutASurfaceReportsFalse) {
  EXPECT_FALSE(sheet_.restore());
}

TEST_P(SheetSurface, DestroyingTheContextReleasesTheStillRegisteredSheet) {
  sheet_.loadImageFile(sheetPath_);
  context_.reset();
  EXPECT_EQ(sheet_.context(), nullptr);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);
  // Without a context nothing more can be created, and the owner may still destroy it.
  EXPECT_THROW(sheet_.resize(2, 2), SurfaceError);
}

TEST_P(SheetSurface, DestroyedSurfacesLeaveTheRegistry) {
  {
    Surface a(context_.get());
    Surface b(context_.get());
    EXPECT_EQ(context_->surfaces().size(), 3u);
  }
  ASSERT_EQ(context_->surfaces().size(), 1u);
  EXPECT_EQ(context_->surfaces()[0], &sheet_);
}

TEST(SixteenBitDisplay, ColoursThatReduceAlikeAreBothTransparent) {
  DrawContext context(std::make_shared<SurfaceService>(PixelFormat::rgb565()));
  Surface sheet(&context);
  TempFolder folder;
  // 0x102030 and 0x132333 differ only in the bits 5-6-5 drops.
  const std::vector<uint32_t> colours{0x102030, 0x132333, 0xFFFFFF, 0x102030};
  sheet.loadImageFile(folder.write("two.bmp", makeTrueColorBmp(4, 1, colours)));
  ASSERT_EQ(sheet.pixelValue(0, 0), sheet.pixelValue(1, 0));
  sheet.setSourceKey(sheet.pixelValue(1, 0));
  Surface target(&context);
  target.resize(4, 1);
  ASSERT_TRUE(target.fill(0x0001));
  ASSERT_TRUE(target.blit(0, 0, Rect{0, 0, 4, 1}, CopyMode::keyed, sheet));
  EXPECT_EQ(target.pixelValue(0, 0), 0x0001u);
  EXPECT_EQ(target.pixelValue(1, 0), 0x0001u);
  EXPECT_EQ(target.pixelValue(2, 0), 0xFFFFu);
  EXPECT_EQ(target.pixelValue(3, 0), 0x0001u);
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
  const auto& gi = typeid(InvalidImageError);
  const auto& gio = typeid(UnsupportedImageError);
  const auto& rd = typeid(ReadError);
  const std::string badBmp = "ビットマップイメージが不正です";
  const std::string badDib = "不正な DIB です";
  const std::string shortRead = "ストリームからの読み込みエラー";
  return {
      {"gif extension", "sheet.gif", small24, &gi, "拡張子 .gif の画像形式は処理できません"},
      {"png holding a BMP", "sheet.png", small24, &gi, badBmp},
      {"no extension", "sheet", small24, &gi, "拡張子 . の画像形式は処理できません"},
      {"icon", "sheet.ico", small24, &gi, "拡張子 .ico の画像形式は処理できません"},
      {"metafile", "sheet.WMF", small24, &gi, "拡張子 .WMF の画像形式は処理できません"},
      {"enhanced metafile", "sheet.emf", small24, &gi, "拡張子 .emf の画像形式は処理できません"},
      {"missing file", "missing", nullptr, &typeid(FileOpenError), "ファイル %p は開けません"},
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
    sheet_.loadImageFile(sheetPath_);
    sheet_.setSourceKey(sheet_.pixelValue(199, 99));
    const platform::PlatformSurface* before = sheet_.platformSurface();
    const std::string path =
        row.bytes ? folder_.write(row.file, row.bytes()) : folder_.pathOf("nothing.bmp");
    std::string expected = row.message;
    if (const auto at = expected.find("%p"); at != std::string::npos) expected.replace(at, 2, path);
    try {
      sheet_.loadImageFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e), *row.type) << typeid(e).name();
      EXPECT_EQ(e.message(), expected);
    }
    EXPECT_EQ(sheet_.platformSurface(), before);
    EXPECT_EQ(sheet_.width(), 200);
    EXPECT_EQ(sheet_.height(), 100);
    EXPECT_EQ(sheet_.sourceKey(), format().fromRgb(0x8040C0));
    EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
    EXPECT_EQ(sheet_.pixelValue(10, 20), format().fromRgb(sheetColours()[20 * 200 + 10]));
  }
}

// A file larger than any picture the readers accept is refused before it is read: naming a
// huge file must not cost its size in memory.
TEST_P(SheetSurface, HugeFileIsRefusedUnread) {
  sheet_.loadImageFile(sheetPath_);
  const platform::PlatformSurface* before = sheet_.platformSurface();
  for (const auto& [name, message] : {std::pair{"huge.bmp", "ビットマップイメージが不正です"},
                                      std::pair{"huge.dib", "不正な DIB です"},
                                      std::pair{"huge.png", "ビットマップイメージが不正です"}}) {
    SCOPED_TRACE(name);
    const std::string path = folder_.write(name, small24());
    std::filesystem::resize_file(path, kMaxImageFileBytes + 1);  // sparse: no disk used
    try {
      sheet_.loadImageFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const InvalidImageError& e) {
      EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(sheet_.platformSurface(), before);
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
      {"display refused", &FaultInjection::refuseOpen, &typeid(DrawContextError),
       "DirectDraw を初期化できません"},
      {"no version 6 interface", &FaultInjection::missingInterface, &typeid(DrawContextError),
       "DirectX 6 以降が必要です"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto service = std::make_shared<SurfaceService>();
    service->faults().*(row.fault) = true;
    try {
      DrawContext context(service);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e), *row.type);
      EXPECT_STREQ(e.what(), row.message);
    }
  }
}

TEST(DrawingContext, DestroysRegisteredSurfacesAndForgetsThem) {
  auto context = std::make_unique<DrawContext>(std::make_shared<SurfaceService>());
  Surface a(context.get());
  Surface b(context.get());
  a.resize(2, 2);
  b.resize(3, 3);
  EXPECT_EQ(context->surfaces().size(), 2u);
  context.reset();
  for (const Surface* s : {&a, &b}) {
    EXPECT_EQ(s->context(), nullptr);
    EXPECT_EQ(s->platformSurface(), nullptr);
  }
}

// pixelValue in every depth a surface can have; the display formats above use 16 and 32.
TEST(SurfacePixelValue, ReadsTheRawValueAtEveryDepth) {
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
    DrawContext context(std::make_shared<SurfaceService>(PixelFormat{r.bits, 0, 0, 0}));
    Surface s(&context);
    s.resize(8, 2);
    LockDescription lock;
    ASSERT_TRUE(s.lock(nullptr, lock));
    std::copy(r.row.begin(), r.row.end(), lock.bits + lock.pitch);
    s.unlock();
    EXPECT_EQ(s.pixelValue(r.x, 1), r.expected);
    EXPECT_EQ(s.pixelValue(r.x, 0), 0u);
  }
}

}  // namespace
}  // namespace patapata
