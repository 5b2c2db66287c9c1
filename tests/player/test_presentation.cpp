#include "player/presentation.h"

#include "character/character.h"
#include "player/frame_composer.h"
#include "player/player.h"
#include "support/sheet_pictures.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace patapata {
namespace {

constexpr uint32_t kKey = 0x00FF00FF;

// A sheet of three view-sized cels of one colour each, the background with a key-coloured
// square at its top left; state 1 plays cels 2, 3, 4.
class PresentationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    back.resize(kViewWidth, kViewHeight);
    character.sheet.picture = testing::sheetOf(
        *service, 4 * kViewWidth, kViewHeight,
        [](int32_t x, int32_t y) -> uint32_t {
          const int32_t cel = x / kViewWidth;
          if (cel == 0) return x < 10 && y < 10 ? kKey : 0x00202020;
          // Cels 2..4 cover only the right half of the view.
          if (x % kViewWidth < kViewWidth / 2) return kKey;
          return cel == 1 ? 0x00400000 : cel == 2 ? 0x00004000 : 0x00000040;
        },
        kKey);
    for (int32_t cel = 1; cel <= 4; ++cel) {
      character.cels[cel] = {(cel - 1) * kViewWidth, 0, kViewWidth, kViewHeight};
    }
    for (int32_t f = 1; f <= 3; ++f) character.pattern[1][f] = f + 1;
    player.state = 1;
  }

  std::vector<uint32_t> presented(const PresentationOptions& options, int32_t frame) {
    presentation.setOptions(options);
    player.frame = frame;
    presentation.compose(character, player, back);
    return {back.pixelValue(0, 0), back.pixelValue(9, 0), back.pixelValue(20, 20),
            back.pixelValue(100, 100)};
  }

  std::shared_ptr<platform::SurfaceService> service = std::make_shared<platform::SurfaceService>();
  DrawContext context{service};
  Surface back{&context};
  Character character;
  Player player;
  Presentation presentation;
};

uint32_t mixed(uint32_t under, uint32_t over, uint32_t weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t u = (under >> shift) & 0xFF;
    const uint32_t o = (over >> shift) & 0xFF;
    out |= ((u * (256 - weight) + o * weight + 128) >> 8) << shift;
  }
  return out;
}

// Catches the checkerboard reaching opaque pixels, the onion skin taking the wrong neighbour
// or weight, and a neighbour that does not wrap round the pass.
TEST_F(PresentationTest, ShowsTheTransparencyAndTheNeighboursOverTheFrame) {
  const uint32_t light = Presentation::kCheckerLight;
  const uint32_t dark = Presentation::kCheckerDark;
  const uint32_t bg = 0x00202020;
  const uint32_t red = 0x00400000;
  const uint32_t green = 0x00004000;
  const uint32_t blue = 0x00000040;
  struct Case {
    const char* name;
    PresentationOptions options;
    int32_t frame;
    std::vector<uint32_t> pixels;  // at (0, 0), (9, 0), (20, 20), (100, 100)
  };
  const Case cases[] = {
      {"off", {}, 1, {kKey, kKey, bg, red}},
      {"transparency", {.showTransparency = true}, 1, {light, dark, bg, red}},
      {"previous, wrapping to the last",
       {.onionSkin = OnionSkin::Previous},
       1,
       {kKey, kKey, bg, mixed(red, blue, 77)}},
      {"previous", {.onionSkin = OnionSkin::Previous}, 2, {kKey, kKey, bg, mixed(green, red, 77)}},
      {"both",
       {.onionSkin = OnionSkin::PreviousAndNext},
       3,
       {kKey, kKey, bg, mixed(mixed(blue, green, 85), red, 64)}},
      {"both with transparency",
       {.onionSkin = OnionSkin::PreviousAndNext, .showTransparency = true},
       2,
       {light, dark, bg, mixed(mixed(green, red, 85), blue, 64)}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(presented(test.options, test.frame), test.pixels);
  }
}

// The composed frame itself stays exact: what the batch modes and the exports write.
TEST_F(PresentationTest, WithEveryOptionOffTheFrameIsTheComposedOne) {
  Surface composed{&context};
  composed.resize(kViewWidth, kViewHeight);
  for (int32_t frame = 1; frame <= 3; ++frame) {
    SCOPED_TRACE(frame);
    presented({.onionSkin = OnionSkin::PreviousAndNext, .showTransparency = true}, frame);
    presented({}, frame);
    player.frame = frame;
    composeFrame(character, player, composed);
    for (int32_t y = 0; y < kViewHeight; y += 7) {
      for (int32_t x = 0; x < kViewWidth; x += 3) {
        ASSERT_EQ(back.pixelValue(x, y), composed.pixelValue(x, y)) << x << ", " << y;
      }
    }
  }
}

TEST(PresentationNeighbour, GoesRoundOnePass) {
  Character c;
  for (int32_t f = 1; f <= 3; ++f) c.pattern[1][f] = 2;
  const struct {
    int32_t frame;
    int32_t step;
    int32_t expected;
  } cases[] = {{1, -1, 3}, {2, -1, 1}, {3, 1, 1}, {1, 1, 2}, {0, -1, 3}};
  for (const auto& c2 : cases) {
    SCOPED_TRACE(::testing::Message() << c2.frame << " " << c2.step);
    EXPECT_EQ(Presentation::neighbour(c, 1, c2.frame, c2.step), c2.expected);
  }
  EXPECT_EQ(Presentation::neighbour(c, 7, 1, -1), 1);  // a state without entries: itself
}

}  // namespace
}  // namespace patapata
