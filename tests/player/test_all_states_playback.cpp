#include "player/all_states_playback.h"

#include "character/character.h"
#include "character/state_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace patapata {
namespace {

// Normal 1 loops over two frames, normal 2 over three, joy 1 (a one-shot) plays three.
Character threeStates() {
  Character c;
  c.frameIntervalMs = 200;  // a rest of 600 ms is three ticks
  for (int32_t f = 1; f <= 2; ++f) c.pattern[1][f] = f;
  for (int32_t f = 1; f <= 3; ++f) c.pattern[2][f] = f;
  for (int32_t f = 1; f <= 3; ++f) c.pattern[6][f] = f;
  return c;
}

std::vector<int32_t> framesOf(const AllStatesPlayback& playback) {
  std::vector<int32_t> frames;
  for (const StatePlay& play : playback.plays()) frames.push_back(play.frame);
  return frames;
}

// Catches states that share one frame counter, a one-shot that returns, loops without its
// rest or rests for the wrong time.
TEST(AllStatesPlayback, EachStateAdvancesOnItsOwnAndAOneShotRepeatsAfterARest) {
  const Character c = threeStates();
  AllStatesPlayback playback;
  EXPECT_TRUE(playback.follow(c, false));
  // Normal 1, normal 2, joy 1: the buttons' order.
  const std::vector<std::vector<int32_t>> ticks{{1, 1, 1}, {2, 2, 2}, {1, 3, 3}, {2, 1, 3},
                                                {1, 2, 3}, {2, 3, 3}, {1, 1, 1}, {2, 2, 2}};
  for (std::size_t t = 0; t < ticks.size(); ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(framesOf(playback), ticks[t]);
    playback.advance(c);
    EXPECT_FALSE(playback.follow(c, false));
  }
}

// Catches a check shown without playing, a reload that leaves a frame past the sequence's end,
// and a state that starts again when only another one changed.
TEST(AllStatesPlayback, FollowsTheCharacterAndTheCheck) {
  Character c = threeStates();
  c.pattern[kCheckState][1] = 1;
  c.pattern[9][1] = 1;  // no button plays it: shown after the buttons' states
  AllStatesPlayback playback;
  playback.follow(c, false);
  playback.advance(c);
  playback.advance(c);  // normal 2 and joy 1 at frame 3
  std::vector<int32_t> states;
  for (const StatePlay& play : playback.plays()) states.push_back(play.state);
  EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 6, 9}));

  EXPECT_TRUE(playback.follow(c, true));
  ASSERT_EQ(playback.plays().size(), 5u);
  EXPECT_EQ(playback.plays().back(), (StatePlay{.state = kCheckState, .frame = 1}));
  EXPECT_EQ(playback.plays()[1].frame, 3);

  c.pattern[2][3] = kEmptyCel;  // a reload shortens normal 2
  EXPECT_FALSE(playback.follow(c, true));
  EXPECT_EQ(playback.plays()[1].frame, 1);
  EXPECT_EQ(playback.plays()[2].frame, 3);
  EXPECT_TRUE(playback.follow(c, false));
  EXPECT_EQ(playback.plays().size(), 4u);
}

TEST(AllStatesPlayback, TheRestIsAboutSixHundredMillisecondsInTicks) {
  const std::pair<int32_t, int32_t> cases[] = {{200, 3}, {120, 5}, {100, 6}, {1000, 1},
                                               {1, 600}, {0, 600}, {-5, 600}};
  for (const auto& [interval, ticks] : cases) {
    SCOPED_TRACE(interval);
    EXPECT_EQ(AllStatesPlayback::restTicksAt(interval), ticks);
  }
}

}  // namespace
}  // namespace patapata
