#include "player/animation.h"

#include "character/state_table.h"
#include "common/memory_controls.h"
#include "player/file_intake.h"
#include "player/viewer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace patapata {
namespace {

// The tables as a load leaves them: every slot empty.
void emptyTables(Viewer& v) {
  v.character = Character{};
}

// Puts `cels` into the pattern row of `state` from frame 1 on.
void setPattern(Viewer& v, int32_t state, const std::vector<int32_t>& cels) {
  for (std::size_t i = 0; i < cels.size(); ++i) v.character.pattern[state][i + 1] = cels[i];
}

void setLayer(Viewer& v, int32_t state, const std::vector<int32_t>& cels) {
  for (std::size_t i = 0; i < cels.size(); ++i) v.character.layer[state][i + 1] = cels[i];
}

struct Shown {
  int32_t state;
  int32_t frame;
  std::string caption;
  friend bool operator==(const Shown&, const Shown&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Shown& s) {
    return os << "{" << s.state << ", " << s.frame << ", " << s.caption << "}";
  }
};

// Runs `ticks` advance steps and records what each tick would draw.
std::vector<Shown> play(Viewer& v, MemoryControls& c, int ticks) {
  std::vector<Shown> shown;
  for (int i = 0; i < ticks; ++i) {
    advanceAndEnd(v.player, v.character, loopSwitchesOf(c));
    shown.push_back({v.player.state, v.player.frame, v.player.caption});
  }
  return shown;
}

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    emptyTables(v);
    v.player.state = 1;
  }
  Viewer v;
  MemoryControls c;
};

TEST_F(Animation, EveryButtonSelectsItsStateWithTheStateCaption) {
  struct Case {
    int32_t state;
    const char* buttonCaption;
    const char* caption;
  };
  const Case cases[] = {
      {1, "通常１", "通常１"},
      {2, "通常２", "通常2"},  // ASCII 2, unlike the button
      {3, "おじゃま", "おじゃま"},
      {5, "立ち", "立ち"},
      {15, "勝ち", "勝ち"},
      {16, "負け", "負け"},
      {6, "喜び１", "喜び１"},
      {7, "喜び２", "喜び２"},
      {8, "喜び３", "喜び３"},
      {10, "ﾀﾞﾒｰｼﾞ１", "ダメージ１"},  // full-width on the caption
      {11, "ﾀﾞﾒｰｼﾞ２", "ダメージ２"},
      {12, "ﾀﾞﾒｰｼﾞ３", "ダメージ３"},
      {4, "ミス", "ミス"},
      {kCheckState, "ﾊﾟﾀｰﾝﾁｪｯｸ", "ﾁｪｯｸﾊﾟﾀｰﾝ"},  // the words in the other order
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.caption);
    v.player.frame = 7;
    v.player.caption = "x";
    selectState(v.player, k.state);
    EXPECT_EQ(v.player.state, k.state);
    EXPECT_EQ(v.player.frame, 0);
    EXPECT_EQ(v.player.caption, k.caption);
    ASSERT_NE(stateInfo(k.state), nullptr);
    EXPECT_STREQ(stateInfo(k.state)->buttonCaption, k.buttonCaption);
  }
  EXPECT_EQ(kStates.size(), std::size(cases));
}

TEST_F(Animation, StatesWithoutAButtonAreNotSelected) {
  for (int32_t s : {0, 9, 13, 14, 17, 20, 29, -1, 31, 99}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(stateInfo(s), nullptr);
    v.player.state = 5;
    v.player.frame = 3;
    selectState(v.player, s);
    EXPECT_EQ(v.player.state, 5);
    EXPECT_EQ(v.player.frame, 3);
  }
}

TEST_F(Animation, BaseButtonsLeaveTheReturnTargetAlone) {
  v.player.returnState = 2;
  v.player.returnCaption = "通常2";
  for (int32_t base : {1, 2, 3, 5, 15, 16}) {
    selectState(v.player, base);
    EXPECT_EQ(v.player.returnState, 2);
    EXPECT_EQ(v.player.returnCaption, "通常2");
  }
}

// Which playing states a one-shot button and the check button remember.
TEST_F(Animation, ReturnTargetIsRememberedOnlyFromTheBaseStates) {
  for (int32_t from = 0; from <= 30; ++from) {
    SCOPED_TRACE(from);
    const bool base = from == 1 || from == 2 || from == 3 || from == 5 || from == 15 || from == 16;

    v.player.state = from;
    v.player.returnState = 99;
    v.player.returnCaption = "old";
    v.player.caption = "shown";
    selectState(v.player, 11);
    EXPECT_EQ(v.player.returnState, base ? from : 99);
    EXPECT_EQ(v.player.returnCaption, base ? "shown" : "old");

    v.player.state = from;
    v.player.returnState = 99;
    v.player.returnCaption = "old";
    v.player.caption = "shown";
    selectState(v.player, kCheckState);
    const bool check = base && from != 3;
    EXPECT_EQ(v.player.returnState, check ? from : 99);
    EXPECT_EQ(v.player.returnCaption, check ? "shown" : "old");
  }
}

TEST_F(Animation, BaseStateLoopsForEver) {
  setPattern(v, 2, {5, 6, 7});
  selectState(v.player, 2);
  const auto shown = play(v, c, 7);
  const std::vector<Shown> expected{{2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotReturnsWithTheCaptionShownWhenItStarted) {
  setPattern(v, 1, {1, 2});
  setPattern(v, 6, {3, 4, 5});
  v.player.caption = "状態";  // as right after a load
  selectState(v.player, 6);
  const auto shown = play(v, c, 5);
  const std::vector<Shown> expected{
      {6, 1, "喜び１"}, {6, 2, "喜び１"}, {6, 3, "喜び１"}, {1, 1, "状態"}, {1, 2, "状態"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotStartedFromAOneShotKeepsTheFirstReturnTarget) {
  setPattern(v, 2, {1});
  setPattern(v, 6, {3, 4});
  setPattern(v, 10, {7});
  selectState(v.player, 2);
  play(v, c, 1);
  selectState(v.player, 6);
  play(v, c, 1);
  selectState(v.player, 10);
  const auto shown = play(v, c, 3);
  const std::vector<Shown> expected{{10, 1, "ダメージ１"}, {2, 1, "通常2"}, {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, PressingTheSameOneShotAgainRestartsIt) {
  setPattern(v, 7, {1, 2, 3});
  selectState(v.player, 1);
  selectState(v.player, 7);
  play(v, c, 2);
  selectState(v.player, 7);
  EXPECT_EQ(v.player.returnState, 1);
  EXPECT_EQ(play(v, c, 1).front(), (Shown{7, 1, "喜び２"}));
}

TEST_F(Animation, StateThreeIsRememberedByOneShotsButNotByTheCheck) {
  setPattern(v, 3, {1});
  setPattern(v, 4, {2});
  setPattern(v, 30, {3});
  selectState(v.player, 3);
  selectState(v.player, 4);
  EXPECT_EQ(play(v, c, 2).back(), (Shown{3, 1, "おじゃま"}));

  // Nothing remembered before: the check returns to state 0 with an empty caption.
  Viewer fresh;
  emptyTables(fresh);
  setPattern(fresh, 3, {1});
  setPattern(fresh, 30, {3});
  MemoryControls fc;
  selectState(fresh.player, 3);
  selectState(fresh.player, kCheckState);
  EXPECT_EQ(play(fresh, fc, 2).back(), (Shown{0, 1, ""}));
}

TEST_F(Animation, LoopBoxUncheckedDuringALoopEndsAtTheNextEnd) {
  struct Case {
    const char* name;
    int32_t state;
    Switch box;
    Switch otherBox;
    const char* caption;
  };
  const Case cases[] = {
      {"one-shot", 8, Switch::OneShotLoop, Switch::PatternLoop, "喜び３"},
      {"check", kCheckState, Switch::PatternLoop, Switch::OneShotLoop, "ﾁｪｯｸﾊﾟﾀｰﾝ"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    MemoryControls mc;
    emptyTables(v);
    setPattern(v, 5, {9});
    setPattern(v, k.state, {1, 2, 3});
    selectState(v.player, 5);
    selectState(v.player, k.state);
    mc.setChecked(k.box, true);
    mc.setChecked(k.otherBox, false);
    auto shown = play(v, mc, 5);  // 1 2 3 1 2
    EXPECT_EQ(shown.back(), (Shown{k.state, 2, k.caption}));
    mc.setChecked(k.box, false);
    shown = play(v, mc, 2);
    EXPECT_EQ(shown[0], (Shown{k.state, 3, k.caption}));
    EXPECT_EQ(shown[1], (Shown{5, 1, "立ち"}));
  }
}

TEST_F(Animation, TheOtherLoopBoxDoesNotKeepAStateLooping) {
  setPattern(v, 11, {1});
  setPattern(v, 30, {1});
  c.setChecked(Switch::PatternLoop, true);
  selectState(v.player, 1);
  selectState(v.player, 11);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
  c.setChecked(Switch::PatternLoop, false);
  c.setChecked(Switch::OneShotLoop, true);
  selectState(v.player, kCheckState);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
}

TEST_F(Animation, LayerRowLongerThanThePatternRowKeepsTheSequenceGoing) {
  setPattern(v, 12, {1, 2});
  setLayer(v, 12, {3, 3, 3, 3});
  v.character.layerDest[12][1] = 4;  // the destination row takes no part in the end test
  v.character.layerDest[12][5] = 4;
  selectState(v.player, 1);
  selectState(v.player, 12);
  const auto shown = play(v, c, 5);
  EXPECT_EQ(shown[3], (Shown{12, 4, "ダメージ３"}));
  EXPECT_EQ(shown[4], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(v.character.sequenceLength(12), 4);
}

TEST_F(Animation, PatternEndingWhileTheLayerGoesOnOnlyEndsWhereBothAreEmpty) {
  setPattern(v, 1, {1, kEmptyCel, 3});
  setLayer(v, 1, {kEmptyCel, 2, kEmptyCel});
  selectState(v.player, 1);
  const auto shown = play(v, c, 4);
  EXPECT_EQ(shown[2].frame, 3);
  EXPECT_EQ(shown[3].frame, 1);
}

TEST_F(Animation, AFullRowOf255EntriesEndsAt256) {
  v.character.pattern[30].fill(2);  // as the caret tracking leaves it, slot 0 included
  v.character.layer[30].fill(3);
  selectState(v.player, 1);
  selectState(v.player, kCheckState);
  const auto shown = play(v, c, 256);
  EXPECT_EQ(shown[254], (Shown{30, 255, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
  EXPECT_EQ(shown[255], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(v.character.sequenceLength(30), 255);

  // Looping, the row starts again at 1, never at 0 or 256.
  c.setChecked(Switch::PatternLoop, true);
  selectState(v.player, kCheckState);
  const auto looped = play(v, c, 256);
  EXPECT_EQ(looped[255], (Shown{30, 1, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
}

TEST_F(Animation, AStateWithoutEntriesStaysOnFrameOne) {
  selectState(v.player, 5);
  const auto shown = play(v, c, 3);
  for (const Shown& s : shown) EXPECT_EQ(s, (Shown{5, 1, "立ち"}));
  EXPECT_EQ(v.character.sequenceLength(5), 1);
}

TEST_F(Animation, ALoopingOneShotRemembersNothingNew) {
  setPattern(v, 6, {1});
  setPattern(v, 7, {1});
  selectState(v.player, 2);
  selectState(v.player, 6);
  c.setChecked(Switch::OneShotLoop, true);
  play(v, c, 3);
  selectState(v.player, 7);
  EXPECT_EQ(v.player.returnState, 2);
  EXPECT_EQ(v.player.returnCaption, "通常2");
}

class TempFile {
 public:
  explicit TempFile(const std::string& content)
      : path_(std::filesystem::temp_directory_path() /
              ("patapata_anim_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".chp")) {
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

TEST_F(Animation, ALoadKeepsTheFrameAndTheReturnTarget) {
  TempFile file("#PATERN 01 010203\r\n#PATERN 06 0405\r\n");
  openCharacterFile(v, {}, file.path());
  ASSERT_TRUE(v.characterLoaded);
  selectState(v.player, 6);
  play(v, c, 1);
  EXPECT_EQ(v.player.returnState, 1);
  EXPECT_EQ(v.player.returnCaption, "状態");

  v.player.frame = 2;
  openCharacterFile(v, {}, file.path());
  EXPECT_EQ(v.player.state, 1);
  EXPECT_EQ(v.player.frame, 2);
  EXPECT_EQ(v.player.returnState, 1);
  EXPECT_EQ(v.player.returnCaption, "状態");
  EXPECT_EQ(v.player.caption, "状態");
  // State 1 goes on from the old index; past its end the rule brings it back to 1.
  const auto shown = play(v, c, 2);
  EXPECT_EQ(shown[0], (Shown{1, 3, "状態"}));
  EXPECT_EQ(shown[1], (Shown{1, 1, "状態"}));
}

TEST_F(Animation, AOneShotRightAfterALoadReturnsToState) {
  TempFile file("#PATERN 01 01\n#PATERN 10 0203\n");
  v.player.caption = "勝ち";
  openCharacterFile(v, {}, file.path());
  selectState(v.player, 10);
  const auto shown = play(v, c, 3);
  EXPECT_EQ(shown[2], (Shown{1, 1, "状態"}));
}

}  // namespace
}  // namespace patapata
