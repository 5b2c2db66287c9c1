#include "surfaces/surface.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include "support/temp_dir.h"
#include "test_image_bmp_builder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
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
class SheetSurface : public ::testing::TestWithParam<PixelFormat> {
 protected:
  PixelFormat format() const { return GetParam(); }
  std::shared_ptr<SurfaceService> service_ = std::make_shared<SurfaceService>(GetParam());
  std::unique_ptr<DrawContext> context_ = std::make_unique<DrawContext>(service_);
  Surface sheet_{context_.get()};
  testing::TempDir folder_;
  std::string sheetPath_ = folder_.write("sheet.bmp", makeTrueColorBmp(200, 100, sheetColours()));

  /// The sheet's picture, drawn into the surface at its size.
  void loadSheet() {
    const auto picture = SheetPicture::load(*service_, sheetPath_);
    sheet_.resize(picture->width(), picture->height());
    ASSERT_TRUE(sheet_.blit(0, 0, Rect{0, 0, picture->width(), picture->height()}, CopyMode::opaque,
                            *picture));
  }
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

TEST_P(SheetSurface, SetSourceKeyMakesExactlyThatValueTransparent) {
  loadSheet();
  sheet_.setSourceKey(0x1234);
  EXPECT_EQ(sheet_.sourceKey(), 0x1234u);
  EXPECT_EQ(sheet_.platformSurface()->colorKey(), 0x1234u);
}

TEST_P(SheetSurface, AnEmptySurfaceReadsZeroAndTakesNoKey) {
  loadSheet();
  sheet_.resize(0, 0);
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.height(), 0);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);
  EXPECT_EQ(sheet_.pixelValue(199, 99), 0u);
  sheet_.setSourceKey(0x55);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.sourceKey(), 0u);
}

TEST_P(SheetSurface, FallsBackToSystemMemoryAndStaysThere) {
  service_->faults().refuseDisplayMemory = true;
  sheet_.resize(200, 100);
  EXPECT_TRUE(sheet_.isInSystemMemory());
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
  loadSheet();
  service_->faults().refuseDisplayMemory = true;
  service_->faults().refuseSystemMemory = true;
  try {
    sheet_.resize(200, 100);
    FAIL() << "no exception";
  } catch (const Error& e) {
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
  loadSheet();
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
  loadSheet();
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
  loadSheet();
  sheet_.platformSurface()->markLost();
  EXPECT_TRUE(sheet_.isLost());
  EXPECT_EQ(sheet_.pixelValue(199, 99), 0u);
  sheet_.setSourceKey(5);
  EXPECT_EQ(sheet_.sourceKey(), 0u);  // refused while lost
  EXPECT_TRUE(sheet_.restore());
  EXPECT_FALSE(sheet_.isLost());
  EXPECT_EQ(sheet_.width(), 200);
  // The memory is back, the pixels are not; a new copy brings them.
  loadSheet();
  EXPECT_EQ(sheet_.pixelValue(199, 99), format().fromRgb(0x8040C0));
}

TEST_P(SheetSurface, RestoreWithoutASurfaceReportsFalse) {
  EXPECT_FALSE(sheet_.restore());
}

TEST_P(SheetSurface, DestroyingTheContextReleasesTheStillRegisteredSheet) {
  loadSheet();
  context_.reset();
  EXPECT_EQ(sheet_.context(), nullptr);
  EXPECT_EQ(sheet_.platformSurface(), nullptr);
  EXPECT_EQ(sheet_.width(), 0);
  EXPECT_EQ(sheet_.pixelValue(0, 0), 0u);
  // Without a context nothing more can be created, and the owner may still destroy it.
  EXPECT_THROW(sheet_.resize(2, 2), Error);
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
      {"library missing", &FaultInjection::libraryMissing, &typeid(Error),
       "DDraw.dll を読み込めません"},
      {"display refused", &FaultInjection::refuseOpen, &typeid(Error),
       "DirectDraw を初期化できません"},
      {"no version 6 interface", &FaultInjection::missingInterface, &typeid(Error),
       "DirectX 6 以降が必要です"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto service = std::make_shared<SurfaceService>();
    service->faults().*(row.fault) = true;
    try {
      DrawContext context(service);
      ADD_FAILURE() << "no exception";
    } catch (const Error& e) {
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
