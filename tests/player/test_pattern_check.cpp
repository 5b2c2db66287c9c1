#include "player/pattern_check.h"

#include "common/errors.h"
#include "common/memory_controls.h"
#include "player/animation.h"
#include "player/viewer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

// The viewer right after a load: state 1 under the caption "状態", row 30 empty.
class PatternCheckTest : public ::testing::Test {
 protected:
  PatternCheckTest() {
    clearTables();
    viewer.player.state = 1;
    viewer.player.frame = 4;
    viewer.characterLoaded = true;
  }

  void clearTables() {
    for (int32_t s = 0; s < kStateCount; ++s) {
      viewer.character.pattern[s].fill(kEmptyCel);
      viewer.character.layer[s].fill(kEmptyCel);
      viewer.character.layerDest[s].fill(kEmptyCel);
    }
  }

  /// Slots 1..count of a row, as a vector.
  static std::vector<int32_t> slots(const SequenceRow& row, int32_t count) {
    return {row.begin() + 1, row.begin() + 1 + count};
  }

  Viewer viewer;
  MemoryControls controls;
};

struct ButtonCase {
  const char* name;
  const char* pattern;
  const char* layer;
  const char* dest;
  std::vector<int32_t> patternSlots;  ///< slots 1.. that must hold these values
  std::vector<int32_t> layerSlots;
  std::vector<int32_t> destSlots;
  uint8_t layerOn;
};

TEST_F(PatternCheckTest, ButtonFillsRow30FromTheThreeEdits) {
  const ButtonCase cases[] = {
      {"odd last character is no entry", "0102030", "", "", {1, 2, 3, -1, -1}, {-1}, {-1}, 0},
      {"hex digits in either case", "0A0b", "", "", {10, 11, -1}, {-1}, {-1}, 0},
      {"each pair is trimmed", " 5 6", "", "", {5, 6, -1}, {-1}, {-1}, 0},
      {"single layer character is no entry", "01", "5", "", {1, -1}, {-1}, {-1}, 0},
      {"layer and destination", "0102", "0405", "0607", {1, 2, -1}, {4, 5, -1}, {6, 7, -1}, 1},
      {"destination alone leaves the layer off", "01", "", "0607", {1, -1}, {-1}, {6, 7, -1}, 0},
      {"largest cel", "FFff", "", "", {255, 255, -1}, {-1}, {-1}, 0},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.name);
    clearTables();
    viewer.character.layerOn[kCheckState] = 1;
    viewer.player.state = 1;
    viewer.player.caption = "状態";
    controls.setText(Edit::Pattern, c.pattern);
    controls.setText(Edit::Layer, c.layer);
    controls.setText(Edit::Destination, c.dest);

    startPatternCheck(viewer.character, viewer.player, controls);

    EXPECT_EQ(
        slots(viewer.character.pattern[kCheckState], static_cast<int32_t>(c.patternSlots.size())),
        c.patternSlots);
    EXPECT_EQ(slots(viewer.character.layer[kCheckState], static_cast<int32_t>(c.layerSlots.size())),
              c.layerSlots);
    EXPECT_EQ(
        slots(viewer.character.layerDest[kCheckState], static_cast<int32_t>(c.destSlots.size())),
        c.destSlots);
    EXPECT_EQ(viewer.character.layerOn[kCheckState], c.layerOn);
    EXPECT_EQ(viewer.character.pattern[kCheckState][255], kEmptyCel);
    EXPECT_EQ(viewer.player.state, kCheckState);
    EXPECT_EQ(viewer.player.frame, 0);
    EXPECT_EQ(viewer.player.caption, "ﾁｪｯｸﾊﾟﾀｰﾝ");
    EXPECT_EQ(viewer.player.returnState, 1);
    EXPECT_EQ(viewer.player.returnCaption, "状態");
  }
}

struct BadEntryCase {
  const char* name;
  const char* pattern;
  const char* layer;
  const char* message;
  std::vector<int32_t> patternSlots;  ///< what stays stored
  uint8_t layerOn;
};

TEST_F(PatternCheckTest, BadEntryStopsTheButtonAndKeepsThePlayerAsItWas) {
  const BadEntryCase cases[] = {
      {"two blanks trim to nothing", "01  02", "", "'$' は数値ではありません", {1, -1, -1}, 0},
      {"non-hex digit", "010G", "", "'$0G' は数値ではありません", {1, -1}, 0},
      {"sign inside an entry", "-1", "", "'$-1' は数値ではありません", {-1}, 0},
      {"bad layer entry after a good pattern",
       "0304",
       "0Z",
       "'$0Z' は数値ではありません",
       {3, 4, -1},
       1},
  };
  for (const BadEntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    viewer.player.state = 1;
    viewer.player.frame = 4;
    viewer.player.returnState = 0;
    viewer.player.returnCaption.clear();
    viewer.character.layerOn[kCheckState] = 0;
    viewer.player.caption = "状態";
    controls.setText(Edit::Pattern, c.pattern);
    controls.setText(Edit::Layer, c.layer);

    try {
      startPatternCheck(viewer.character, viewer.player, controls);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), c.message);
    }
    EXPECT_EQ(
        slots(viewer.character.pattern[kCheckState], static_cast<int32_t>(c.patternSlots.size())),
        c.patternSlots);
    EXPECT_EQ(viewer.character.layerOn[kCheckState], c.layerOn);
    EXPECT_EQ(viewer.player.state, 1);
    EXPECT_EQ(viewer.player.frame, 4);
    EXPECT_EQ(viewer.player.returnState, 0);
    EXPECT_EQ(viewer.player.returnCaption, "");
    EXPECT_EQ(viewer.player.caption, "状態");
  }
}

TEST_F(PatternCheckTest, ButtonKeepsSlotZeroAndClearsEveryRowBeyondTheTypedEntries) {
  viewer.character.pattern[kCheckState].fill(7);
  viewer.character.layer[kCheckState].fill(8);
  viewer.character.layerDest[kCheckState].fill(9);
  controls.setText(Edit::Pattern, "01");
  controls.setText(Edit::Layer, "05");
  controls.setText(Edit::Destination, "06");

  startPatternCheck(viewer.character, viewer.player, controls);

  EXPECT_EQ(viewer.character.pattern[kCheckState][0], 7);
  EXPECT_EQ(slots(viewer.character.pattern[kCheckState], 3), (std::vector<int32_t>{1, -1, -1}));
  EXPECT_EQ(slots(viewer.character.layer[kCheckState], 3), (std::vector<int32_t>{5, -1, -1}));
  EXPECT_EQ(slots(viewer.character.layerDest[kCheckState], 3), (std::vector<int32_t>{6, -1, -1}));
  EXPECT_EQ(viewer.character.layer[kCheckState][255], kEmptyCel);
}

TEST_F(PatternCheckTest, EntriesPastSlot255AreIgnoredEvenWhenBad) {
  std::string text;
  for (int i = 1; i <= 255; ++i) text += "01";
  text += "02ZZ";  // entries 256 and 257: no slot for them
  controls.setText(Edit::Pattern, text);
  controls.setText(Edit::Layer, text);
  controls.setText(Edit::Destination, text);

  EXPECT_NO_THROW(startPatternCheck(viewer.character, viewer.player, controls));

  for (int32_t slot = 1; slot <= 255; ++slot) {
    ASSERT_EQ(viewer.character.pattern[kCheckState][static_cast<std::size_t>(slot)], 1) << slot;
    ASSERT_EQ(viewer.character.layer[kCheckState][static_cast<std::size_t>(slot)], 1) << slot;
    ASSERT_EQ(viewer.character.layerDest[kCheckState][static_cast<std::size_t>(slot)], 1) << slot;
  }
  EXPECT_EQ(viewer.player.state, kCheckState);
}

TEST_F(PatternCheckTest, ButtonRemembersTheReturnTargetOnlyFromItsBaseStates) {
  struct Case {
    int32_t from;
    bool remembers;
  };
  const Case cases[] = {{1, true},  {2, true},  {5, true},   {15, true}, {16, true}, {3, false},
                        {6, false}, {4, false}, {30, false}, {0, false}, {9, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    viewer.player.state = c.from;
    viewer.player.returnState = 99;
    viewer.player.returnCaption = "前";
    viewer.player.caption = "いま";
    controls.setText(Edit::Pattern, "01");

    startPatternCheck(viewer.character, viewer.player, controls);

    EXPECT_EQ(viewer.player.returnState, c.remembers ? c.from : 99);
    EXPECT_EQ(viewer.player.returnCaption, c.remembers ? "いま" : "前");
    EXPECT_EQ(viewer.player.state, kCheckState);
  }
}

TEST_F(PatternCheckTest, CheckPlaysTheTypedCelsThenReturnsOrLoops) {
  for (const bool loop : {false, true}) {
    SCOPED_TRACE(loop ? "loop" : "return");
    viewer.player.state = 1;
    viewer.player.caption = "状態";
    controls.setChecked(Switch::PatternLoop, loop);
    controls.setText(Edit::Pattern, "0102030");
    startPatternCheck(viewer.character, viewer.player, controls);

    std::vector<int32_t> shown;
    for (int tick = 0; tick < 4; ++tick) {
      advanceAndEnd(viewer.player, viewer.character, loopSwitchesOf(controls));
      shown.push_back(viewer.character.pattern[static_cast<std::size_t>(viewer.player.state)]
                                              [static_cast<std::size_t>(viewer.player.frame)]);
    }
    if (loop) {
      EXPECT_EQ(shown, (std::vector<int32_t>{1, 2, 3, 1}));
      EXPECT_EQ(viewer.player.state, kCheckState);
    } else {
      EXPECT_EQ((std::vector<int32_t>(shown.begin(), shown.begin() + 3)),
                (std::vector<int32_t>{1, 2, 3}));
      EXPECT_EQ(viewer.player.state, 1);
      EXPECT_EQ(viewer.player.caption, "状態");
    }
  }
}

// Typing moves the caret, so the caret tracking enters the check state before the button is
// pressed; the check must still return to the base state it was typed over.
TEST_F(PatternCheckTest, TypedThenStartedCheckReturnsToTheStateItWasTypedOver) {
  viewer.character.pattern[15][1] = 9;
  viewer.player.state = 15;
  viewer.player.caption = "勝ち";
  controls.type(Edit::Pattern, "0102");
  trackCarets(viewer.carets, viewer.character, viewer.player, controls);
  ASSERT_EQ(viewer.player.state, kCheckState);
  startPatternCheck(viewer.character, viewer.player, controls);
  for (int tick = 0; tick < 3; ++tick)
    advanceAndEnd(viewer.player, viewer.character, loopSwitchesOf(controls));
  EXPECT_EQ(viewer.player.state, 15);
  EXPECT_EQ(viewer.player.frame, 1);
  EXPECT_EQ(viewer.player.caption, "勝ち");
}

struct CaretCase {
  const char* name;
  const char* edit2;
  const char* edit3;
  const char* edit4;
  Edit moved;
  int32_t caret;
  int32_t pattern;  ///< value of every pattern slot afterwards (-1: unchanged row)
  int32_t layer;
  int32_t dest;
  const char* counter;
};

TEST_F(PatternCheckTest, CaretMoveShowsTheEntryUnderTheCaretInAllThreeRows) {
  const CaretCase cases[] = {
      {"caret inside the second entry", "010203", "", "", Edit::Pattern, 3, 2, -1, -1, "1/3"},
      {"caret at the end: nothing after it", "010203", "", "", Edit::Pattern, 6, -1, -1, -1, "3/3"},
      {"shorter layer text is left alone", "0102", "05", "", Edit::Pattern, 2, 2, -1, -1, "1/2"},
      {"same index from every edit", "0102", "0506", "0708", Edit::Pattern, 2, 2, 6, 8, "1/2"},
      {"caret in the layer edit picks the pattern too", "0102", "0506", "0708", Edit::Layer, 1, 1,
       5, 7, "0/2"},
      {"one character after the caret is an entry", "010", "", "", Edit::Pattern, 2, 0, -1, -1,
       "1/1"},
      {"caret in the destination edit", "", "", "0A0B0C", Edit::Destination, 5, -1, -1, 12, "2/3"},
  };
  for (const CaretCase& c : cases) {
    SCOPED_TRACE(c.name);
    clearTables();
    viewer.carets.positions[0] = viewer.carets.positions[1] = viewer.carets.positions[2] = 0;
    for (Edit e : {Edit::Pattern, Edit::Layer, Edit::Destination}) {
      controls.setCaret(e, 0);
    }
    viewer.player.state = 1;
    viewer.player.frame = 5;
    viewer.player.returnState = 16;
    viewer.character.layerOn[kCheckState] = 0;
    viewer.player.caption = "状態";
    controls.setText(Edit::Pattern, c.edit2);
    controls.setText(Edit::Layer, c.edit3);
    controls.setText(Edit::Destination, c.edit4);
    controls.setCaret(c.moved, c.caret);

    trackCarets(viewer.carets, viewer.character, viewer.player, controls);

    for (std::size_t slot = 0; slot < kFrameSlots; ++slot) {
      ASSERT_EQ(viewer.character.pattern[kCheckState][slot], c.pattern) << slot;
      ASSERT_EQ(viewer.character.layer[kCheckState][slot], c.layer) << slot;
      ASSERT_EQ(viewer.character.layerDest[kCheckState][slot], c.dest) << slot;
    }
    EXPECT_EQ(viewer.player.state, kCheckState);
    EXPECT_EQ(viewer.player.frame, 0);
    EXPECT_EQ(viewer.character.layerOn[kCheckState], 1);
    // Entered from state 1, which becomes the return target; the caption stays.
    EXPECT_EQ(viewer.player.returnState, 1);
    EXPECT_EQ(viewer.player.returnCaption, "状態");
    EXPECT_EQ(viewer.player.caption, "状態");
    const std::string& counter = c.moved == Edit::Pattern ? viewer.carets.counters[0]
                                 : c.moved == Edit::Layer ? viewer.carets.counters[1]
                                                          : viewer.carets.counters[2];
    EXPECT_EQ(counter, c.counter);
  }
}

TEST_F(PatternCheckTest, UnmovedCaretsChangeNothing) {
  controls.setText(Edit::Pattern, "0102");
  controls.setCaret(Edit::Pattern, 2);
  viewer.carets.positions[0] = 2;

  trackCarets(viewer.carets, viewer.character, viewer.player, controls);

  EXPECT_EQ(viewer.player.state, 1);
  EXPECT_EQ(viewer.player.frame, 4);
  EXPECT_EQ(viewer.character.pattern[kCheckState][1], kEmptyCel);
  EXPECT_EQ(viewer.carets.counters[0], "0/0");
}

TEST_F(PatternCheckTest, LaterMovedEditOverwritesTheEarlierOnesRows) {
  controls.setText(Edit::Pattern, "0102030405");
  controls.setText(Edit::Layer, "0a0b0c");
  controls.setCaret(Edit::Pattern, 2);
  controls.setCaret(Edit::Layer, 4);

  trackCarets(viewer.carets, viewer.character, viewer.player, controls);

  EXPECT_EQ(viewer.character.pattern[kCheckState][17], 3);
  EXPECT_EQ(viewer.character.layer[kCheckState][17], 12);
  EXPECT_EQ(viewer.carets.counters[0], "1/5");
  EXPECT_EQ(viewer.carets.counters[1], "2/3");
  EXPECT_EQ(viewer.carets.positions[0], 2);
  EXPECT_EQ(viewer.carets.positions[1], 4);
}

TEST_F(PatternCheckTest, BadEntryUnderTheCaretFailsOnceAndChangesNothingElse) {
  controls.setText(Edit::Pattern, " 5 6");
  controls.setCaret(Edit::Pattern, 1);

  try {
    trackCarets(viewer.carets, viewer.character, viewer.player, controls);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'$ 5' は数値ではありません");
  }
  EXPECT_EQ(viewer.carets.positions[0], 1);
  EXPECT_EQ(viewer.player.state, 1);
  EXPECT_EQ(viewer.player.frame, 4);
  EXPECT_EQ(viewer.character.layerOn[kCheckState], 0);
  EXPECT_EQ(viewer.carets.counters[0], "0/0");

  EXPECT_NO_THROW(trackCarets(viewer.carets, viewer.character, viewer.player, controls));
  EXPECT_EQ(viewer.player.state, 1);
}

TEST_F(PatternCheckTest, RowFilledEarlierInAFailingMoveKeepsItsNewContents) {
  controls.setText(Edit::Pattern, "0102");
  controls.setText(Edit::Layer, "05GG");
  controls.setCaret(Edit::Pattern, 2);

  EXPECT_THROW(trackCarets(viewer.carets, viewer.character, viewer.player, controls), Error);

  EXPECT_EQ(viewer.character.pattern[kCheckState][200], 2);
  EXPECT_EQ(viewer.character.layer[kCheckState][1], kEmptyCel);
  EXPECT_EQ(viewer.player.state, 1);
}

TEST_F(PatternCheckTest, TypingAtTheEndEntersTheCheckStateWithoutChangingTheRow) {
  controls.type(Edit::Pattern, "01");
  trackCarets(viewer.carets, viewer.character, viewer.player, controls);
  EXPECT_EQ(viewer.player.state, kCheckState);
  EXPECT_EQ(viewer.character.pattern[kCheckState][1], kEmptyCel);
  EXPECT_EQ(viewer.carets.counters[0], "1/1");

  viewer.player.state = 1;
  controls.type(Edit::Pattern, "0102");
  trackCarets(viewer.carets, viewer.character, viewer.player, controls);
  EXPECT_EQ(viewer.player.state, kCheckState);
  EXPECT_EQ(viewer.character.pattern[kCheckState][1], kEmptyCel);
  EXPECT_EQ(viewer.carets.counters[0], "2/2");
}

// Caret tracking fills the whole row; the button then plays what was typed, not 250 empty
// frames of what tracking left behind.
TEST_F(PatternCheckTest, ACheckStartedAfterCaretTrackingPlaysOnlyTheTypedFrames) {
  controls.setText(Edit::Layer, "0506");
  controls.setCaret(Edit::Layer, 2);
  trackCarets(viewer.carets, viewer.character, viewer.player, controls);
  ASSERT_EQ(viewer.character.layer[kCheckState][255], 6);

  controls.setText(Edit::Pattern, "01");
  controls.setText(Edit::Layer, "07");
  startPatternCheck(viewer.character, viewer.player, controls);
  EXPECT_EQ(viewer.character.layer[kCheckState][1], 7);
  EXPECT_EQ(viewer.character.layer[kCheckState][2], kEmptyCel);

  int32_t frames = 0;
  do {
    advanceAndEnd(viewer.player, viewer.character, loopSwitchesOf(controls));
    ++frames;
  } while (viewer.player.state == kCheckState && frames < 1000);
  // Frame 1 is shown; the end is found at 2 and the second advance returns.
  EXPECT_EQ(frames, 2);
}

TEST_F(PatternCheckTest, ClipperCopiesEdit2AndMovesItsCaretToTheStart) {
  controls.setText(Edit::Pattern, "0102");
  controls.setText(Edit::Layer, "0506");
  controls.setCaret(Edit::Pattern, 4);
  viewer.carets.positions[0] = 4;

  copyPatternToClipboard(controls);

  EXPECT_EQ(controls.clipboard, "0102");
  trackCarets(viewer.carets, viewer.character, viewer.player, controls);
  EXPECT_EQ(viewer.carets.counters[0], "0/2");
  EXPECT_EQ(viewer.character.pattern[kCheckState][3], 1);
  EXPECT_EQ(viewer.character.layer[kCheckState][3], 5);
}

TEST(EntryCount, HalfTheLengthRoundedDown) {
  const std::pair<const char*, int32_t> cases[] = {{"", 0},    {"1", 0},    {"01", 1},
                                                   {"012", 1}, {"0102", 2}, {" 5 6", 2}};
  for (const auto& [text, count] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(entryCount(text), count);
  }
}

}  // namespace
}  // namespace patapata
