#include "player/animation.h"

#include "character/character_reader.h"
#include "character/state_table.h"
#include "character/viewer_state.h"
#include "common/memory_controls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace patapata {
namespace {

// The tables as a load leaves them: every slot empty.
void emptyTables(ViewerState& v) {
  for (auto* table : {&v.pattern, &v.layer, &v.layerDest}) {
    for (auto& row : *table) row.fill(kEmptyCel);
  }
  v.layerOn.fill(0);
}

// Puts `cels` into the pattern row of `state` from frame 1 on.
void setPattern(ViewerState& v, int32_t state, const std::vector<int32_t>& cels) {
  for (std::size_t i = 0; i < cels.size(); ++i) v.pattern[state][i + 1] = cels[i];
}

void setLayer(ViewerState& v, int32_t state, const std::vector<int32_t>& cels) {
  for (std::size_t i = 0; i < cels.size(); ++i) v.layer[state][i + 1] = cels[i];
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
std::vector<Shown> play(ViewerState& v, MemoryControls& c, int ticks) {
  std::vector<Shown> shown;
  for (int i = 0; i < ticks; ++i) {
    advanceAndEnd(v, c);
    shown.push_back({v.state, v.frame, v.display.stateCaption});
  }
  return shown;
}

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    emptyTables(v);
    v.state = 1;
  }
  ViewerState v;
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
    v.frame = 7;
    v.display.stateCaption = "x";
    selectState(v, k.state);
    EXPECT_EQ(v.state, k.state);
    EXPECT_EQ(v.frame, 0);
    EXPECT_EQ(v.display.stateCaption, k.caption);
    ASSERT_NE(stateInfo(k.state), nullptr);
    EXPECT_STREQ(stateInfo(k.state)->buttonCaption, k.buttonCaption);
  }
  EXPECT_EQ(kStates.size(), std::size(cases));
}

TEST_F(Animation, StatesWithoutAButtonAreNotSelected) {
  for (int32_t s : {0, 9, 13, 14, 17, 20, 29, -1, 31, 99}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(stateInfo(s), nullptr);
    v.state = 5;
    v.frame = 3;
    selectState(v, s);
    EXPECT_EQ(v.state, 5);
    EXPECT_EQ(v.frame, 3);
  }
}

TEST_F(Animation, BaseButtonsLeaveTheReturnTargetAlone) {
  v.returnState = 2;
  v.returnCaption = "通常2";
  for (int32_t base : {1, 2, 3, 5, 15, 16}) {
    selectState(v, base);
    EXPECT_EQ(v.returnState, 2);
    EXPECT_EQ(v.returnCaption, "通常2");
  }
}

// Which playing states a one-shot button and the check button remember.
TEST_F(Animation, ReturnTargetIsRememberedOnlyFromTheBaseStates) {
  for (int32_t from = 0; from <= 30; ++from) {
    SCOPED_TRACE(from);
    const bool base = from == 1 || from == 2 || from == 3 || from == 5 || from == 15 || from == 16;

    v.state = from;
    v.returnState = 99;
    v.returnCaption = "old";
    v.display.stateCaption = "shown";
    selectState(v, 11);
    EXPECT_EQ(v.returnState, base ? from : 99);
    EXPECT_EQ(v.returnCaption, base ? "shown" : "old");

    v.state = from;
    v.returnState = 99;
    v.returnCaption = "old";
    v.display.stateCaption = "shown";
    selectState(v, kCheckState);
    const bool check = base && from != 3;
    EXPECT_EQ(v.returnState, check ? from : 99);
    EXPECT_EQ(v.returnCaption, check ? "shown" : "old");
  }
}

TEST_F(Animation, BaseStateLoopsForEver) {
  setPattern(v, 2, {5, 6, 7});
  selectState(v, 2);
  const auto shown = play(v, c, 7);
  const std::vector<Shown> expected{{2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotReturnsWithTheCaptionShownWhenItStarted) {
  setPattern(v, 1, {1, 2});
  setPattern(v, 6, {3, 4, 5});
  v.display.stateCaption = "状態";  // as right after a load
  selectState(v, 6);
  const auto shown = play(v, c, 5);
  const std::vector<Shown> expected{
      {6, 1, "喜び１"}, {6, 2, "喜び１"}, {6, 3, "喜び１"}, {1, 1, "状態"}, {1, 2, "状態"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotStartedFromAOneShotKeepsTheFirstReturnTarget) {
  setPattern(v, 2, {1});
  setPattern(v, 6, {3, 4});
  setPattern(v, 10, {7});
  selectState(v, 2);
  play(v, c, 1);
  selectState(v, 6);
  play(v, c, 1);
  selectState(v, 10);
  const auto shown = play(v, c, 3);
  const std::vector<Shown> expected{{10, 1, "ダメージ１"}, {2, 1, "通常2"}, {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, PressingTheSameOneShotAgainRestartsIt) {
  setPattern(v, 7, {1, 2, 3});
  selectState(v, 1);
  selectState(v, 7);
  play(v, c, 2);
  selectState(v, 7);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(play(v, c, 1).front(), (Shown{7, 1, "喜び２"}));
}

TEST_F(Animation, StateThreeIsRememberedByOneShotsButNotByTheCheck) {
  setPattern(v, 3, {1});
  setPattern(v, 4, {2});
  setPattern(v, 30, {3});
  selectState(v, 3);
  selectState(v, 4);
  EXPECT_EQ(play(v, c, 2).back(), (Shown{3, 1, "おじゃま"}));

  // Nothing remembered before: the check returns to state 0 with an empty caption.
  ViewerState fresh;
  emptyTables(fresh);
  setPattern(fresh, 3, {1});
  setPattern(fresh, 30, {3});
  MemoryControls fc;
  selectState(fresh, 3);
  selectState(fresh, kCheckState);
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
    selectState(v, 5);
    selectState(v, k.state);
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
  selectState(v, 1);
  selectState(v, 11);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
  c.setChecked(Switch::PatternLoop, false);
  c.setChecked(Switch::OneShotLoop, true);
  selectState(v, kCheckState);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
}

TEST_F(Animation, LayerRowLongerThanThePatternRowKeepsTheSequenceGoing) {
  setPattern(v, 12, {1, 2});
  setLayer(v, 12, {3, 3, 3, 3});
  v.layerDest[12][1] = 4;  // the destination row takes no part in the end test
  v.layerDest[12][5] = 4;
  selectState(v, 1);
  selectState(v, 12);
  const auto shown = play(v, c, 5);
  EXPECT_EQ(shown[3], (Shown{12, 4, "ダメージ３"}));
  EXPECT_EQ(shown[4], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(sequenceLength(v, 12), 4);
}

TEST_F(Animation, PatternEndingWhileTheLayerGoesOnOnlyEndsWhereBothAreEmpty) {
  setPattern(v, 1, {1, kEmptyCel, 3});
  setLayer(v, 1, {kEmptyCel, 2, kEmptyCel});
  selectState(v, 1);
  const auto shown = play(v, c, 4);
  EXPECT_EQ(shown[2].frame, 3);
  EXPECT_EQ(shown[3].frame, 1);
}

TEST_F(Animation, AFullRowOf255EntriesEndsAt256) {
  v.pattern[30].fill(2);  // as the caret tracking leaves it, slot 0 included
  v.layer[30].fill(3);
  selectState(v, 1);
  selectState(v, kCheckState);
  const auto shown = play(v, c, 256);
  EXPECT_EQ(shown[254], (Shown{30, 255, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
  EXPECT_EQ(shown[255], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(sequenceLength(v, 30), 255);

  // Looping, the row starts again at 1, never at 0 or 256.
  c.setChecked(Switch::PatternLoop, true);
  selectState(v, kCheckState);
  const auto looped = play(v, c, 256);
  EXPECT_EQ(looped[255], (Shown{30, 1, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
}

TEST_F(Animation, AStateWithoutEntriesStaysOnFrameOne) {
  selectState(v, 5);
  const auto shown = play(v, c, 3);
  for (const Shown& s : shown) EXPECT_EQ(s, (Shown{5, 1, "立ち"}));
  EXPECT_EQ(sequenceLength(v, 5), 1);
}

TEST_F(Animation, ALoopingOneShotRemembersNothingNew) {
  setPattern(v, 6, {1});
  setPattern(v, 7, {1});
  selectState(v, 2);
  selectState(v, 6);
  c.setChecked(Switch::OneShotLoop, true);
  play(v, c, 3);
  selectState(v, 7);
  EXPECT_EQ(v.returnState, 2);
  EXPECT_EQ(v.returnCaption, "通常2");
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
  loadCharacterFile(v, c, file.path());
  ASSERT_TRUE(v.characterLoaded);
  selectState(v, 6);
  play(v, c, 1);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(v.returnCaption, "状態");

  v.frame = 2;
  loadCharacterFile(v, c, file.path());
  EXPECT_EQ(v.state, 1);
  EXPECT_EQ(v.frame, 2);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(v.returnCaption, "状態");
  EXPECT_EQ(v.display.stateCaption, "状態");
  // State 1 goes on from the old index; past its end the rule brings it back to 1.
  const auto shown = play(v, c, 2);
  EXPECT_EQ(shown[0], (Shown{1, 3, "状態"}));
  EXPECT_EQ(shown[1], (Shown{1, 1, "状態"}));
}

TEST_F(Animation, AOneShotRightAfterALoadReturnsToState) {
  TempFile file("#PATERN 01 01\n#PATERN 10 0203\n");
  v.display.stateCaption = "勝ち";
  loadCharacterFile(v, c, file.path());
  selectState(v, 10);
  const auto shown = play(v, c, 3);
  EXPECT_EQ(shown[2], (Shown{1, 1, "状態"}));
}

}  // namespace
}  // namespace patapata
