#include "player/frame_strip.h"

#include "character/character.h"
#include "common/memory_controls.h"
#include "player/pattern_check.h"
#include "player/player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace patapata {
namespace {

// Catches a strip that runs past the end of a pass, forgets a frame without a pattern cel,
// shows the check's stale slots, or lists the caret's still as 255 frames.
TEST(FrameStrip, ListsOnePassOfTheStateOrTheCheck) {
  struct Case {
    const char* name;
    std::function<void(Character&, Player&, MemoryControls&)> setUp;
    int32_t state;
    std::vector<std::pair<int32_t, int32_t>> frames;  // frame, pattern cel
  };
  const auto typed = [](Character& c, Player& p, MemoryControls& controls) {
    controls.setText(Edit::Pattern, "0A0B");
    controls.setText(Edit::Layer, "0304");
    startPatternCheck(c, p, controls);
  };
  const Case cases[] = {
      {"a state", [](Character&, Player&, MemoryControls&) {}, 1, {{1, 2}, {2, 3}, {3, 2}}},
      {"a layer frame without a pattern cel",
       [](Character& c, Player&, MemoryControls&) { c.layer[1][4] = 5; },
       1,
       {{1, 2}, {2, 3}, {3, 2}, {4, kEmptyCel}}},
      {"a state without entries", [](Character&, Player&, MemoryControls&) {}, 7, {{1, kEmptyCel}}},
      {"the check the button plays", typed, kCheckState, {{1, 0x0A}, {2, 0x0B}}},
      {"the check's still under the caret",
       [&](Character& c, Player& p, MemoryControls& controls) {
         typed(c, p, controls);
         PatternCheckCarets carets;
         controls.setCaret(Edit::Pattern, 2);
         trackCarets(carets, c, p, controls);
       },
       kCheckState,
       {{0, 0x0B}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Character c;
    c.pattern[1][1] = 2;
    c.pattern[1][2] = 3;
    c.pattern[1][3] = 2;
    Player player;
    MemoryControls controls;
    test.setUp(c, player, controls);
    std::vector<StripFrame> frames;
    stripFrames(c, test.state, frames);
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const StripFrame& f : frames) got.emplace_back(f.frame, f.patternCel);
    EXPECT_EQ(got, test.frames);
  }
}

TEST(FrameStrip, ThePictureOfTheFrameShown) {
  Character c;
  c.pattern[1][1] = 2;
  c.pattern[1][2] = 3;
  std::vector<StripFrame> frames;
  stripFrames(c, 1, frames);
  EXPECT_EQ(stripIndexOf(frames, 2), 1);
  EXPECT_EQ(stripIndexOf(frames, 0), -1);  // before the first frame of a pass
  EXPECT_EQ(stripIndexOf({StripFrame{.frame = 0, .patternCel = 2, .recipe = {}}}, 37),
            0);  // the still shows every frame
}

}  // namespace
}  // namespace patapata
