#include "player/pattern_check.h"

#include "character/viewer_state.h"
#include "common/errors.h"
#include "common/memory_controls.h"
#include "player/animation.h"

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
    state.AnimState = 1;
    state.AnimFrame = 4;
    state.CharLoaded = true;
  }

  void clearTables() {
    for (int32_t s = 0; s < kStateCount; ++s) {
      state.PatternSeq[s].fill(kEmptyCel);
      state.LayerSeq[s].fill(kEmptyCel);
      state.LayerDestSeq[s].fill(kEmptyCel);
    }
  }

  /// Slots 1..count of a row, as a vector.
  static std::vector<int32_t> slots(const SequenceRow& row, int32_t count) {
    return {row.begin() + 1, row.begin() + 1 + count};
  }

  ViewerState state;
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
    state.LayerOn[CheckState] = 1;
    state.AnimState = 1;
    controls.setCaption(ControlId::Label2, "状態");
    controls.setText(ControlId::Edit2, c.pattern);
    controls.setText(ControlId::Edit3, c.layer);
    controls.setText(ControlId::Edit4, c.dest);

    buttonckClick(state, controls);

    EXPECT_EQ(slots(state.PatternSeq[CheckState], static_cast<int32_t>(c.patternSlots.size())),
              c.patternSlots);
    EXPECT_EQ(slots(state.LayerSeq[CheckState], static_cast<int32_t>(c.layerSlots.size())),
              c.layerSlots);
    EXPECT_EQ(slots(state.LayerDestSeq[CheckState], static_cast<int32_t>(c.destSlots.size())),
              c.destSlots);
    EXPECT_EQ(state.LayerOn[CheckState], c.layerOn);
    EXPECT_EQ(state.PatternSeq[CheckState][255], kEmptyCel);
    EXPECT_EQ(state.AnimState, CheckState);
    EXPECT_EQ(state.AnimFrame, 0);
    EXPECT_EQ(controls.caption(ControlId::Label2), "ﾁｪｯｸﾊﾟﾀｰﾝ");
    EXPECT_EQ(state.ReturnState, 1);
    EXPECT_EQ(state.ReturnCaption, "状態");
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
    state.AnimState = 1;
    state.AnimFrame = 4;
    state.ReturnState = 0;
    state.ReturnCaption.clear();
    state.LayerOn[CheckState] = 0;
    controls.setCaption(ControlId::Label2, "状態");
    controls.setText(ControlId::Edit2, c.pattern);
    controls.setText(ControlId::Edit3, c.layer);

    try {
      buttonckClick(state, controls);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(slots(state.PatternSeq[CheckState], static_cast<int32_t>(c.patternSlots.size())),
              c.patternSlots);
    EXPECT_EQ(state.LayerOn[CheckState], c.layerOn);
    EXPECT_EQ(state.AnimState, 1);
    EXPECT_EQ(state.AnimFrame, 4);
    EXPECT_EQ(state.ReturnState, 0);
    EXPECT_EQ(state.ReturnCaption, "");
    EXPECT_EQ(controls.caption(ControlId::Label2), "状態");
  }
}

TEST_F(PatternCheckTest, ButtonKeepsSlotZeroAndTheLayerRowsBeyondTheTypedEntries) {
  state.PatternSeq[CheckState].fill(7);
  state.LayerSeq[CheckState].fill(8);
  state.LayerDestSeq[CheckState].fill(9);
  controls.setText(ControlId::Edit2, "01");
  controls.setText(ControlId::Edit3, "05");
  controls.setText(ControlId::Edit4, "06");

  buttonckClick(state, controls);

  EXPECT_EQ(state.PatternSeq[CheckState][0], 7);
  EXPECT_EQ(slots(state.PatternSeq[CheckState], 3), (std::vector<int32_t>{1, -1, -1}));
  EXPECT_EQ(slots(state.LayerSeq[CheckState], 3), (std::vector<int32_t>{5, 8, 8}));
  EXPECT_EQ(slots(state.LayerDestSeq[CheckState], 3), (std::vector<int32_t>{6, 9, 9}));
  EXPECT_EQ(state.LayerSeq[CheckState][255], 8);
}

TEST_F(PatternCheckTest, EntriesPastSlot255AreIgnoredEvenWhenBad) {
  std::string text;
  for (int i = 1; i <= 255; ++i) text += "01";
  text += "02ZZ";  // entries 256 and 257: no slot for them
  controls.setText(ControlId::Edit2, text);
  controls.setText(ControlId::Edit3, text);
  controls.setText(ControlId::Edit4, text);

  EXPECT_NO_THROW(buttonckClick(state, controls));

  for (int32_t slot = 1; slot <= 255; ++slot) {
    ASSERT_EQ(state.PatternSeq[CheckState][static_cast<std::size_t>(slot)], 1) << slot;
    ASSERT_EQ(state.LayerSeq[CheckState][static_cast<std::size_t>(slot)], 1) << slot;
    ASSERT_EQ(state.LayerDestSeq[CheckState][static_cast<std::size_t>(slot)], 1) << slot;
  }
  EXPECT_EQ(state.AnimState, CheckState);
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
    state.AnimState = c.from;
    state.ReturnState = 99;
    state.ReturnCaption = "前";
    controls.setCaption(ControlId::Label2, "いま");
    controls.setText(ControlId::Edit2, "01");

    buttonckClick(state, controls);

    EXPECT_EQ(state.ReturnState, c.remembers ? c.from : 99);
    EXPECT_EQ(state.ReturnCaption, c.remembers ? "いま" : "前");
    EXPECT_EQ(state.AnimState, CheckState);
  }
}

TEST_F(PatternCheckTest, CheckPlaysTheTypedCelsThenReturnsOrLoops) {
  for (const bool loop : {false, true}) {
    SCOPED_TRACE(loop ? "loop" : "return");
    state.AnimState = 1;
    controls.setCaption(ControlId::Label2, "状態");
    controls.setChecked(ControlId::CheckBox1, loop);
    controls.setText(ControlId::Edit2, "0102030");
    buttonckClick(state, controls);

    std::vector<int32_t> shown;
    for (int tick = 0; tick < 4; ++tick) {
      advanceAndEnd(state, controls);
      shown.push_back(state.PatternSeq[static_cast<std::size_t>(state.AnimState)]
                                      [static_cast<std::size_t>(state.AnimFrame)]);
    }
    if (loop) {
      EXPECT_EQ(shown, (std::vector<int32_t>{1, 2, 3, 1}));
      EXPECT_EQ(state.AnimState, CheckState);
    } else {
      EXPECT_EQ((std::vector<int32_t>(shown.begin(), shown.begin() + 3)),
                (std::vector<int32_t>{1, 2, 3}));
      EXPECT_EQ(state.AnimState, 1);
      EXPECT_EQ(controls.caption(ControlId::Label2), "状態");
    }
  }
}

struct CaretCase {
  const char* name;
  const char* edit2;
  const char* edit3;
  const char* edit4;
  ControlId moved;
  int32_t caret;
  int32_t pattern;  ///< value of every pattern slot afterwards (-1: unchanged row)
  int32_t layer;
  int32_t dest;
  const char* counter;
};

TEST_F(PatternCheckTest, CaretMoveShowsTheEntryUnderTheCaretInAllThreeRows) {
  const CaretCase cases[] = {
      {"caret inside the second entry", "010203", "", "", ControlId::Edit2, 3, 2, -1, -1, "1/3"},
      {"caret at the end: nothing after it", "010203", "", "", ControlId::Edit2, 6, -1, -1, -1,
       "3/3"},
      {"shorter layer text is left alone", "0102", "05", "", ControlId::Edit2, 2, 2, -1, -1, "1/2"},
      {"same index from every edit", "0102", "0506", "0708", ControlId::Edit2, 2, 2, 6, 8, "1/2"},
      {"caret in the layer edit picks the pattern too", "0102", "0506", "0708", ControlId::Edit3, 1,
       1, 5, 7, "0/2"},
      {"one character after the caret is an entry", "010", "", "", ControlId::Edit2, 2, 0, -1, -1,
       "1/1"},
      {"caret in the destination edit", "", "", "0A0B0C", ControlId::Edit4, 5, -1, -1, 12, "2/3"},
  };
  for (const CaretCase& c : cases) {
    SCOPED_TRACE(c.name);
    clearTables();
    state.PatternCaretPos = state.LayerCaretPos = state.LayerDestCaretPos = 0;
    for (ControlId e : {ControlId::Edit2, ControlId::Edit3, ControlId::Edit4}) {
      controls.setCaret(e, 0);
    }
    state.AnimState = 1;
    state.AnimFrame = 5;
    state.ReturnState = 16;
    state.LayerOn[CheckState] = 0;
    controls.setCaption(ControlId::Label2, "状態");
    controls.setText(ControlId::Edit2, c.edit2);
    controls.setText(ControlId::Edit3, c.edit3);
    controls.setText(ControlId::Edit4, c.edit4);
    controls.setCaret(c.moved, c.caret);

    trackCarets(state, controls);

    for (std::size_t slot = 0; slot < kFrameSlots; ++slot) {
      ASSERT_EQ(state.PatternSeq[CheckState][slot], c.pattern) << slot;
      ASSERT_EQ(state.LayerSeq[CheckState][slot], c.layer) << slot;
      ASSERT_EQ(state.LayerDestSeq[CheckState][slot], c.dest) << slot;
    }
    EXPECT_EQ(state.AnimState, CheckState);
    EXPECT_EQ(state.AnimFrame, 0);
    EXPECT_EQ(state.LayerOn[CheckState], 1);
    EXPECT_EQ(state.ReturnState, 16);
    EXPECT_EQ(controls.caption(ControlId::Label2), "状態");
    const ControlId counter = c.moved == ControlId::Edit2   ? ControlId::Label6
                              : c.moved == ControlId::Edit3 ? ControlId::Label7
                                                            : ControlId::Label8;
    EXPECT_EQ(controls.caption(counter), c.counter);
  }
}

TEST_F(PatternCheckTest, UnmovedCaretsChangeNothing) {
  controls.setText(ControlId::Edit2, "0102");
  controls.setCaret(ControlId::Edit2, 2);
  state.PatternCaretPos = 2;

  trackCarets(state, controls);

  EXPECT_EQ(state.AnimState, 1);
  EXPECT_EQ(state.AnimFrame, 4);
  EXPECT_EQ(state.PatternSeq[CheckState][1], kEmptyCel);
  EXPECT_EQ(controls.caption(ControlId::Label6), "0/0");
}

TEST_F(PatternCheckTest, LaterMovedEditOverwritesTheEarlierOnesRows) {
  controls.setText(ControlId::Edit2, "0102030405");
  controls.setText(ControlId::Edit3, "0a0b0c");
  controls.setCaret(ControlId::Edit2, 2);
  controls.setCaret(ControlId::Edit3, 4);

  trackCarets(state, controls);

  EXPECT_EQ(state.PatternSeq[CheckState][17], 3);
  EXPECT_EQ(state.LayerSeq[CheckState][17], 12);
  EXPECT_EQ(controls.caption(ControlId::Label6), "1/5");
  EXPECT_EQ(controls.caption(ControlId::Label7), "2/3");
  EXPECT_EQ(state.PatternCaretPos, 2);
  EXPECT_EQ(state.LayerCaretPos, 4);
}

TEST_F(PatternCheckTest, BadEntryUnderTheCaretFailsOnceAndChangesNothingElse) {
  controls.setText(ControlId::Edit2, " 5 6");
  controls.setCaret(ControlId::Edit2, 1);

  try {
    trackCarets(state, controls);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.message(), "'$ 5' は数値ではありません");
  }
  EXPECT_EQ(state.PatternCaretPos, 1);
  EXPECT_EQ(state.AnimState, 1);
  EXPECT_EQ(state.AnimFrame, 4);
  EXPECT_EQ(state.LayerOn[CheckState], 0);
  EXPECT_EQ(controls.caption(ControlId::Label6), "0/0");

  EXPECT_NO_THROW(trackCarets(state, controls));
  EXPECT_EQ(state.AnimState, 1);
}

TEST_F(PatternCheckTest, RowFilledEarlierInAFailingMoveKeepsItsNewContents) {
  controls.setText(ControlId::Edit2, "0102");
  controls.setText(ControlId::Edit3, "05GG");
  controls.setCaret(ControlId::Edit2, 2);

  EXPECT_THROW(trackCarets(state, controls), EConvertError);

  EXPECT_EQ(state.PatternSeq[CheckState][200], 2);
  EXPECT_EQ(state.LayerSeq[CheckState][1], kEmptyCel);
  EXPECT_EQ(state.AnimState, 1);
}

TEST_F(PatternCheckTest, TypingAtTheEndEntersTheCheckStateWithoutChangingTheRow) {
  controls.type(ControlId::Edit2, "01");
  trackCarets(state, controls);
  EXPECT_EQ(state.AnimState, CheckState);
  EXPECT_EQ(state.PatternSeq[CheckState][1], kEmptyCel);
  EXPECT_EQ(controls.caption(ControlId::Label6), "1/1");

  state.AnimState = 1;
  controls.type(ControlId::Edit2, "0102");
  trackCarets(state, controls);
  EXPECT_EQ(state.AnimState, CheckState);
  EXPECT_EQ(state.PatternSeq[CheckState][1], kEmptyCel);
  EXPECT_EQ(controls.caption(ControlId::Label6), "2/2");
}

TEST_F(PatternCheckTest, CaretFilledLayerRowRunsTheCheckToSlot255) {
  controls.setText(ControlId::Edit3, "0506");
  controls.setCaret(ControlId::Edit3, 2);
  trackCarets(state, controls);
  ASSERT_EQ(state.LayerSeq[CheckState][255], 6);

  controls.setText(ControlId::Edit2, "01");
  controls.setText(ControlId::Edit3, "07");
  buttonckClick(state, controls);
  EXPECT_EQ(state.LayerSeq[CheckState][1], 7);
  EXPECT_EQ(state.LayerSeq[CheckState][2], 6);

  int32_t frames = 0;
  do {
    advanceAndEnd(state, controls);
    ++frames;
  } while (state.AnimState == CheckState && frames < 1000);
  // Frames 1..255 are shown; the end is found at 256 and the 256th advance returns.
  EXPECT_EQ(frames, 256);
}

TEST_F(PatternCheckTest, ClipperCopiesEdit2AndMovesItsCaretToTheStart) {
  controls.setText(ControlId::Edit2, "0102");
  controls.setText(ControlId::Edit3, "0506");
  controls.setCaret(ControlId::Edit2, 4);
  state.PatternCaretPos = 4;

  clipperClick(controls);

  EXPECT_EQ(controls.clipboard, "0102");
  trackCarets(state, controls);
  EXPECT_EQ(controls.caption(ControlId::Label6), "0/2");
  EXPECT_EQ(state.PatternSeq[CheckState][3], 1);
  EXPECT_EQ(state.LayerSeq[CheckState][3], 5);
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
