#include "player/playback.h"

#include "common/memory_controls.h"
#include "player/animation.h"
#include "player/viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

struct Shown {
  int32_t state;
  int32_t frame;
  std::string caption;
  friend bool operator==(const Shown&, const Shown&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Shown& s) {
    return os << "{" << s.state << ", " << s.frame << ", " << s.caption << "}";
  }
};

class PlaybackTest : public ::testing::Test {
 protected:
  PlaybackTest() {
    setPattern(1, {1, 2});
    setPattern(6, {3, 4, 5});
    viewer.player.state = 1;
    viewer.player.caption = "状態";
  }

  void setPattern(int32_t state, const std::vector<int32_t>& cels) {
    for (std::size_t i = 0; i < cels.size(); ++i) viewer.character.pattern[state][i + 1] = cels[i];
  }

  Shown shown() const { return {viewer.player.state, viewer.player.frame, viewer.player.caption}; }

  Viewer viewer;
  MemoryControls controls;
  Playback playback;
};

// Stepping back through a one-shot's return and forward again shows exactly what playing
// showed, in reverse and then again.
TEST_F(PlaybackTest, StepsBackAndForwardShowWhatPlayingShowed) {
  playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
  selectState(viewer.player, 6);
  std::vector<Shown> played;
  for (int tick = 0; tick < 6; ++tick) {
    playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
    played.push_back(shown());
  }
  // 6/1 6/2 6/3, then the return to state 1 with the caption shown when 6 started.
  ASSERT_EQ(played[2], (Shown{6, 3, "喜び１"}));
  ASSERT_EQ(played[3], (Shown{1, 1, "状態"}));

  for (int k = static_cast<int>(played.size()) - 2; k >= 0; --k) {
    SCOPED_TRACE(k);
    ASSERT_TRUE(playback.stepBack(viewer.player, viewer.character, loopSwitchesOf(controls)));
    EXPECT_EQ(shown(), played[static_cast<std::size_t>(k)]);
  }
  // The first frame after the button: nothing before it to go back to.
  EXPECT_FALSE(playback.stepBack(viewer.player, viewer.character, loopSwitchesOf(controls)));
  EXPECT_EQ(shown(), played[0]);

  for (std::size_t k = 1; k < played.size(); ++k) {
    SCOPED_TRACE(k);
    playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
    EXPECT_EQ(shown(), played[k]);
  }
  EXPECT_EQ(viewer.player.returnState, 1);
}

TEST_F(PlaybackTest, AButtonPressedAfterwardsIsANewOrigin) {
  for (int tick = 0; tick < 3; ++tick)
    playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
  selectState(viewer.player, 6);
  playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
  EXPECT_FALSE(playback.stepBack(viewer.player, viewer.character,
                                 loopSwitchesOf(controls)));  // not back across the button
  EXPECT_EQ(shown(), (Shown{6, 1, "喜び１"}));
  playback.advance(viewer.player, viewer.character, loopSwitchesOf(controls));
  ASSERT_TRUE(playback.stepBack(viewer.player, viewer.character, loopSwitchesOf(controls)));
  EXPECT_EQ(shown(), (Shown{6, 1, "喜び１"}));
}

}  // namespace
}  // namespace patapata
