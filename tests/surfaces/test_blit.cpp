#include "surfaces/surface.h"

#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace patapata {
namespace {

// A drawing context with surfaces made against it, in one display format.
struct Canvas {
  explicit Canvas(PixelFormat format = PixelFormat::xrgb8888())
      : service(std::make_shared<platform::SurfaceService>(format)), context(service) {}

  std::unique_ptr<Surface> surface(int32_t width, int32_t height, uint32_t fill) {
    auto s = std::make_unique<Surface>(&context);
    s->resize(width, height);
    EXPECT_TRUE(s->fill(fill));
    return s;
  }

  std::shared_ptr<platform::SurfaceService> service;
  DrawContext context;
};

// Every pixel: `inside` within the rectangle, `outside` elsewhere.
::testing::AssertionResult holds(Surface& s, const Rect& r, uint32_t inside, uint32_t outside) {
  for (int32_t y = 0; y < s.height(); ++y) {
    for (int32_t x = 0; x < s.width(); ++x) {
      const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      const uint32_t want = in ? inside : outside;
      const uint32_t got = s.pixelValue(x, y);
      if (got != want) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << got << ", expected " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

constexpr uint32_t kCel = 0x00123456;
constexpr int32_t kBig = std::numeric_limits<int32_t>::max();
constexpr int32_t kSmall = std::numeric_limits<int32_t>::min();

struct FastCase {
  const char* name;
  int32_t x;
  int32_t y;
  Rect source;
  bool drawn;
};

TEST(Blit, DrawsOnlyWhenBothRectanglesLieWhollyInside) {
  const FastCase cases[] = {
      {"10 x 10 at the right edge", 111, 0, {0, 0, 10, 10}, true},
      {"10 x 10 one past the right edge", 112, 0, {0, 0, 10, 10}, false},
      {"10 x 10 well past the right edge", 115, 0, {0, 0, 10, 10}, false},
      {"10 x 10 at the bottom edge", 0, 261, {0, 0, 10, 10}, true},
      {"10 x 10 past the bottom edge", 0, 262, {0, 0, 10, 10}, false},
      {"left of the destination", -1, 0, {0, 0, 10, 10}, false},
      {"above the destination", 0, -1, {0, 0, 10, 10}, false},
      {"part of the source", 50, 60, {2, 3, 7, 9}, true},
      {"one pixel", 120, 270, {9, 9, 10, 10}, true},
      {"empty source", 0, 0, {0, 0, 0, 10}, false},
      {"empty source rows", 0, 0, {0, 5, 10, 5}, false},
      {"inverted source", 0, 0, {10, 10, 0, 0}, false},
      {"source past its right edge", 0, 0, {5, 0, 15, 10}, false},
      {"source past its bottom edge", 0, 0, {0, 5, 10, 11}, false},
      {"source left of its origin", 0, 0, {-1, 0, 9, 10}, false},
      {"position where the right edge overflows", kBig - 5, 0, {0, 0, 10, 10}, false},
      {"position where the bottom edge overflows", 0, kBig - 5, {0, 0, 10, 10}, false},
      {"most negative position", kSmall, kSmall, {0, 0, 10, 10}, false},
  };
  for (const FastCase& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    auto back = canvas.surface(121, 271, 0);
    auto cel = canvas.surface(10, 10, kCel);
    const bool result = back->blit(c.x, c.y, c.source, CopyMode::opaque, *cel);
    EXPECT_EQ(result, c.drawn);
    if (c.drawn) {
      const Rect target{c.x, c.y, c.x + c.source.right - c.source.left,
                        c.y + c.source.bottom - c.source.top};
      EXPECT_TRUE(holds(*back, target, kCel, 0));
    } else {
      EXPECT_TRUE(holds(*back, {}, 0, 0));
    }
  }
}

TEST(Blit, RefusesASourceWithoutAPlatformSurface) {
  Canvas canvas;
  auto back = canvas.surface(121, 271, 0);
  Surface empty(&canvas.context);
  EXPECT_FALSE(back->blit(0, 0, {0, 0, 1, 1}, CopyMode::opaque, empty));
  EXPECT_TRUE(holds(*back, {}, 0, 0));
}

TEST(Blit, RefusesWithoutADestinationSurface) {
  Canvas canvas;
  auto cel = canvas.surface(10, 10, kCel);
  Surface empty(&canvas.context);
  EXPECT_FALSE(empty.blit(0, 0, {0, 0, 10, 10}, CopyMode::opaque, *cel));
  EXPECT_FALSE(empty.fill(0));
}

TEST(Blit, RefusesALostSourceOrDestination) {
  Canvas canvas;
  auto back = canvas.surface(20, 20, 0);
  auto cel = canvas.surface(10, 10, kCel);
  cel->platformSurface()->markLost();
  EXPECT_FALSE(back->blit(0, 0, {0, 0, 10, 10}, CopyMode::opaque, *cel));
  EXPECT_TRUE(holds(*back, {}, 0, 0));

  auto fresh = canvas.surface(10, 10, kCel);
  back->platformSurface()->markLost();
  EXPECT_FALSE(back->blit(0, 0, {0, 0, 10, 10}, CopyMode::opaque, *fresh));
  EXPECT_FALSE(back->fill(0));
  ASSERT_TRUE(back->restore());
  // The memory came back without its pixels: neither call above wrote into it.
  EXPECT_TRUE(holds(*back, {}, 0, 0xA5A5A5A5));
}

// Colour-keyed copies, at each display depth the viewer offers.
class KeyedBlit : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(KeyedBlit, SkipsExactlyTheKeyFromTheBottomRightPixel) {
  const PixelFormat format = GetParam();
  Canvas canvas(format);
  // A 4 x 3 sheet: the bottom-right pixel sets the key; the key colour appears elsewhere too,
  // next to values one step away from it.
  const uint32_t key = format.fromRgb(0x00FF00FF);
  const uint32_t nearKey = format.fromRgb(0x00FF00F0) == key ? key - 1 : format.fromRgb(0x00FF00F0);
  const uint32_t sheetPixels[3][4] = {
      {format.fromRgb(0x00102030), key, nearKey, key + 1},
      {key, format.fromRgb(0x00FFFFFF), 0, key},
      {format.fromRgb(0x00000001), key, format.fromRgb(0x00808080), key},
  };
  auto sheet = canvas.surface(4, 3, 0);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) sheet->platformSurface()->setPixel(x, y, sheetPixels[y][x]);
  }
  sheet->setSourceKey(sheet->pixelValue(sheet->width() - 1, sheet->height() - 1));
  ASSERT_EQ(sheet->pixelValue(3, 2), key);

  const uint32_t background = format.fromRgb(0x00445566);
  for (CopyMode mode : {CopyMode::opaque, CopyMode::keyed}) {
    SCOPED_TRACE(mode == CopyMode::keyed ? "keyed" : "opaque");
    auto back = canvas.surface(10, 10, background);
    ASSERT_TRUE(back->blit(5, 6, {0, 0, 4, 3}, mode, *sheet));
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 4; ++x) {
        const uint32_t src = sheetPixels[y][x];
        const uint32_t want = (mode == CopyMode::keyed && src == key) ? background : src;
        EXPECT_EQ(back->pixelValue(5 + x, 6 + y), want) << x << ", " << y;
      }
    }
    EXPECT_EQ(back->pixelValue(4, 6), background);
    EXPECT_EQ(back->pixelValue(9, 9), background);
  }
}

TEST_P(KeyedBlit, KeyAfterCreationIsZero) {
  const PixelFormat format = GetParam();
  Canvas canvas(format);
  auto sheet = canvas.surface(2, 1, 0);
  sheet->platformSurface()->setPixel(1, 0, format.fromRgb(0x00FFFFFF));
  auto back = canvas.surface(2, 1, format.fromRgb(0x000000FF));
  ASSERT_TRUE(back->blit(0, 0, {0, 0, 2, 1}, CopyMode::keyed, *sheet));
  EXPECT_EQ(back->pixelValue(0, 0), format.fromRgb(0x000000FF));  // raw 0 is transparent
  EXPECT_EQ(back->pixelValue(1, 0), format.fromRgb(0x00FFFFFF));
}

INSTANTIATE_TEST_SUITE_P(DisplayFormats, KeyedBlit,
                         ::testing::Values(PixelFormat::xrgb8888(), PixelFormat::rgb565()),
                         [](const ::testing::TestParamInfo<PixelFormat>& info) {
                           return "Bits" + std::to_string(info.param.bitsPerPixel);
                         });

TEST(KeyedBlit, ColoursReducedToTheKeyAreTransparentAt16Bits) {
  const PixelFormat format = PixelFormat::rgb565();
  // Two 24-bit colours that differ only in bits 5-6-5 drops.
  const uint32_t a = format.fromRgb(0x00FF00FF);
  const uint32_t b = format.fromRgb(0x00FB03FA);
  ASSERT_EQ(a, b);
  Canvas canvas(format);
  auto sheet = canvas.surface(2, 1, 0);
  sheet->platformSurface()->setPixel(0, 0, b);
  sheet->platformSurface()->setPixel(1, 0, a);
  sheet->setSourceKey(sheet->pixelValue(1, 0));
  auto back = canvas.surface(2, 1, 0x1234);
  ASSERT_TRUE(back->blit(0, 0, {0, 0, 2, 1}, CopyMode::keyed, *sheet));
  EXPECT_TRUE(holds(*back, {}, 0, 0x1234));
}

TEST(Fill, SetsEveryPixelToTheRawValue) {
  struct Case {
    PixelFormat format;
    uint32_t value;
  };
  const Case cases[] = {
      {PixelFormat::xrgb8888(), 0},
      {PixelFormat::xrgb8888(), 0x00ABCDEF},
      {PixelFormat::rgb565(), 0},
      {PixelFormat::rgb565(), 0xF81F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.format.bitsPerPixel) + " bits, value " + std::to_string(c.value));
    Canvas canvas(c.format);
    auto back = canvas.surface(121, 271, 0);
    for (int32_t y = 0; y < 271; ++y) {
      for (int32_t x = 0; x < 121; ++x)
        back->platformSurface()->setPixel(x, y, uint32_t(x + y + 1));
    }
    EXPECT_TRUE(back->fill(c.value));
    EXPECT_TRUE(holds(*back, {}, 0, c.value));
  }
}

// A source whose pixel (x, y) is 100 * y + x + 1.
std::unique_ptr<Surface> numbered(Canvas& canvas, int32_t width, int32_t height) {
  auto s = canvas.surface(width, height, 0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      s->platformSurface()->setPixel(x, y, uint32_t(100 * y + x + 1));
  }
  return s;
}

// Within one surface, a copy whose rectangles overlap must read the pixels as they were
// before it started, in every direction.
TEST(Blit, OverlappingCopyWithinOneSurfaceReadsTheOriginalPixels) {
  struct Case {
    const char* name;
    int32_t x;
    int32_t y;
    Rect from;
    CopyMode mode;
  };
  const Case cases[] = {
      {"down", 1, 3, {1, 1, 6, 6}, CopyMode::opaque},
      {"up", 1, 0, {1, 2, 6, 7}, CopyMode::opaque},
      {"right, keyed", 3, 2, {1, 2, 6, 5}, CopyMode::keyed},
      {"left, keyed", 0, 2, {2, 2, 7, 5}, CopyMode::keyed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    auto surface = numbered(canvas, 8, 8);
    auto reference = numbered(canvas, 8, 8);
    auto expected = numbered(canvas, 8, 8);
    surface->setSourceKey(203);
    reference->setSourceKey(203);
    ASSERT_TRUE(expected->blit(c.x, c.y, c.from, c.mode, *reference));
    ASSERT_TRUE(surface->blit(c.x, c.y, c.from, c.mode, *surface));
    for (int32_t y = 0; y < 8; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        ASSERT_EQ(surface->pixelValue(x, y), expected->pixelValue(x, y)) << x << ", " << y;
      }
    }
  }
}

// Random copies at every depth, between two surfaces and within one, against a model that
// reads the source whole before writing and refuses what leaves either surface.
TEST(Blit, RandomCopiesAgreeWithAModelThatReadsTheSourceFirst) {
  const PixelFormat formats[] = {
      {8, 0, 0, 0},
      PixelFormat::rgb565(),
      {24, 0x00FF0000, 0x0000FF00, 0x000000FF},
      PixelFormat::xrgb8888(),
  };
  std::mt19937 random(4242);
  const auto upTo = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n)(random); };
  for (const PixelFormat& format : formats) {
    SCOPED_TRACE(std::to_string(format.bitsPerPixel) + " bits");
    Canvas canvas(format);
    const uint32_t mask = format.bitsPerPixel == 32 ? 0xFFFFFFFFu : (1u << format.bitsPerPixel) - 1;
    for (int trial = 0; trial < 400; ++trial) {
      const int32_t width = 1 + upTo(60);
      const int32_t height = 1 + upTo(6);
      auto target = canvas.surface(width, height, 0);
      auto other = canvas.surface(1 + upTo(60), 1 + upTo(6), 0);
      const uint32_t values[] = {static_cast<uint32_t>(random()) & mask,
                                 static_cast<uint32_t>(random()) & mask,
                                 static_cast<uint32_t>(random()) & mask};
      for (Surface* s : {target.get(), other.get()}) {
        for (int32_t y = 0; y < s->height(); ++y) {
          for (int32_t x = 0; x < s->width(); ++x) {
            s->platformSurface()->setPixel(x, y, values[upTo(2)]);
          }
        }
      }
      const bool within = upTo(2) == 0;
      Surface& source = within ? *target : *other;
      source.setSourceKey(values[upTo(2)]);
      // Rectangles mostly inside, now and then reaching one pixel out.
      const int32_t left = upTo(source.width()) - (upTo(9) == 0 ? 1 : 0);
      const int32_t top = upTo(source.height()) - (upTo(9) == 0 ? 1 : 0);
      const Rect from{left, top, left + upTo(source.width() - std::max(left, 0) + 1),
                      top + upTo(source.height() - std::max(top, 0) + 1)};
      const int32_t x = upTo(width) - (upTo(9) == 0 ? 1 : 0);
      const int32_t y = upTo(height) - (upTo(9) == 0 ? 1 : 0);
      const CopyMode mode = upTo(1) == 0 ? CopyMode::opaque : CopyMode::keyed;
      SCOPED_TRACE(testing::Message() << "trial " << trial << ": (" << from.left << ", " << from.top
                                      << ")-(" << from.right << ", " << from.bottom << ") to (" << x
                                      << ", " << y << ")" << (within ? " within one surface" : "")
                                      << (mode == CopyMode::keyed ? ", keyed" : ""));

      std::vector<uint32_t> before(static_cast<std::size_t>(width) * height);
      for (int32_t py = 0; py < height; ++py) {
        for (int32_t px = 0; px < width; ++px) before[py * width + px] = target->pixelValue(px, py);
      }
      std::vector<uint32_t> expected = before;
      const bool fits = !from.isEmpty() && from.left >= 0 && from.top >= 0 &&
                        from.right <= source.width() && from.bottom <= source.height() && x >= 0 &&
                        y >= 0 && x + from.width() <= width && y + from.height() <= height;
      if (fits) {
        for (int32_t py = 0; py < from.height(); ++py) {
          for (int32_t px = 0; px < from.width(); ++px) {
            const uint32_t v = within ? before[(from.top + py) * width + from.left + px]
                                      : source.pixelValue(from.left + px, from.top + py);
            if (mode == CopyMode::opaque || v != source.sourceKey()) {
              expected[(y + py) * width + x + px] = v;
            }
          }
        }
      }
      ASSERT_EQ(target->blit(x, y, from, mode, source), fits);
      for (int32_t py = 0; py < height; ++py) {
        for (int32_t px = 0; px < width; ++px) {
          ASSERT_EQ(target->pixelValue(px, py), expected[py * width + px]) << px << ", " << py;
        }
      }
    }
  }
}

// Background and pattern in one pass draw what the two copies draw, and say so alike: same
// and different sizes, rectangles reaching out of either surface, at every depth.
TEST(Blit, KeyedOverEqualsAnOpaqueCopyThenAKeyedOne) {
  const PixelFormat formats[] = {
      {8, 0, 0, 0},
      PixelFormat::rgb565(),
      {24, 0x00FF0000, 0x0000FF00, 0x000000FF},
      PixelFormat::xrgb8888(),
  };
  std::mt19937 random(99);
  const auto upTo = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n)(random); };
  for (const PixelFormat& format : formats) {
    SCOPED_TRACE(std::to_string(format.bitsPerPixel) + " bits");
    Canvas canvas(format);
    const uint32_t mask = format.bitsPerPixel == 32 ? 0xFFFFFFFFu : (1u << format.bitsPerPixel) - 1;
    auto sheet = canvas.surface(70, 20, 0);
    for (int trial = 0; trial < 300; ++trial) {
      const uint32_t values[] = {static_cast<uint32_t>(random()) & mask,
                                 static_cast<uint32_t>(random()) & mask,
                                 static_cast<uint32_t>(random()) & mask};
      for (int32_t y = 0; y < sheet->height(); ++y) {
        for (int32_t x = 0; x < sheet->width(); ++x) {
          sheet->platformSurface()->setPixel(x, y, values[upTo(2)]);
        }
      }
      sheet->setSourceKey(values[upTo(2)]);
      const int32_t width = 1 + upTo(50);
      const int32_t height = 1 + upTo(12);
      const auto rect = [&] {
        const int32_t left = upTo(69) - (upTo(9) == 0 ? 1 : 0);
        const int32_t top = upTo(19) - (upTo(9) == 0 ? 1 : 0);
        return Rect{left, top, left + width, top + height};
      };
      const Rect under = rect();
      Rect over = rect();
      // Now and then a pattern of another size.
      if (upTo(4) == 0) over.right += upTo(1) == 0 ? 1 : -1;
      const int32_t x = upTo(8) - (upTo(9) == 0 ? 1 : 0);
      const int32_t y = upTo(4) - (upTo(9) == 0 ? 1 : 0);
      SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << width << " x " << height
                                      << " at (" << x << ", " << y << ")");

      auto onePass = canvas.surface(56, 16, values[0]);
      auto twoCopies = canvas.surface(56, 16, values[0]);
      const bool underDrawn = twoCopies->blit(x, y, under, CopyMode::opaque, *sheet);
      const bool overDrawn = twoCopies->blit(x, y, over, CopyMode::keyed, *sheet);
      ASSERT_EQ(onePass->blitKeyedOver(x, y, under, over, *sheet), underDrawn && overDrawn);
      for (int32_t py = 0; py < 16; ++py) {
        for (int32_t px = 0; px < 56; ++px) {
          ASSERT_EQ(onePass->pixelValue(px, py), twoCopies->pixelValue(px, py)) << px << ", " << py;
        }
      }
    }
  }
}

}  // namespace
}  // namespace patapata
