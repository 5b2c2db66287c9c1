#include "window/main_window.h"

#include "common/errors.h"
#include "export/headless_player.h"
#include "export/headless_session.h"
#include "player/frame_loop.h"
#include "support/character_files.h"
#include "support/window_under_test.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "window/file_chooser.h"
#include "window/idle_loop.h"
#include "window/preferences.h"
#include "window/status_line.h"
#include "window/view_widget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace patapata {
namespace {

using testfiles::bmp24;
using testfiles::TempDir;
using testfiles::writeFile;

const std::string kSample = std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.chp";

// The main window as the program creates and shows it, with the error box intercepted.
class MainWindowTest : public ::testing::Test, public testing::WindowUnderTest {
 protected:
  void SetUp() override { open(); }
  void TearDown() override { close(); }

  template <typename T = QWidget>
  T* child(const char* name) {
    T* found = form->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QAction* autoSheetReload() {
    return form->findChild<QAction*>(QStringLiteral("autoSheetReload"));
  }

  /// Runs the event loop, and with it the idle ticks, until `done` holds.
  template <typename Pred>
  bool runUntil(Pred done, int timeoutMs = 5000) {
    return QTest::qWaitFor(done, timeoutMs);
  }

  QImage viewImage() { return form->view().grab().toImage(); }

  uint32_t sheetKey() { return form->viewer().character.sheet.picture->key(); }
};

TEST_F(MainWindowTest, StartsWithTheCaptionsCountersAndOnlyTheClipboardButtonEnabled) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ぱたぱた！"));
  const std::pair<const char*, const char*> labels[] = {
      {"characterName", "名前"}, {"stateCaption", "状態"},       {"intervalLabel", "Anime"},
      {"layerLabel", "レイヤ"},  {"destinationLabel", "転送先"}, {"patternCounter", "0/0"},
      {"layerCounter", "0/0"},   {"destinationCounter", "0/0"}};
  for (const auto& [name, caption] : labels) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QLabel>(name)->text(), QString::fromUtf8(caption));
  }
  const std::pair<const char*, const char*> edits[] = {
      {"intervalEdit", "100"}, {"patternEdit", ""}, {"layerEdit", ""}, {"destinationEdit", ""}};
  for (const auto& [name, text] : edits) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QLineEdit>(name)->text(), QString::fromUtf8(text));
    EXPECT_TRUE(child<QLineEdit>(name)->isEnabled());
  }
  const std::pair<const char*, const char*> buttons[] = {{"stateButton1", "通常１"},
                                                         {"stateButton2", "通常２"},
                                                         {"stateButton15", "勝ち"},
                                                         {"stateButton16", "負け"},
                                                         {"stateButton5", "立ち"},
                                                         {"stateButton6", "喜び１"},
                                                         {"stateButton7", "喜び２"},
                                                         {"stateButton8", "喜び３"},
                                                         {"stateButton10", "ﾀﾞﾒｰｼﾞ１"},
                                                         {"stateButton11", "ﾀﾞﾒｰｼﾞ２"},
                                                         {"stateButton12", "ﾀﾞﾒｰｼﾞ３"},
                                                         {"stateButton4", "ミス"},
                                                         {"stateButton3", "おじゃま"},
                                                         {"patternCheckButton", "ﾊﾟﾀｰﾝﾁｪｯｸ"},
                                                         {"reloadButton", "再読込み"},
                                                         {"sheetReloadButton", "CG再読込み"},
                                                         {"copyPatternButton", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"}};
  for (const auto& [name, caption] : buttons) {
    SCOPED_TRACE(name);
    QPushButton* b = child<QPushButton>(name);
    EXPECT_EQ(b->text(), QString::fromUtf8(caption));
    EXPECT_EQ(b->isEnabled(), std::string(name) == "copyPatternButton");
  }
  EXPECT_EQ(form->findChildren<QPushButton*>().size(), 17);
  for (const auto& [name, caption] :
       {std::pair{"patternLoopBox", "ループ"}, std::pair{"oneShotLoopBox", "ﾙｰﾌﾟ"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QCheckBox>(name)->text(), QString::fromUtf8(caption));
    EXPECT_FALSE(child<QCheckBox>(name)->isChecked());
    EXPECT_TRUE(child<QCheckBox>(name)->isEnabled());
  }
  QMenu* settings = child<QMenu>("settingsMenu");
  EXPECT_EQ(settings->title(), QStringLiteral("設定"));
  ASSERT_NE(autoSheetReload(), nullptr);
  EXPECT_EQ(autoSheetReload()->text(), QStringLiteral("自動ＣＧ再読込み"));
  EXPECT_TRUE(autoSheetReload()->isCheckable());
  EXPECT_FALSE(autoSheetReload()->isChecked());
  EXPECT_FALSE(form->viewer().characterLoaded);
}

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInAFixedClientArea) {
  struct Place {
    const char* name;
    QRect geometry;
  };
  const Place places[] = {
      {"reloadButton", {0, 0, 97, 17}},
      {"sheetReloadButton", {0, 16, 97, 17}},
      {"stateButton1", {0, 48, 49, 25}},
      {"stateButton2", {48, 48, 49, 25}},
      {"stateButton3", {48, 96, 49, 25}},
      {"stateButton4", {0, 208, 49, 25}},
      {"oneShotLoopBox", {50, 213, 49, 17}},
      {"intervalEdit", {64, 272, 33, 20}},
      {"patternCheckButton", {0, 296, 75, 17}},
      {"patternLoopBox", {80, 296, 57, 17}},
      {"copyPatternButton", {144, 296, 80, 17}},
      {"patternEdit", {0, 316, 177, 20}},
      {"layerEdit", {0, 352, 177, 20}},
      {"destinationEdit", {0, 388, 177, 20}},
      {"view", {104, 0, 121, 271}},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(child(p.name)->geometry(), p.geometry);
  }
  const std::pair<const char*, QPoint> labels[] = {
      {"stateCaption", {104, 272}},   {"intervalLabel", {0, 274}},
      {"characterName", {0, 248}},    {"layerLabel", {0, 338}},
      {"destinationLabel", {0, 374}}, {"patternCounter", {182, 320}},
      {"layerCounter", {182, 356}},   {"destinationCounter", {182, 392}}};
  for (const auto& [name, pos] : labels) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QLabel>(name)->pos(), pos);
    EXPECT_EQ(child<QLabel>(name)->size(), child<QLabel>(name)->sizeHint());
  }
  EXPECT_EQ(form->client().size(), QSize(226, 409));
  EXPECT_EQ(form->client().y(), form->menuBar()->height());
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST_F(MainWindowTest, FontsIconAndTabOrderAreTheWindows) {
  const std::pair<const char*, int> heights[] = {{"stateCaption", 21},  {"intervalLabel", 16},
                                                 {"characterName", 16}, {"layerLabel", 12},
                                                 {"stateButton1", 12},  {"patternEdit", 12}};
  for (const auto& [name, height] : heights) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child(name)->font().pixelSize(), height);
    EXPECT_EQ(child(name)->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
  }
  const QIcon icon = form->windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));

  const char* order[] = {
      "stateButton1",  "stateButton2",      "stateButton15",      "stateButton16",
      "stateButton5",  "stateButton6",      "stateButton7",       "stateButton8",
      "stateButton10", "stateButton11",     "stateButton12",      "stateButton4",
      "intervalEdit",  "patternEdit",       "patternCheckButton", "patternLoopBox",
      "reloadButton",  "copyPatternButton", "sheetReloadButton",  "oneShotLoopBox",
      "view",          "stateButton3",      "layerEdit",          "destinationEdit"};
  // The view takes no focus, so Tab passes over its place in the order.
  std::vector<QWidget*> tabStops;
  for (const char* name : order) {
    if (child(name)->focusPolicy() & Qt::TabFocus) tabStops.push_back(child(name));
  }
  EXPECT_EQ(tabStops.size(), std::size(order) - 1);
  for (std::size_t i = 1; i < tabStops.size(); ++i) {
    SCOPED_TRACE(tabStops[i]->objectName().toStdString());
    QWidget* next = tabStops[i - 1]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, tabStops[i]);
  }
}

TEST_F(MainWindowTest, DroppedCharacterEnablesTheButtonsShowsTheNameAndAnimates) {
  drop({kSample});
  ASSERT_TRUE(dragAccepted);
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  for (const char* name : {"reloadButton", "sheetReloadButton", "patternCheckButton",
                           "stateButton1", "stateButton2", "stateButton6"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(child<QPushButton>(name)->isEnabled());
  }
  QLabel* name = child<QLabel>("characterName");
  EXPECT_EQ(name->text(), QStringLiteral("ひよこ"));
  EXPECT_EQ(name->size(), name->sizeHint());
  EXPECT_EQ(child<QLineEdit>("intervalEdit")->text(), QStringLiteral("120"));

  // The view shows frame after frame: two pictures a few ticks apart differ.
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame == 1; }));
  const QImage first = viewImage();
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame == 2; }));
  const QImage second = viewImage();
  EXPECT_EQ(first.size(), QSize(121, 271));
  EXPECT_NE(first, second);
}

TEST_F(MainWindowTest, OnlyTheFirstDroppedLocalFileIsTaken) {
  TempDir dir;
  drop({kSample, dir.file("second.chp")});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  EXPECT_TRUE(errors.empty());

  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.invalid/a.chp"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(MainWindowTest, BadDroppedFileShowsTheReadersMessageAndKeepsReloadEnabled) {
  TempDir dir;
  const std::string bad = dir.file("bad.chp");
  writeFile(bad, "#CHARNAME x\r\n#ANIME fast\r\n");
  const std::string missing = dir.file("missing.chp");
  struct Case {
    const char* name;
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      // The second line says where the load stopped.
      {"bad number", bad, "'fast' は数値ではありません.\nbad.chp, 2 行目"},
      {"missing file", missing, "ファイル " + missing + " は開けません."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    drop({c.path});
    ASSERT_TRUE(runUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, std::vector<std::string>{c.message});
    EXPECT_TRUE(child<QPushButton>("reloadButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("sheetReloadButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("patternCheckButton")->isEnabled());
    EXPECT_FALSE(form->viewer().characterLoaded);
  }

  // Fixed, the same path loads with the reload button.
  writeFile(missing, "#CHARNAME fixed\r\n");
  errors.clear();
  QTest::mouseClick(child<QPushButton>("reloadButton"), Qt::LeftButton);
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(form->viewer().characterLoaded);
  EXPECT_EQ(child<QLabel>("characterName")->text(), QStringLiteral("fixed"));
}

TEST_F(MainWindowTest, SheetReloadsByButtonAndAutomaticallyAfterEachSave) {
  TempDir dir;
  const std::string sheet = dir.file("sheet.bmp");
  writeFile(sheet, bmp24(121, 271, 0xFF0000, 0x000010));
  writeFile(dir.file("c.chp"), testfiles::characterFile("c", "sheet.bmp", "30"));
  drop({dir.file("c.chp")});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  ASSERT_TRUE(runUntil([&] { return viewImage().pixelColor(60, 100) == QColor(255, 0, 0); }));
  EXPECT_EQ(sheetKey(), 0x000010u);

  writeFile(sheet, bmp24(121, 271, 0x00FF00, 0x000020));
  QTest::mouseClick(child<QPushButton>("sheetReloadButton"), Qt::LeftButton);
  EXPECT_EQ(sheetKey(), 0x000020u);
  EXPECT_TRUE(runUntil([&] { return viewImage().pixelColor(60, 100) == QColor(0, 255, 0); }));

  autoSheetReload()->trigger();
  EXPECT_TRUE(autoSheetReload()->isChecked());
  // Two saves 400 ms apart, within the same two seconds: each is seen.
  const auto base = std::filesystem::last_write_time(sheet);
  const std::pair<uint32_t, uint32_t> saves[] = {{0x0000FF, 0x000030}, {0xFFFF00, 0x000040}};
  int offset = 0;
  for (const auto& [fill, corner] : saves) {
    SCOPED_TRACE(corner);
    writeFile(sheet, bmp24(121, 271, fill, corner));
    std::filesystem::last_write_time(sheet, base + std::chrono::milliseconds(offset += 400));
    ASSERT_TRUE(runUntil([&] { return sheetKey() == corner; }));
    EXPECT_TRUE(runUntil(
        [&, fill = fill] { return viewImage().pixelColor(60, 100) == QColor::fromRgb(fill); }));
  }
  EXPECT_TRUE(errors.empty());

  autoSheetReload()->trigger();
  EXPECT_FALSE(autoSheetReload()->isChecked());
}

TEST_F(MainWindowTest, PatternCheckButtonPlaysTheTypedSequenceAndReturns) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  QLineEdit* patternEdit = child<QLineEdit>("patternEdit");
  patternEdit->setFocus();
  QTest::keyClicks(patternEdit, "0203040");
  // Typing moved the caret; let the ticks see it, then pick a base state to return to.
  QTest::qWait(300);
  QTest::mouseClick(child<QPushButton>("stateButton1"), Qt::LeftButton);
  EXPECT_EQ(child<QLabel>("stateCaption")->text(), QStringLiteral("通常１"));

  QTest::mouseClick(child<QPushButton>("patternCheckButton"), Qt::LeftButton);
  EXPECT_EQ(child<QLabel>("stateCaption")->text(), QStringLiteral("ﾁｪｯｸﾊﾟﾀｰﾝ"));
  const SequenceRow& row = form->viewer().character.pattern[kCheckState];
  EXPECT_EQ((std::vector<int32_t>(row.begin() + 1, row.begin() + 5)),
            (std::vector<int32_t>{2, 3, 4, -1}));

  std::vector<int32_t> shown;
  ASSERT_TRUE(runUntil([&] {
    const Viewer& s = form->viewer();
    if (s.player.state == kCheckState && (shown.empty() || shown.back() != s.player.frame)) {
      shown.push_back(s.player.frame);
    }
    return s.player.state == 1;
  }));
  EXPECT_EQ(child<QLabel>("stateCaption")->text(), QStringLiteral("通常１"));
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, CaretTrackingShowsTheEntryUnderTheCaretWithItsCounter) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  QLineEdit* patternEdit = child<QLineEdit>("patternEdit");
  QLineEdit* layerEdit = child<QLineEdit>("layerEdit");
  layerEdit->setText(QStringLiteral("202122"));
  patternEdit->setText(QStringLiteral("0A0B0C"));
  patternEdit->setCursorPosition(3);

  ASSERT_TRUE(
      runUntil([&] { return child<QLabel>("patternCounter")->text() == QStringLiteral("1/3"); }));
  const Viewer& s = form->viewer();
  EXPECT_EQ(s.player.state, kCheckState);
  EXPECT_EQ(s.character.pattern[kCheckState][100], 0x0B);
  EXPECT_EQ(s.character.layer[kCheckState][100], 0x21);
  EXPECT_EQ(s.character.layerOn[kCheckState], 1);

  // A still picture: every frame shows the same entry.
  ASSERT_TRUE(runUntil([&] { return s.player.frame >= 2; }));
  const QImage first = viewImage();
  const int32_t frame = s.player.frame;
  ASSERT_TRUE(runUntil([&] { return s.player.frame > frame; }));
  EXPECT_EQ(viewImage(), first);

  layerEdit->setSelection(4, 2);
  EXPECT_TRUE(
      runUntil([&] { return child<QLabel>("layerCounter")->text() == QStringLiteral("2/3"); }));
  EXPECT_TRUE(runUntil([&] { return s.character.pattern[kCheckState][7] == 0x0C; }));
  EXPECT_EQ(s.character.layer[kCheckState][7], 0x22);
}

TEST_F(MainWindowTest, ClipboardButtonCopiesThePatternText) {
  QLineEdit* patternEdit = child<QLineEdit>("patternEdit");
  patternEdit->setText(QStringLiteral("0102030A"));
  QApplication::clipboard()->clear();
  QTest::mouseClick(child<QPushButton>("copyPatternButton"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0102030A"));
  EXPECT_EQ(patternEdit->selectedText(), QStringLiteral("0102030A"));
}

// Caught: lines numbered with the check's state rather than the one it returns to, a #LAYER
// line missing, a layer entry not repeated to the pattern's length, another state not taken.
TEST_F(MainWindowTest, TheTypedSequencesAreCopiedAsTheLinesTheFileNeeds) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  QTest::mouseClick(child<QPushButton>("stateButton2"), Qt::LeftButton);
  child<QLineEdit>("patternEdit")->setText(QStringLiteral("010203"));
  child<QLineEdit>("layerEdit")->setText(QStringLiteral("04"));
  child<QLineEdit>("destinationEdit")->setText(QStringLiteral("05"));
  QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(child<QLineEdit>("layerEdit")->text(), QStringLiteral("040404"));
  EXPECT_EQ(child<QLineEdit>("destinationEdit")->text(), QStringLiteral("050505"));
  QTest::mouseClick(child<QPushButton>("patternCheckButton"), Qt::LeftButton);
  QApplication::clipboard()->clear();
  QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("#PATERN 02 010203\n#LAYER 02 040404 050505\n"));

  // Another state, given in the dialog.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->setIntValue(7);
    dialog->accept();
  });
  child<QAction>("copyLinesForStateItem")->trigger();
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("#PATERN 07 010203\n")))
      << QApplication::clipboard()->text().toStdString();
}

TEST_F(MainWindowTest, IntervalEditRefusesAFourthTypedCharacterButShowsALongerFileValue) {
  QLineEdit* interval = child<QLineEdit>("intervalEdit");
  interval->setFocus();
  interval->selectAll();
  QTest::keyClicks(interval, "1504");
  EXPECT_EQ(interval->text(), QStringLiteral("150"));
  EXPECT_EQ(form->viewer().character.frameIntervalMs, 150);

  interval->selectAll();
  QTest::keyClicks(interval, "abc");
  EXPECT_EQ(interval->text(), QStringLiteral("abc"));
  EXPECT_EQ(form->viewer().character.frameIntervalMs, 150);

  TempDir dir;
  writeFile(dir.file("slow.chp"), "#ANIME 1000\r\n");
  drop({dir.file("slow.chp")});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(interval->text(), QStringLiteral("1000"));
  EXPECT_EQ(form->viewer().character.frameIntervalMs, 1000);

  interval->setFocus();
  interval->end(false);
  QTest::keyClicks(interval, "5");
  EXPECT_EQ(interval->text(), QStringLiteral("1000"));
  QTest::keyClick(interval, Qt::Key_Backspace);
  EXPECT_EQ(interval->text(), QStringLiteral("100"));
  EXPECT_EQ(form->viewer().character.frameIntervalMs, 100);
  QTest::keyClicks(interval, "5");
  EXPECT_EQ(interval->text(), QStringLiteral("100"));
}

// The desktop entry and scripts/run open files by argument: such a file is reloadable.
TEST_F(MainWindowTest, StartupArgumentLoadsAtTheFirstTickAndCanBeReloaded) {
  form.reset();
  open({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  for (const char* name : {"patternCheckButton", "reloadButton", "sheetReloadButton"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(child<QPushButton>(name)->isEnabled());
  }
  EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("reloadItem"))->isEnabled());
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  EXPECT_FALSE(form->frameLoop().fileToOpenAtStart());
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, FailingStartupLoadIsReportedOnce) {
  TempDir dir;
  const std::string missing = dir.file("none.chp");
  form.reset();
  open({missing});
  ASSERT_TRUE(runUntil([&] { return !errors.empty(); }));
  QTest::qWait(200);
  EXPECT_EQ(errors, std::vector<std::string>{"ファイル " + missing + " は開けません."});
  EXPECT_TRUE(child<QPushButton>("patternCheckButton")->isEnabled());
  EXPECT_FALSE(form->viewer().characterLoaded);
}

TEST_F(MainWindowTest, ErrorBoxIsACriticalBoxWithTheTitleAndOneOkButton) {
  form->setErrorReporter(nullptr);
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->accept();
  });
  form->enter([] { throw std::runtime_error("テストの失敗"); });
  EXPECT_EQ(title, QStringLiteral("ぱたぱた！"));
  EXPECT_EQ(text, QStringLiteral("テストの失敗."));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(MainWindowTest, FinalisingTheViewFreesTheSheetSurface) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  ASSERT_NE(form->viewer().character.sheet.picture, nullptr);
  EXPECT_GT(form->viewer().character.sheet.picture->width(), 0);
  form->view().finalizeView();
  EXPECT_EQ(form->viewer().character.sheet.picture, nullptr);
  // The ticks go on without a view to draw in, and nothing is reported.
  QTest::qWait(100);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, ClosingWhileAnimatingFinalisesTheViewAndEndsCleanly) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame >= 2; }));
  // Closed from a handler that runs inside a tick's frame wait.
  QTimer::singleShot(30, form.get(), [this] { form->close(); });
  ASSERT_TRUE(runUntil([&] { return !form->isVisible(); }));
  QTest::qWait(50);
  form.reset();
  EXPECT_TRUE(errors.empty());
}

// --- Opening, remembering, watching ---------------------------------------------------------

TEST_F(MainWindowTest, FileMenuComesBeforeSettingsAndTheClientAreaKeepsItsPlace) {
  const QList<QAction*> menus = form->menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("ファイル"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("編集"));
  EXPECT_EQ(menus[2]->text(), QStringLiteral("表示"));
  EXPECT_EQ(menus[3]->text(), QStringLiteral("設定"));
  const std::pair<const char*, QKeySequence> items[] = {
      {"openItem", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {"reloadItem", QKeySequence(Qt::Key_F5)},
      {"quitItem", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
  for (const auto& [name, keys] : items) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QAction>(name)->shortcut(), keys);
  }
  EXPECT_FALSE(child<QAction>("reloadItem")->isEnabled());
  EXPECT_EQ(child<QMenu>("recentMenu")->title(), QStringLiteral("最近使ったファイル"));
  EXPECT_EQ(child<QAction>("autoCharacterReload")->text(), QStringLiteral("自動キャラ再読込み"));
  EXPECT_EQ(form->client().y(), form->menuBar()->height());
  EXPECT_FALSE(form->statusBar()->isVisible());
}

TEST_F(MainWindowTest, CtrlOOpensTheChosenFileAndTheRecentFilesRememberIt) {
  int asked = 0;
  form->setFileChooser([&]() -> std::optional<std::string> {
    ++asked;
    return kSample;
  });
  QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  EXPECT_TRUE(child<QPushButton>("reloadButton")->isEnabled());

  // Remembered across a restart.
  form.reset();
  open();
  const QList<QAction*> recent = child<QMenu>("recentMenu")->actions();
  ASSERT_EQ(recent.size(), 1);
  EXPECT_EQ(recent[0]->text(), QStringLiteral("hiyoko.chp"));
  recent[0]->trigger();
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(form->viewer().files.characterPath, kSample);

  // A cancelled dialog opens nothing.
  form->setFileChooser([]() -> std::optional<std::string> { return std::nullopt; });
  child<QAction>("openItem")->trigger();
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, AVanishedRecentFileIsReportedAndRemoved) {
  TempDir dir;
  const std::string gone = dir.file("gone.chp");
  writeFile(gone, "#CHARNAME gone\r\n");
  drop({gone});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().files.characterPath == kSample; }));
  std::filesystem::remove(gone);

  QList<QAction*> recent = child<QMenu>("recentMenu")->actions();
  ASSERT_EQ(recent.size(), 2);
  EXPECT_EQ(recent[0]->text(), QStringLiteral("hiyoko.chp"));  // newest first
  recent[1]->trigger();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(gone), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find("最近使ったファイルから外しました"), std::string::npos) << errors[0];
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  recent = child<QMenu>("recentMenu")->actions();
  ASSERT_EQ(recent.size(), 1);
  EXPECT_EQ(recent[0]->text(), QStringLiteral("hiyoko.chp"));
}

TEST_F(MainWindowTest, AFailedAutomaticReloadSaysSoOnTheStatusLineWithoutABox) {
  TempDir dir;
  const std::string chara = dir.file("c.chp");
  writeFile(dir.file("sheet.bmp"), bmp24(121, 271, 0xFF0000, 0x000010));
  writeFile(chara, testfiles::characterFile("c", "sheet.bmp", "30"));
  drop({chara});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  child<QAction>("autoCharacterReload")->trigger();
  ASSERT_TRUE(child<QAction>("autoCharacterReload")->isChecked());
  const int clientTop = form->client().y();

  writeFile(chara, "#CHARNAME broken\r\n\r\n#3 242 0 121\r\n");
  QLabel* status = child<QLabel>("statusLine");
  ASSERT_TRUE(runUntil([&] { return form->statusBar()->isVisible(); }));
  EXPECT_EQ(status->text(), QStringLiteral("c.chp, 3 行目: '' は数値ではありません."));
  EXPECT_EQ(form->client().y(), clientTop);
  EXPECT_EQ(child<QLabel>("characterName")->text(), QStringLiteral("c"));
  EXPECT_TRUE(errors.empty()) << errors.front();

  writeFile(chara, testfiles::characterFile("fixed", "sheet.bmp", "30"));
  ASSERT_TRUE(runUntil([&] { return !form->statusBar()->isVisible(); }));
  EXPECT_EQ(child<QLabel>("characterName")->text(), QStringLiteral("fixed"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, TheReloadSwitchesAndThePositionAreRememberedAcrossARestart) {
  child<QAction>("autoSheetReload")->trigger();
  child<QAction>("autoCharacterReload")->trigger();
  child<QAction>("autoCharacterReload")->trigger();
  form->move(form->pos() + QPoint(37, 23));
  const QPoint where = form->pos();
  QTest::qWait(0);
  form.reset();
  open();
  EXPECT_TRUE(child<QAction>("autoSheetReload")->isChecked());
  EXPECT_FALSE(child<QAction>("autoCharacterReload")->isChecked());
  EXPECT_EQ(form->pos(), where);
}

// --- Inspecting: zoom, pause and steps, the readout -------------------------------------------

const std::string kMulti = std::string(PATAPATA_TEST_DATA) + "/player/render/multi.chp";

QImage rgb32(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

TEST_F(MainWindowTest, AtThreeTimesEachPixelIsAThreeByThreeBlockAndTheLeftControlsStay) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame >= 1; }));
  child<QAction>("pauseItem")->trigger();
  const QRect button = child("stateButton1")->geometry();
  const QRect interval = child("intervalEdit")->geometry();
  const QRect edit = child("patternEdit")->geometry();

  child<QAction>("zoom3")->trigger();
  QTest::qWait(50);
  EXPECT_EQ(form->view().size(), QSize(363, 813));
  EXPECT_EQ(form->view().pos(), QPoint(104, 0));
  EXPECT_EQ(child("stateButton1")->geometry(), button);
  EXPECT_EQ(child("intervalEdit")->geometry(), interval);
  EXPECT_EQ(child("patternEdit")->geometry(), edit.translated(0, 542));  // under the view
  EXPECT_EQ(form->client().size(), QSize(467, 951));

  const QImage shown = rgb32(viewImage());
  Surface* primary = form->view().viewControl().primarySurface();
  ASSERT_NE(primary, nullptr);
  ASSERT_EQ(primary->width(), 121);  // the drawing keeps its own size
  for (int y = 0; y < shown.height(); y += 7) {
    for (int x = 0; x < shown.width(); x += 5) {
      ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFFu,
                primary->format().toRgb(primary->pixelValue(x / 3, y / 3)))
          << x << ", " << y;
    }
  }

  child<QAction>("zoom1")->trigger();
  EXPECT_EQ(child("patternEdit")->geometry(), edit);
  EXPECT_EQ(form->client().size(), QSize(226, 409));
}

TEST_F(MainWindowTest, ZoomIsRememberedAcrossARestart) {
  child<QAction>("zoom2")->trigger();
  form.reset();
  open();
  EXPECT_TRUE(child<QAction>("zoom2")->isChecked());
  EXPECT_EQ(form->view().size(), QSize(242, 542));
}

TEST_F(MainWindowTest, PauseHoldsTheFrameAcrossTicks) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame >= 2; }));
  child<QAction>("pauseItem")->trigger();
  const int32_t frame = form->viewer().player.frame;
  const QImage held = viewImage();
  QTest::qWait(500);  // four frame intervals of the sample
  EXPECT_EQ(form->viewer().player.frame, frame);
  EXPECT_EQ(viewImage(), held);
  child<QAction>("pauseItem")->trigger();
  EXPECT_TRUE(runUntil([&] { return form->viewer().player.frame != frame; }));
}

// Stepping shows what --render gives for the same ticks, through a one-shot's return and back.
TEST_F(MainWindowTest, StepsShowTheFramesARenderGivesAcrossAOneShotsReturn) {
  exporting::HeadlessSession session;
  session.load(kMulti);
  exporting::HeadlessPlayer player(session);
  player.tick();
  player.selectState(6);
  std::vector<exporting::TickRecord> ticks;
  std::vector<QImage> frames;
  for (int i = 0; i < 5; ++i) {
    ticks.push_back(player.tick());
    frames.push_back(rgb32(exporting::surfaceImage(player.backSurface())));
  }
  ASSERT_EQ(ticks[3].state, 1);  // state 6 has three frames, then returns

  drop({kMulti});
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame >= 1; }));
  child<QAction>("pauseItem")->trigger();
  QTest::mouseClick(child<QPushButton>("stateButton6"), Qt::LeftButton);
  const auto expectShown = [&](std::size_t k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(form->viewer().player.state, ticks[k].state);
    EXPECT_EQ(form->viewer().player.frame, ticks[k].frame);
    EXPECT_EQ(child<QLabel>("stateCaption")->text().toStdString(), ticks[k].caption);
    EXPECT_EQ(rgb32(viewImage()), frames[k]);
  };
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    QTest::keyClick(form.get(), Qt::Key_F8);
    expectShown(k);
  }
  for (std::size_t k = ticks.size() - 1; k-- > 0;) {
    QTest::keyClick(form.get(), Qt::Key_F7);
    expectShown(k);
  }
  EXPECT_TRUE(child<QAction>("pauseItem")->isChecked());
}

TEST_F(MainWindowTest, TheReadoutNamesTheStateFrameAndCelsAndTheTimingSeen) {
  drop({kMulti});
  ASSERT_TRUE(runUntil([&] { return form->viewer().player.frame >= 1; }));
  child<QAction>("readoutItem")->trigger();
  QLabel* status = child<QLabel>("statusLine");
  // Playing: the interval measured over the last frames against the file's 50 ms.
  ASSERT_TRUE(runUntil([&] { return status->text().contains(QStringLiteral("ms（指定 50）")); }));
  EXPECT_TRUE(form->statusBar()->isVisible());

  child<QAction>("pauseItem")->trigger();
  QTest::mouseClick(child<QPushButton>("stateButton6"), Qt::LeftButton);
  QTest::keyClick(form.get(), Qt::Key_F8);
  QTest::keyClick(form.get(), Qt::Key_F8);
  // The readout is the status line's last line (the file's one warning stands above it).
  EXPECT_EQ(status->text().split(QLatin1Char('\n')).last(),
            QStringLiteral("状態 6 喜び１  コマ 2/3  パターン 05  レイヤ 06→08  一時停止中"));
  child<QAction>("readoutItem")->trigger();
  EXPECT_FALSE(status->text().contains(QStringLiteral("コマ")));
}

// --- Languages ---------------------------------------------------------------------------------

TEST_F(MainWindowTest, EnglishAndBackAtOnceAndRemembered) {
  const auto expectCaptions = [&](const char* reload, const char* normal, const char* file,
                                  const char* state) {
    EXPECT_EQ(child<QPushButton>("reloadButton")->text(), QString::fromUtf8(reload));
    EXPECT_EQ(child<QPushButton>("stateButton1")->text(), QString::fromUtf8(normal));
    EXPECT_EQ(form->menuBar()->actions().front()->text(), QString::fromUtf8(file));
    EXPECT_EQ(child<QLabel>("stateCaption")->text(), QString::fromUtf8(state));
  };
  child<QAction>("language_en")->trigger();
  expectCaptions("Reload", "Norm 1", "File", "State");

  // A message of the system, with the place it stopped at, in English too.
  TempDir dir;
  writeFile(dir.file("bad.chp"), "#CHARNAME x\r\n#ANIME fast\r\n");
  drop({dir.file("bad.chp")});
  ASSERT_TRUE(runUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors, std::vector<std::string>{"'fast' is not a number.\nbad.chp, line 2"});

  form.reset();
  open();
  expectCaptions("Reload", "Norm 1", "File", "State");
  child<QAction>("language_ja")->trigger();
  expectCaptions("再読込み", "通常１", "ファイル", "状態");
}

// The check's warnings reach the author who never runs it: a count on the status line, the
// warnings where the pointer rests on it, in the window's language, with its plural.
TEST_F(MainWindowTest, ALoadWithWarningsSaysHowManyAndAClearOneSaysNothing) {
  TempDir dir;
  writeFile(dir.file("sheet.bmp"), bmp24(121, 271, 0xFF0000, 0x000010));
  struct Case {
    const char* language;
    QString count;
    QString tip;
  };
  const Case cases[] = {
      {"ja", QStringLiteral("警告 1 件（ここにポインタを置くと表示）"),
       QStringLiteral("8 行目: '#PATRN' はキーワードではないため")},
      {"en", QStringLiteral("1 warning (rest the pointer here to see it)"),
       QStringLiteral("line 8: '#PATRN' is no keyword")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    child<QAction>((std::string("language_") + c.language).c_str())->trigger();
    writeFile(dir.file("w.chp"), testfiles::characterFile("w", "sheet.bmp") + "#PATRN 02 0203\r\n");
    drop({dir.file("w.chp")});
    ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
    QLabel* status = child<QLabel>("statusLine");
    ASSERT_TRUE(runUntil([&] { return form->statusBar()->isVisible(); }));
    EXPECT_EQ(status->text(), c.count);
    EXPECT_TRUE(status->toolTip().startsWith(c.tip)) << status->toolTip().toStdString();

    writeFile(dir.file("w.chp"), testfiles::characterFile("w", "sheet.bmp"));
    QTest::keyClick(form.get(), Qt::Key_F5);
    EXPECT_FALSE(form->statusBar()->isVisible());
    EXPECT_TRUE(status->toolTip().isEmpty());
  }
}

// The file chooser showed its filter as "*.[cC][hH][pP]" and English labels in the Japanese
// window. It lists character files whatever the case of their extension, in the window's words.
TEST_F(MainWindowTest, TheFileChooserSpeaksTheWindowsLanguageAndIgnoresTheExtensionsCase) {
  TempDir dir;
  for (const char* name : {"a.CHP", "b.chp", "c.txt", "d.chp.bak"}) writeFile(dir.file(name), "");
  const struct {
    const char* language;
    const char* filter;
    const char* cancel;
  } cases[] = {{"ja", "キャラクターファイル (*.chp)", "キャンセル"},
               {"en", "Character files (*.chp)", "Cancel"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    child<QAction>((std::string("language_") + c.language).c_str())->trigger();
    QFileDialog dialog(form.get());
    makeCharacterFileDialog(dialog);
    dialog.setDirectory(QString::fromStdString(dir.file("")));
    dialog.show();
    EXPECT_EQ(dialog.nameFilters().front(), QString::fromUtf8(c.filter));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(
        buttons->button(QDialogButtonBox::Cancel)->text().contains(QString::fromUtf8(c.cancel)));
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(runUntil([&] { return list->model()->rowCount(list->rootIndex()) == 2; }))
        << list->model()->rowCount(list->rootIndex());
    QStringList names;
    for (int row = 0; row < 2; ++row) {
      names << list->model()->index(row, 0, list->rootIndex()).data().toString();
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("a.CHP"), QStringLiteral("b.chp")}));
  }
}

// --- Window chrome: the title, reopening, zoom and a status line that fit ------------------------

// Caught: a title naming only a file that loaded, or translated; namesakes alike in the menu.
TEST_F(MainWindowTest, TheTitleNamesTheFileOpenedWhetherOrNotItLoaded) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ぱたぱた！"));
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "v2");
  const std::string bad = dir.file("v2/hiyoko.chp");
  writeFile(bad, "#ANIME fast\r\n");
  for (const auto& [path, title] :
       {std::pair{bad, "hiyoko.chp"}, std::pair{dir.file("none.chp"), "none.chp"},
        std::pair{kSample, "hiyoko.chp"}}) {
    SCOPED_TRACE(path);
    errors.clear();
    drop({path});
    ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded || !errors.empty(); }));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(title) + QStringLiteral(" — ぱたぱた！"));
  }
  child<QAction>("language_en")->trigger();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("hiyoko.chp — ぱたぱた！"));
  // A picture dropped in place of its character file opens on the sheet view; one that cannot
  // be read says why, one of a kind no sheet can be says it is a picture, and neither changes
  // anything.
  const Character shown = form->viewer().character;
  for (const auto& [name, bytes, said] :
       {std::tuple{"blob.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
                   "The picture is not a valid image."},
        std::tuple{"blob.gif", std::string("GIF89a\x01\0\x01\0\0\0\0;", 14),
                   "blob.gif is a picture, not a character file. Open the character file (.chp) "
                   "that uses it."}}) {
    SCOPED_TRACE(name);
    writeFile(dir.file(name), bytes);
    errors.clear();
    drop({dir.file(name)});
    ASSERT_TRUE(runUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors.front(), said);
  }
  EXPECT_EQ(form->windowTitle(), QStringLiteral("hiyoko.chp — ぱたぱた！"));
  EXPECT_EQ(form->viewer().files.characterPath, kSample);
  EXPECT_EQ(form->viewer().character.pattern, shown.pattern);
  EXPECT_EQ(form->viewer().character.sheet.picture, shown.sheet.picture);
  const QList<QAction*> recent = child<QMenu>("recentMenu")->actions();
  ASSERT_EQ(recent.size(), 2);
  EXPECT_EQ(recent[0]->text(), QStringLiteral("hiyoko.chp — hiyoko"));
  EXPECT_EQ(recent[1]->text(), QStringLiteral("hiyoko.chp — v2"));
  EXPECT_EQ(recent[1]->toolTip().toStdString(), bad);
}

// Caught: the last file not reopened, or over the command line's, a vanished one reported, the
// menu's switch not remembered.
TEST_F(MainWindowTest, AStartWithoutAFileReopensTheLastOneUnlessToldOtherwise) {
  TempDir dir;
  const std::string last = dir.file("last.chp");
  const std::string given = dir.file("given.chp");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    bool lastGone;
    bool switchedOff;
    std::string opened;  ///< empty: nothing is opened
  };
  const Case cases[] = {{"the newest recent file", {}, false, false, last},
                        {"the command line wins", {given}, false, false, given},
                        {"a vanished file, silently", {}, true, false, ""},
                        {"switched off in the menu", {}, false, true, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& path : {given, last}) writeFile(path, "#CHARNAME x\r\n");
    drop({given});
    drop({last});
    ASSERT_TRUE(runUntil([&] { return form->viewer().files.characterPath == last; }));
    child<QAction>("reopenLastItem")->setChecked(!c.switchedOff);
    if (c.lastGone) std::filesystem::remove(last);
    form.reset();
    errors.clear();
    open(c.arguments);
    if (c.opened.empty()) {
      QTest::qWait(200);
    } else {
      ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
    }
    EXPECT_EQ(form->viewer().files.characterPath, c.opened);
    EXPECT_EQ(form->viewer().characterLoaded, !c.opened.empty());
    EXPECT_TRUE(errors.empty()) << errors.front();
  }
}

// Caught: a window larger than its screen in either direction or by its frame, a fallback that
// forgets the zoom chosen, a screen change not noticed, items left enabled that would not fit.
TEST_F(MainWindowTest, ZoomShowsNoMoreThanTheScreenHoldsAndComesBackOnALargerOne) {
  const auto expectZoomOn = [&](const char* name, int zoom) {
    SCOPED_TRACE(name);
    const QList<QScreen*> all = QGuiApplication::screens();
    const auto screen = std::find_if(all.begin(), all.end(),
                                     [&](QScreen* s) { return s->name() == QLatin1String(name); });
    ASSERT_NE(screen, all.end()) << "the offscreen platform was not given screens.json";
    if (form->screen() != *screen) form->move((*screen)->availableGeometry().topLeft());
    ASSERT_TRUE(runUntil([&] { return form->screen() == *screen && form->view().zoom() == zoom; }));
    for (int factor = 1; factor <= 4; ++factor) {
      QAction* item = form->findChild<QAction*>(QStringLiteral("zoom%1").arg(factor));
      EXPECT_EQ(item->isChecked(), factor == zoom) << factor;
      EXPECT_EQ(item->isEnabled(), factor <= zoom) << factor;
    }
    EXPECT_TRUE((*screen)->availableGeometry().size().boundedTo(form->frameGeometry().size()) ==
                form->frameGeometry().size());
  };
  child<QAction>("zoom4")->trigger();
  // The screens of screens.json: 471 pixels hold 3× with its frame, 470 do not.
  for (const auto& [name, zoom] :
       {std::pair{"desktop", 4}, std::pair{"narrow471", 3}, std::pair{"narrow470", 2},
        std::pair{"laptop", 2}, std::pair{"small", 1}}) {
    expectZoomOn(name, zoom);
  }
  // Started where it was left, it falls back at once; the choice comes back on a larger screen.
  form.reset();
  open();
  expectZoomOn("small", 1);
  expectZoomOn("desktop", 4);
}

// Caught: the window changing size as the status line comes and goes, a long line widening it
// or painted past the edge, or missing from the tooltip.
TEST_F(MainWindowTest, TheStatusLineKeepsItsPlaceAndElidesWhatDoesNotFit) {
  const QSize before = form->frameGeometry().size();
  TempDir dir;
  writeFile(dir.file("sheet.bmp"), bmp24(121, 271, 0xFF0000, 0x000010));
  writeFile(dir.file("w.chp"), testfiles::characterFile("w", "sheet.bmp") + "#PATRN 02 0203\r\n");
  drop({dir.file("w.chp")});
  child<QAction>("pauseItem")->trigger();
  child<QAction>("readoutItem")->trigger();
  auto* status = form->findChild<StatusLine*>(QStringLiteral("statusLine"));
  ASSERT_TRUE(runUntil([&] { return status->rows().size() == 2; }));
  EXPECT_TRUE(form->statusBar()->isVisible());
  EXPECT_EQ(form->frameGeometry().size(), before);
  // The readout is wider than the window at 1×: cut, and whole in the tooltip after the warning.
  const QString readout = status->text().split(QLatin1Char('\n')).last();
  EXPECT_NE(status->rows()[1], readout);
  EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("8 行目: ")));
  EXPECT_TRUE(status->toolTip().endsWith(QLatin1Char('\n') + readout));
  for (const QString& row : status->rows()) {
    EXPECT_LE(status->fontMetrics().horizontalAdvance(row), status->contentsRect().width());
  }
  // Without a message the readout stays on the second row, cut rather than wrapped over both.
  writeFile(dir.file("w.chp"), testfiles::characterFile("w", "sheet.bmp"));
  child<QPushButton>("reloadButton")->click();
  ASSERT_TRUE(runUntil([&] { return form->viewer().display.warnings.empty(); }));
  ASSERT_TRUE(runUntil([&] { return status->rows().size() == 2; }));
  EXPECT_EQ(status->rows()[0], QString());
  EXPECT_TRUE(status->rows()[1].endsWith(QStringLiteral("…"))) << status->rows()[1].toStdString();
}

}  // namespace
}  // namespace patapata
