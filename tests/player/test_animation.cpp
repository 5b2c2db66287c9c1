#include "player/animation.h"

#include "character/character_reader.h"
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
    shown.push_back({v.state, v.frame, c.caption(ControlId::stateCaptionLabel)});
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

TEST_F(Animation, EveryButtonSelectsItsStateWithTheLabelCaption) {
  struct Case {
    void (*handler)(ViewerState&, Controls&);
    ControlId button;
    int32_t state;
    const char* caption;
  };
  const Case cases[] = {
      {Button1Click, ControlId::stateButton1, 1, "通常１"},
      {Button2Click, ControlId::stateButton2, 2, "通常2"},  // ASCII 2, unlike the button
      {Button14Click, ControlId::stateButton3, 3, "おじゃま"},
      {Button5Click, ControlId::stateButton5, 5, "立ち"},
      {Button3Click, ControlId::stateButton15, 15, "勝ち"},
      {Button4Click, ControlId::stateButton16, 16, "負け"},
      {Button6Click, ControlId::stateButton6, 6, "喜び１"},
      {Button7Click, ControlId::stateButton7, 7, "喜び２"},
      {Button8Click, ControlId::stateButton8, 8, "喜び３"},
      {Button9Click, ControlId::stateButton10, 10, "ダメージ１"},  // full-width on the label
      {Button10Click, ControlId::stateButton11, 11, "ダメージ２"},
      {Button11Click, ControlId::stateButton12, 12, "ダメージ３"},
      {Button12Click, ControlId::stateButton4, 4, "ミス"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.caption);
    v.frame = 7;
    k.handler(v, c);
    EXPECT_EQ(v.state, k.state);
    EXPECT_EQ(v.frame, 0);
    EXPECT_EQ(c.caption(ControlId::stateCaptionLabel), k.caption);

    v.frame = 7;
    c.setCaption(ControlId::stateCaptionLabel, "x");
    ASSERT_TRUE(clickStateButton(k.button, v, c));
    EXPECT_EQ(v.state, k.state);
    EXPECT_EQ(v.frame, 0);
    EXPECT_EQ(c.caption(ControlId::stateCaptionLabel), k.caption);

    EXPECT_EQ(buttonSelectingState(k.state), k.button);
  }
}

TEST_F(Animation, TheCheckStateHasItsOwnCaptionAndButton) {
  selectCheckState(v, c);
  EXPECT_EQ(v.state, 30);
  EXPECT_EQ(v.frame, 0);
  EXPECT_EQ(c.caption(ControlId::stateCaptionLabel), "ﾁｪｯｸﾊﾟﾀｰﾝ");
  EXPECT_EQ(buttonSelectingState(30), ControlId::patternCheckButton);
}

TEST_F(Animation, StatesWithoutAButtonHaveNone) {
  for (int32_t s : {0, 9, 13, 14, 17, 20, 29, -1, 31, 99}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(buttonSelectingState(s), std::nullopt);
  }
  for (ControlId id :
       {ControlId::patternCheckButton, ControlId::reloadButton, ControlId::stateCaptionLabel}) {
    v.state = 5;
    EXPECT_FALSE(clickStateButton(id, v, c));
    EXPECT_EQ(v.state, 5);
  }
}

TEST_F(Animation, BaseButtonsLeaveTheReturnTargetAlone) {
  v.returnState = 2;
  v.returnCaption = "通常2";
  for (auto handler :
       {Button1Click, Button2Click, Button14Click, Button5Click, Button3Click, Button4Click}) {
    handler(v, c);
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
    c.setCaption(ControlId::stateCaptionLabel, "shown");
    Button10Click(v, c);
    EXPECT_EQ(v.returnState, base ? from : 99);
    EXPECT_EQ(v.returnCaption, base ? "shown" : "old");

    v.state = from;
    v.returnState = 99;
    v.returnCaption = "old";
    c.setCaption(ControlId::stateCaptionLabel, "shown");
    selectCheckState(v, c);
    const bool check = base && from != 3;
    EXPECT_EQ(v.returnState, check ? from : 99);
    EXPECT_EQ(v.returnCaption, check ? "shown" : "old");
  }
}

TEST_F(Animation, BaseStateLoopsForEver) {
  setPattern(v, 2, {5, 6, 7});
  Button2Click(v, c);
  const auto shown = play(v, c, 7);
  const std::vector<Shown> expected{{2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}, {2, 2, "通常2"}, {2, 3, "通常2"},
                                    {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotReturnsWithTheCaptionShownWhenItStarted) {
  setPattern(v, 1, {1, 2});
  setPattern(v, 6, {3, 4, 5});
  c.setCaption(ControlId::stateCaptionLabel, "状態");  // as right after a load
  Button6Click(v, c);
  const auto shown = play(v, c, 5);
  const std::vector<Shown> expected{
      {6, 1, "喜び１"}, {6, 2, "喜び１"}, {6, 3, "喜び１"}, {1, 1, "状態"}, {1, 2, "状態"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, OneShotStartedFromAOneShotKeepsTheFirstReturnTarget) {
  setPattern(v, 2, {1});
  setPattern(v, 6, {3, 4});
  setPattern(v, 10, {7});
  Button2Click(v, c);
  play(v, c, 1);
  Button6Click(v, c);
  play(v, c, 1);
  Button9Click(v, c);
  const auto shown = play(v, c, 3);
  const std::vector<Shown> expected{{10, 1, "ダメージ１"}, {2, 1, "通常2"}, {2, 1, "通常2"}};
  EXPECT_EQ(shown, expected);
}

TEST_F(Animation, PressingTheSameOneShotAgainRestartsIt) {
  setPattern(v, 7, {1, 2, 3});
  Button1Click(v, c);
  Button7Click(v, c);
  play(v, c, 2);
  Button7Click(v, c);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(play(v, c, 1).front(), (Shown{7, 1, "喜び２"}));
}

TEST_F(Animation, StateThreeIsRememberedByOneShotsButNotByTheCheck) {
  setPattern(v, 3, {1});
  setPattern(v, 4, {2});
  setPattern(v, 30, {3});
  Button14Click(v, c);
  Button12Click(v, c);
  EXPECT_EQ(play(v, c, 2).back(), (Shown{3, 1, "おじゃま"}));

  // Nothing remembered before: the check returns to state 0 with an empty caption.
  ViewerState fresh;
  emptyTables(fresh);
  setPattern(fresh, 3, {1});
  setPattern(fresh, 30, {3});
  MemoryControls fc;
  Button14Click(fresh, fc);
  selectCheckState(fresh, fc);
  EXPECT_EQ(play(fresh, fc, 2).back(), (Shown{0, 1, ""}));
}

TEST_F(Animation, LoopBoxUncheckedDuringALoopEndsAtTheNextEnd) {
  struct Case {
    const char* name;
    void (*enter)(ViewerState&, Controls&);
    int32_t state;
    ControlId box;
    ControlId otherBox;
    const char* caption;
  };
  const Case cases[] = {
      {"one-shot", Button8Click, 8, ControlId::oneShotLoopBox, ControlId::patternLoopBox, "喜び３"},
      {"check", selectCheckState, 30, ControlId::patternLoopBox, ControlId::oneShotLoopBox,
       "ﾁｪｯｸﾊﾟﾀｰﾝ"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    MemoryControls mc;
    emptyTables(v);
    setPattern(v, 5, {9});
    setPattern(v, k.state, {1, 2, 3});
    Button5Click(v, mc);
    k.enter(v, mc);
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
  c.setChecked(ControlId::patternLoopBox, true);
  Button1Click(v, c);
  Button10Click(v, c);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
  c.setChecked(ControlId::patternLoopBox, false);
  c.setChecked(ControlId::oneShotLoopBox, true);
  selectCheckState(v, c);
  EXPECT_EQ(play(v, c, 2).back().state, 1);
}

TEST_F(Animation, LayerRowLongerThanThePatternRowKeepsTheSequenceGoing) {
  setPattern(v, 12, {1, 2});
  setLayer(v, 12, {3, 3, 3, 3});
  v.layerDest[12][1] = 4;  // the destination row takes no part in the end test
  v.layerDest[12][5] = 4;
  Button1Click(v, c);
  Button11Click(v, c);
  const auto shown = play(v, c, 5);
  EXPECT_EQ(shown[3], (Shown{12, 4, "ダメージ３"}));
  EXPECT_EQ(shown[4], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(sequenceLength(v, 12), 4);
}

TEST_F(Animation, PatternEndingWhileTheLayerGoesOnOnlyEndsWhereBothAreEmpty) {
  setPattern(v, 1, {1, kEmptyCel, 3});
  setLayer(v, 1, {kEmptyCel, 2, kEmptyCel});
  Button1Click(v, c);
  const auto shown = play(v, c, 4);
  EXPECT_EQ(shown[2].frame, 3);
  EXPECT_EQ(shown[3].frame, 1);
}

TEST_F(Animation, AFullRowOf255EntriesEndsAt256) {
  v.pattern[30].fill(2);  // as the caret tracking leaves it, slot 0 included
  v.layer[30].fill(3);
  Button1Click(v, c);
  selectCheckState(v, c);
  const auto shown = play(v, c, 256);
  EXPECT_EQ(shown[254], (Shown{30, 255, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
  EXPECT_EQ(shown[255], (Shown{1, 1, "通常１"}));
  EXPECT_EQ(sequenceLength(v, 30), 255);

  // Looping, the row starts again at 1, never at 0 or 256.
  c.setChecked(ControlId::patternLoopBox, true);
  selectCheckState(v, c);
  const auto looped = play(v, c, 256);
  EXPECT_EQ(looped[255], (Shown{30, 1, "ﾁｪｯｸﾊﾟﾀｰﾝ"}));
}

TEST_F(Animation, AStateWithoutEntriesStaysOnFrameOne) {
  Button5Click(v, c);
  const auto shown = play(v, c, 3);
  for (const Shown& s : shown) EXPECT_EQ(s, (Shown{5, 1, "立ち"}));
  EXPECT_EQ(sequenceLength(v, 5), 1);
}

TEST_F(Animation, ALoopingOneShotRemembersNothingNew) {
  setPattern(v, 6, {1});
  setPattern(v, 7, {1});
  Button2Click(v, c);
  Button6Click(v, c);
  c.setChecked(ControlId::oneShotLoopBox, true);
  play(v, c, 3);
  Button7Click(v, c);
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
  Button6Click(v, c);
  play(v, c, 1);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(v.returnCaption, "状態");

  v.frame = 2;
  loadCharacterFile(v, c, file.path());
  EXPECT_EQ(v.state, 1);
  EXPECT_EQ(v.frame, 2);
  EXPECT_EQ(v.returnState, 1);
  EXPECT_EQ(v.returnCaption, "状態");
  EXPECT_EQ(c.caption(ControlId::stateCaptionLabel), "状態");
  // State 1 goes on from the old index; past its end the rule brings it back to 1.
  const auto shown = play(v, c, 2);
  EXPECT_EQ(shown[0], (Shown{1, 3, "状態"}));
  EXPECT_EQ(shown[1], (Shown{1, 1, "状態"}));
}

TEST_F(Animation, AOneShotRightAfterALoadReturnsToState) {
  TempFile file("#PATERN 01 01\n#PATERN 10 0203\n");
  c.setCaption(ControlId::stateCaptionLabel, "勝ち");
  loadCharacterFile(v, c, file.path());
  Button9Click(v, c);
  const auto shown = play(v, c, 3);
  EXPECT_EQ(shown[2], (Shown{1, 1, "状態"}));
}

}  // namespace
}  // namespace patapata
