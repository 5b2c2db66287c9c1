#include "player/frame_composer.h"

#include "player/viewer.h"
#include "support/sheet_pictures.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

constexpr int32_t W = kViewWidth;
constexpr int32_t H = kViewHeight;
constexpr uint32_t kKey = 0x00FF00FF;  // never produced by sheetPixel
constexpr uint32_t kFill = 0x00123456;

// Every sheet pixel tells where it came from.
uint32_t sheetPixel(int32_t x, int32_t y) {
  return 0x100000u | (static_cast<uint32_t>(y) << 10) | static_cast<uint32_t>(x);
}

using Image = std::vector<uint32_t>;  // W × H raw values, row by row

struct Cel {
  int32_t x, y, w, h;
};

// A 32-bit display, a 121 × 271 back surface and a 300 × 300 sheet keyed with kKey.
class Composer : public ::testing::Test {
 protected:
  void SetUp() override {
    back.resize(W, H);
    for (int32_t y = 0; y < 300; ++y) {
      for (int32_t x = 0; x < 300; ++x) sheet[y * 300 + x] = sheetPixel(x, y);
    }
    makeSheet();
    back.fill(kFill);

    defineCel(1, {0, 0, W, H});      // background: the sheet's top-left corner, whole view
    defineCel(2, {130, 0, 40, 50});  // pattern
    v.player.state = 6;
    v.player.frame = 3;
    v.character.pattern[6][3] = 2;
  }

  void defineCel(int32_t n, Cel c) { v.character.cels[n] = CelRect{c.x, c.y, c.w, c.h}; }

  // The picture is made anew from `sheet`, as a load makes it.
  void makeSheet() {
    v.character.sheet.picture = testing::sheetOf(
        *service, 300, 300, [&](int32_t x, int32_t y) { return sheet[y * 300 + x]; }, kKey);
  }

  void setSheetPixel(int32_t x, int32_t y, uint32_t value) {
    sheet[y * 300 + x] = value;
    makeSheet();
  }

  Image backImage() {
    Image image(W * H);
    LockDescription d;
    EXPECT_TRUE(back.lock(nullptr, d));
    for (int32_t y = 0; y < H; ++y) std::memcpy(&image[y * W], d.bits + y * d.pitch, W * 4);
    back.unlock();
    return image;
  }

  // What the test expects, painted by hand from literal rectangles.
  static void paint(Image& image, int32_t atX, int32_t atY, Rect source, bool keyed,
                    const std::vector<std::pair<int32_t, int32_t>>& keyPixels = {}) {
    for (int32_t y = source.top; y < source.bottom; ++y) {
      for (int32_t x = source.left; x < source.right; ++x) {
        bool isKey = false;
        for (auto [kx, ky] : keyPixels) isKey = isKey || (kx == x && ky == y);
        if (keyed && isKey) continue;
        image[(atY + y - source.top) * W + atX + x - source.left] = isKey ? kKey : sheetPixel(x, y);
      }
    }
  }

  // Background and pattern, as every frame of state 6 frame 3 starts.
  static Image backgroundAndPattern() {
    Image image(W * H, kFill);
    paint(image, 0, 0, {0, 0, W, H}, false);
    paint(image, 0, 0, {130, 0, 170, 50}, true);
    return image;
  }

  static void expectSame(const Image& actual, const Image& expected) {
    int mismatches = 0;
    for (int32_t i = 0; i < W * H && mismatches < 5; ++i) {
      if (actual[i] != expected[i]) {
        ++mismatches;
        ADD_FAILURE() << "pixel (" << i % W << ", " << i / W << "): got " << std::hex << actual[i]
                      << ", expected " << expected[i];
      }
    }
  }

  std::shared_ptr<platform::SurfaceService> service =
      std::make_shared<platform::SurfaceService>(PixelFormat::xrgb8888());
  DrawContext dd{service};
  Surface back{&dd};
  Viewer v;
  std::vector<uint32_t> sheet = std::vector<uint32_t>(300 * 300);
};

TEST_F(Composer, AStateWithoutALayerShowsBackgroundAndPattern) {
  composeFrame(v.character, v.player, back);
  expectSame(backImage(), backgroundAndPattern());
}

struct ClipCase {
  const char* name;
  Cel layer;
  Cel dest;
  bool drawn;
  int32_t atX, atY;
  Rect source;  // the rectangle expected on the sheet, written out by hand
};

class LayerClipping : public Composer, public ::testing::WithParamInterface<ClipCase> {};

TEST_P(LayerClipping, CopiesTheClippedRectangleOrNothing) {
  const ClipCase& k = GetParam();
  defineCel(3, k.layer);
  defineCel(4, k.dest);
  v.character.layerOn[6] = 1;
  v.character.layer[6][3] = 3;
  v.character.layerDest[6][3] = 4;
  composeFrame(v.character, v.player, back);
  Image expected = backgroundAndPattern();
  if (k.drawn) paint(expected, k.atX, k.atY, k.source, true);
  expectSame(backImage(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Composer, LayerClipping,
    ::testing::Values(
        ClipCase{"LeftEdge", {100, 40, 20, 30}, {-5, 10, 20, 30}, true, 0, 10, {105, 40, 120, 70}},
        ClipCase{
            "RightEdge", {100, 40, 20, 30}, {110, 50, 20, 30}, true, 110, 50, {100, 40, 111, 70}},
        ClipCase{"RightEdgeExactly121",
                 {100, 40, 20, 30},
                 {101, 50, 20, 30},
                 true,
                 101,
                 50,
                 {100, 40, 120, 70}},
        ClipCase{"OnePastTheRightEdge",
                 {100, 40, 20, 30},
                 {102, 50, 20, 30},
                 true,
                 102,
                 50,
                 {100, 40, 119, 70}},
        ClipCase{"BottomEdgeExactly271",
                 {100, 40, 20, 30},
                 {10, 241, 20, 30},
                 true,
                 10,
                 241,
                 {100, 40, 120, 70}},
        ClipCase{"OnePastTheBottomEdge",
                 {100, 40, 20, 30},
                 {10, 242, 20, 30},
                 true,
                 10,
                 242,
                 {100, 40, 120, 69}},
        ClipCase{"TopAndBottomTogether",
                 {150, 0, 20, 290},
                 {30, -8, 20, 290},
                 true,
                 30,
                 0,
                 {150, 8, 170, 279}},
        ClipCase{"LeftAndTopTogether",
                 {100, 40, 20, 30},
                 {-5, -7, 20, 30},
                 true,
                 0,
                 0,
                 {105, 47, 120, 70}},
        ClipCase{
            "InsideTheView", {100, 40, 20, 30}, {50, 60, 20, 30}, true, 50, 60, {100, 40, 120, 70}},
        // The overhang of the destination box is cut from the smaller layer cel: nothing
        // is left, and the copy is refused.
        ClipCase{"BoxWiderThanTheLayer", {100, 40, 5, 5}, {110, 0, 20, 20}, false, 0, 0, {}},
        // A box inside the view does not clip a larger layer cel, which then leaves the
        // view and is refused whole.
        ClipCase{"BoxNarrowerThanTheLayer", {100, 40, 20, 30}, {110, 50, 5, 5}, false, 0, 0, {}},
        ClipCase{"DestinationAtTheRightEdge", {100, 40, 20, 30}, {121, 0, 20, 30}, false, 0, 0, {}},
        ClipCase{"DestinationBelowTheView", {100, 40, 20, 30}, {0, 271, 20, 30}, false, 0, 0, {}}),
    [](const ::testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

TEST_F(Composer, KeyedPixelsOfPatternAndLayerShowWhatLiesBelow) {
  setSheetPixel(131, 1, kKey);      // pattern pixel over background (1, 1)
  setSheetPixel(205, 45, kKey);     // layer pixel over pattern (5, 15)
  setSheetPixel(3, 3, kKey);        // background pixel under the pattern: covered anyway
  defineCel(3, {200, 40, 20, 30});  // off the background's part of the sheet
  defineCel(4, {0, 10, 20, 30});
  v.character.layerOn[6] = 1;
  v.character.layer[6][3] = 3;
  v.character.layerDest[6][3] = 4;
  composeFrame(v.character, v.player, back);
  const Image image = backImage();
  EXPECT_EQ(image[1 * W + 1], sheetPixel(1, 1));
  EXPECT_EQ(image[15 * W + 5], sheetPixel(135, 15));
  EXPECT_EQ(image[3 * W + 3], sheetPixel(133, 3));
  Image expected(W * H, kFill);
  paint(expected, 0, 0, {0, 0, W, H}, false, {{3, 3}});
  paint(expected, 0, 0, {130, 0, 170, 50}, true, {{131, 1}});
  paint(expected, 0, 10, {200, 40, 220, 70}, true, {{205, 45}});
  expectSame(image, expected);
}

TEST_F(Composer, AKeyedPixelOfTheBackgroundIsCopiedAsIs) {
  setSheetPixel(60, 100, kKey);
  composeFrame(v.character, v.player, back);
  EXPECT_EQ(backImage()[100 * W + 60], kKey);
}

TEST_F(Composer, EmptyEntriesLeaveOutTheirCopyOnly) {
  defineCel(3, {100, 40, 20, 30});
  defineCel(4, {50, 60, 20, 30});
  struct Case {
    const char* name;
    int32_t pattern, layer, dest;
    bool layerOn, patternDrawn, layerDrawn;
  };
  const Case cases[] = {
      {"all there", 2, 3, 4, true, true, true},
      {"pattern -1", kEmptyCel, 3, 4, true, false, true},
      {"layer -1", 2, kEmptyCel, 4, true, true, false},
      {"destination -1", 2, 3, kEmptyCel, true, true, false},
      {"no entries", kEmptyCel, kEmptyCel, kEmptyCel, true, false, false},
      {"layer off", 2, 3, 4, false, true, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    back.fill(kFill);
    v.character.pattern[6][3] = k.pattern;
    v.character.layer[6][3] = k.layer;
    v.character.layerDest[6][3] = k.dest;
    v.character.layerOn[6] = k.layerOn;
    composeFrame(v.character, v.player, back);
    Image expected(W * H, kFill);
    paint(expected, 0, 0, {0, 0, W, H}, false);
    if (k.patternDrawn) paint(expected, 0, 0, {130, 0, 170, 50}, true);
    if (k.layerDrawn) paint(expected, 50, 60, {100, 40, 120, 70}, true);
    expectSame(backImage(), expected);
  }
}

TEST_F(Composer, CelZeroIsTheEmptyRectangleAndDrawsNothing) {
  v.character.pattern[6][3] = 0;
  composeFrame(v.character, v.player, back);
  Image expected(W * H, kFill);
  paint(expected, 0, 0, {0, 0, W, H}, false);
  expectSame(backImage(), expected);
}

TEST_F(Composer, TheFrameDrawnIsTheOneAtAnimStateAndAnimFrame) {
  defineCel(5, {200, 200, 10, 10});
  v.character.pattern[6][4] = 5;
  v.character.pattern[7][3] = 5;
  composeFrame(v.character, v.player, back);
  expectSame(backImage(), backgroundAndPattern());
  v.player.frame = 4;
  composeFrame(v.character, v.player, back);
  Image expected(W * H, kFill);
  paint(expected, 0, 0, {0, 0, W, H}, false);
  paint(expected, 0, 0, {200, 200, 210, 210}, true);
  expectSame(backImage(), expected);
}

// The surface is dirty before every frame; wherever the background is not drawn the frame
// is black, whatever drew the background's size.
TEST_F(Composer, WhereTheBackgroundIsNotDrawnTheFrameIsBlack) {
  struct Case {
    const char* name;
    Cel background;
    bool sheet;
    bool patternDrawn;
  };
  const Case cases[] = {
      {"larger than the view: refused", {0, 0, W + 1, H}, true, true},
      {"the view's size, off the sheet: refused", {200, 0, W, H}, true, true},
      {"smaller than the view", {0, 0, W - 1, H}, true, true},
      {"no sheet", {0, 0, W, H}, false, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    back.fill(kFill);
    defineCel(1, k.background);
    if (!k.sheet) v.character.sheet.picture.reset();
    composeFrame(v.character, v.player, back);
    Image expected(W * H, 0);
    if (k.background.w < W) paint(expected, 0, 0, {0, 0, W - 1, H}, false);
    if (k.patternDrawn) paint(expected, 0, 0, {130, 0, 170, 50}, true);
    expectSame(backImage(), expected);
  }
}

TEST_F(Composer, ExtremeCelNumbersAreRefusedWithoutOverflow) {
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1, INT32_MAX, INT32_MAX - 5};
  v.character.layerOn[6] = 1;
  v.character.layer[6][3] = 3;
  v.character.layerDest[6][3] = 4;
  for (int32_t a : extremes) {
    for (int32_t b : extremes) {
      SCOPED_TRACE(::testing::Message() << a << " " << b);
      defineCel(3, {a, b, b, a});
      defineCel(4, {b, a, a, b});
      back.fill(kFill);
      composeFrame(v.character, v.player, back);
      expectSame(backImage(), backgroundAndPattern());
    }
  }
}

TEST(ComposerRgb565, CopiesRawValuesOfTheSixteenBitDisplay) {
  auto service = std::make_shared<platform::SurfaceService>(PixelFormat::rgb565());
  DrawContext dd(service);
  Surface back(&dd);
  back.resize(W, H);
  Viewer v;
  auto value = [](int32_t x, int32_t y) { return static_cast<uint16_t>(y * 200 + x + 1); };
  constexpr uint16_t kKey16 = 0xFFFF;
  v.character.sheet.picture = testing::sheetOf(
      *service, 200, 300,
      [&](int32_t x, int32_t y) -> uint32_t {
        return (x == 150 && y == 20) ? kKey16 : value(x, y);
      },
      kKey16);
  v.character.cels[1] = {0, 0, W, H};
  v.character.cels[3] = {140, 10, 20, 30};
  v.character.cels[4] = {-5, 5, 20, 30};
  v.player.state = 1;
  v.player.frame = 1;
  v.character.pattern[1][1] = -1;
  v.character.layer[1][1] = 3;
  v.character.layerDest[1][1] = 4;
  v.character.layerOn[1] = 1;
  composeFrame(v.character, v.player, back);
  // Layer source (145, 10)-(160, 40) at (0, 5); the key pixel (150, 20) shows the background.
  EXPECT_EQ(back.pixelValue(0, 5), value(145, 10));
  EXPECT_EQ(back.pixelValue(14, 34), value(159, 39));
  EXPECT_EQ(back.pixelValue(15, 5), value(15, 5));
  EXPECT_EQ(back.pixelValue(0, 35), value(0, 35));
  EXPECT_EQ(back.pixelValue(5, 15), value(5, 15));
  EXPECT_EQ(back.pixelValue(120, 270), value(120, 270));
}

}  // namespace
}  // namespace patapata
