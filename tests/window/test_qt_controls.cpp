#include "window/qt_controls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace patapata {
namespace {

// A few real widgets behind the Controls the core sees.
class QtControlsTest : public ::testing::Test {
 protected:
  QtControlsTest()
      : controls([this](const std::function<void()>& handler) {
          ++entered;
          handler();
        }),
        edit(new QLineEdit(&window)),
        box(new QCheckBox(&window)),
        action(new QAction(&window)) {
    controls.addEdit(Edit::Pattern, edit);
    controls.addSwitch(Switch::PatternLoop, box);
    action->setCheckable(true);
    controls.addSwitch(Switch::AutoSheetReload, action);
    controls.onTextChanged = [this](Edit id) { changes.push_back(id); };
  }

  QWidget window;
  int entered = 0;
  std::vector<Edit> changes;
  QtControls controls;
  QLineEdit* edit;
  QCheckBox* box;
  QAction* action;
};

TEST_F(QtControlsTest, SetTextRunsTheChangeHandlerOnlyWhenTheTextChanges) {
  struct Step {
    const char* text;
    std::size_t changesAfter;
  };
  const Step steps[] = {{"0102", 1}, {"0102", 1}, {"", 2}, {"", 2}, {"FF", 3}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.text);
    controls.setText(Edit::Pattern, s.text);
    EXPECT_EQ(edit->text(), QString::fromUtf8(s.text));
    EXPECT_EQ(changes.size(), s.changesAfter);
  }
  // The program's changes are not entered as handlers from the event loop.
  EXPECT_EQ(entered, 0);
}

TEST_F(QtControlsTest, TypedChangesRunTheChangeHandlerThroughTheEntry) {
  window.show();
  edit->setFocus();
  QTest::keyClicks(edit, "0a");
  EXPECT_EQ(edit->text(), QStringLiteral("0a"));
  EXPECT_EQ(changes, (std::vector<Edit>{Edit::Pattern, Edit::Pattern}));
  EXPECT_EQ(entered, 2);
}

TEST_F(QtControlsTest, EditTextsReachTheCoreAsShiftJisBytes) {
  controls.setText(Edit::Pattern, "あ01");  // UTF-8 from the program
  EXPECT_EQ(edit->text(), QStringLiteral("あ01"));
  EXPECT_EQ(controls.text(Edit::Pattern),
            "\x82\xa0"
            "01");
  controls.setText(Edit::Pattern, "\x83\x65\x83\x58\x83\x67");  // Shift-JIS テスト
  EXPECT_EQ(edit->text(), QStringLiteral("テスト"));
}

TEST_F(QtControlsTest, CaretPositionCountsShiftJisBytesAndTakesTheSelectionsLeftEnd) {
  controls.setText(Edit::Pattern, "あ0102");
  struct Case {
    const char* name;
    int cursor;
    int selectionStart;  ///< -1: no selection
    int selectionLength;
    int32_t bytes;
  };
  const Case cases[] = {
      {"start", 0, -1, 0, 0},
      {"after the double-byte character", 1, -1, 0, 2},
      {"end", 5, -1, 0, 6},
      {"selection from the right end", 3, 3, 2, 4},
      {"selection made leftwards", 5, 5, -3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->deselect();
    edit->setCursorPosition(c.cursor);
    if (c.selectionStart >= 0) edit->setSelection(c.selectionStart, c.selectionLength);
    EXPECT_EQ(controls.caretPosition(Edit::Pattern), c.bytes);
  }
}

TEST_F(QtControlsTest, ProgramTextIsNotCutByATypedLengthLimit) {
  edit->setMaxLength(3);
  controls.setText(Edit::Pattern, "1000");
  EXPECT_EQ(edit->text(), QStringLiteral("1000"));
  EXPECT_EQ(controls.text(Edit::Pattern), "1000");
}

TEST_F(QtControlsTest, CheckMarksReachTheBoxesAndMenuItems) {
  for (const bool mark : {true, false}) {
    controls.setChecked(Switch::PatternLoop, mark);
    controls.setChecked(Switch::AutoSheetReload, mark);
    EXPECT_EQ(box->isChecked(), mark);
    EXPECT_EQ(action->isChecked(), mark);
    EXPECT_EQ(controls.isChecked(Switch::PatternLoop), mark);
    EXPECT_EQ(controls.isChecked(Switch::AutoSheetReload), mark);
  }
}

TEST_F(QtControlsTest, SelectAllAndCopyUsesTheEditsOwnCopy) {
  controls.setText(Edit::Pattern, "0A0B");
  edit->setCursorPosition(4);
  controls.selectAllAndCopy(Edit::Pattern);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0A0B"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("0A0B"));
  EXPECT_EQ(controls.caretPosition(Edit::Pattern), 0);
}

TEST_F(QtControlsTest, UnknownControlIsAProgrammingError) {
  EXPECT_THROW(controls.caretPosition(Edit::Layer), std::logic_error);
  EXPECT_THROW(controls.setChecked(Switch::OneShotLoop, true), std::logic_error);
}

}  // namespace
}  // namespace patapata
