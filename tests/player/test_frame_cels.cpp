#include "player/frame_cels.h"

#include "player/player.h"
#include "support/sheet_pictures.h"

#include <gtest/gtest.h>

#include <optional>

namespace patapata {
namespace {

// The sheet is 400 × 300; cel 1 lies at (0, 0), pattern cel 2 at (200, 0), layer cel 3 is
// 10 × 10 at (0, 280), and destination cels 4.. give places in the view.
struct Case {
  const char* name;
  bool layerOn;
  int32_t pattern;  // the frame's pattern entry
  CelRect layer;
  CelRect destination;
  FrameCels expected;
};

// Faults: the layer named while the state draws none, the landing placed in view coordinates
// instead of over the cel drawn at the view's origin, a destination left of the view not
// cutting the layer, a layer copy the composer refuses (off the sheet, past the view) shown as
// landing.
TEST(FrameCels, AreTheCelsComposeFrameDrawsAndWhereTheLayerLands) {
  const Case cases[] = {
      {"no layer", false, 2, {0, 280, 10, 10}, {5, 6, 10, 10}, {2, kEmptyCel, kEmptyCel, {}}},
      {"over the pattern cel",
       true,
       2,
       {0, 280, 10, 10},
       {5, 6, 10, 10},
       {2, 3, 4, Rect{205, 6, 215, 16}}},
      {"over cel 1 without a pattern",
       true,
       kEmptyCel,
       {0, 280, 10, 10},
       {5, 6, 10, 10},
       {kEmptyCel, 3, 4, Rect{5, 6, 15, 16}}},
      {"left of the view: the layer's left is cut",
       true,
       2,
       {0, 280, 10, 10},
       {-4, 0, 10, 10},
       {2, 3, 4, Rect{200, 0, 206, 10}}},
      {"the layer leaves the sheet", true, 2, {395, 280, 10, 10}, {5, 6, 10, 10}, {2, 3, 4, {}}},
      {"past the view's bottom", true, 2, {0, 280, 10, 10}, {0, 265, 10, 5}, {2, 3, 4, {}}},
  };
  platform::SurfaceService service;
  const auto sheet = testing::sheetOf(
      service, 400, 300, [](int32_t, int32_t) { return 0x102030u; }, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Character character;
    character.sheet.picture = sheet;
    character.cels[1] = {0, 0, kViewWidth, kViewHeight};
    character.cels[2] = {200, 0, kViewWidth, kViewHeight};
    character.cels[3] = c.layer;
    character.cels[4] = c.destination;
    character.layerOn[6] = c.layerOn;
    character.pattern[6][1] = c.pattern;
    character.layer[6][1] = 3;
    character.layerDest[6][1] = 4;
    Player player;
    player.state = 6;
    player.frame = 1;
    EXPECT_EQ(frameCelsOf(character, player), c.expected);
  }
}

}  // namespace
}  // namespace patapata
