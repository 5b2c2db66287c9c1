#include "window/main_window.h"

#include "common/errors.h"
#include "player/test_file_intake_files.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "window/idle_loop.h"
#include "window/view_widget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testfiles::bmp24;
using testfiles::TempDir;
using testfiles::writeFile;

const std::string kSample = std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.chp";

// The main window as the program creates and shows it, with the error box intercepted.
class MainWindowTest : public ::testing::Test {
 protected:
  void open(std::vector<std::string> arguments = {}) {
    application = std::make_unique<IdleLoop>();
    form = std::make_unique<MainWindow>(*application, std::make_shared<platform::SurfaceService>(),
                                        std::move(arguments));
    form->setErrorReporter([this](const QString& text) { errors.push_back(text.toStdString()); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void SetUp() override { open(); }

  void TearDown() override {
    form.reset();
    application.reset();
  }

  template <typename T = QWidget>
  T* child(const char* name) {
    T* found = form->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QAction* autocgload() { return form->findChild<QAction*>(QStringLiteral("autocgload")); }

  /// Drops `paths` on the window as a file manager does, and lets the window take it.
  void drop(const std::vector<std::string>& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& p : paths)
      urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    mime.setUrls(urls);
    const QPoint where(150, 150);
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    dragAccepted = enter.isAccepted();
    QDropEvent dropped(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &dropped);
    QTest::qWait(0);
  }

  /// Runs the event loop, and with it the idle ticks, until `done` holds.
  template <typename Pred>
  bool runUntil(Pred done, int timeoutMs = 5000) {
    return QTest::qWaitFor(done, timeoutMs);
  }

  QImage viewImage() { return form->view().grab().toImage(); }

  uint32_t sheetKey() { return form->viewer().sheet->sourceKey(); }

  std::unique_ptr<IdleLoop> application;
  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  bool dragAccepted = false;
};

TEST_F(MainWindowTest, StartsWithTheCaptionsCountersAndOnlyTheClipboardButtonEnabled) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ぱたぱた！"));
  const std::pair<const char*, const char*> labels[] = {
      {"Label1", "名前"},   {"Label2", "状態"}, {"Label3", "Anime"}, {"Label4", "レイヤ"},
      {"Label5", "転送先"}, {"Label6", "0/0"},  {"Label7", "0/0"},   {"Label8", "0/0"}};
  for (const auto& [name, caption] : labels) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QLabel>(name)->text(), QString::fromUtf8(caption));
  }
  const std::pair<const char*, const char*> edits[] = {
      {"Edit1", "100"}, {"Edit2", ""}, {"Edit3", ""}, {"Edit4", ""}};
  for (const auto& [name, text] : edits) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QLineEdit>(name)->text(), QString::fromUtf8(text));
    EXPECT_TRUE(child<QLineEdit>(name)->isEnabled());
  }
  const std::pair<const char*, const char*> buttons[] = {
      {"Button1", "通常１"},      {"Button2", "通常２"},      {"Button3", "勝ち"},
      {"Button4", "負け"},        {"Button5", "立ち"},        {"Button6", "喜び１"},
      {"Button7", "喜び２"},      {"Button8", "喜び３"},      {"Button9", "ﾀﾞﾒｰｼﾞ１"},
      {"Button10", "ﾀﾞﾒｰｼﾞ２"},   {"Button11", "ﾀﾞﾒｰｼﾞ３"},   {"Button12", "ミス"},
      {"Button14", "おじゃま"},   {"buttonck", "ﾊﾟﾀｰﾝﾁｪｯｸ"},  {"reload", "再読込み"},
      {"CGreload", "CG再読込み"}, {"clipper", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"}};
  for (const auto& [name, caption] : buttons) {
    SCOPED_TRACE(name);
    QPushButton* b = child<QPushButton>(name);
    EXPECT_EQ(b->text(), QString::fromUtf8(caption));
    EXPECT_EQ(b->isEnabled(), std::string(name) == "clipper");
  }
  EXPECT_EQ(form->findChildren<QPushButton*>().size(), 17);
  for (const auto& [name, caption] :
       {std::pair{"CheckBox1", "ループ"}, std::pair{"CheckBox2", "ﾙｰﾌﾟ"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child<QCheckBox>(name)->text(), QString::fromUtf8(caption));
    EXPECT_FALSE(child<QCheckBox>(name)->isChecked());
    EXPECT_TRUE(child<QCheckBox>(name)->isEnabled());
  }
  QMenu* settings = child<QMenu>("N1");
  EXPECT_EQ(settings->title(), QStringLiteral("設定"));
  ASSERT_NE(autocgload(), nullptr);
  EXPECT_EQ(autocgload()->text(), QStringLiteral("自動ＣＧ再読込み"));
  EXPECT_TRUE(autocgload()->isCheckable());
  EXPECT_FALSE(autocgload()->isChecked());
  EXPECT_FALSE(form->viewer().characterLoaded);
}

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInAFixedClientArea) {
  struct Place {
    const char* name;
    QRect geometry;
  };
  const Place places[] = {
      {"reload", {0, 0, 97, 17}},       {"CGreload", {0, 16, 97, 17}},
      {"Button1", {0, 48, 49, 25}},     {"Button2", {48, 48, 49, 25}},
      {"Button14", {48, 96, 49, 25}},   {"Button12", {0, 208, 49, 25}},
      {"CheckBox2", {50, 213, 49, 17}}, {"Edit1", {64, 272, 33, 20}},
      {"buttonck", {0, 296, 75, 17}},   {"CheckBox1", {80, 296, 57, 17}},
      {"clipper", {144, 296, 80, 17}},  {"Edit2", {0, 316, 177, 20}},
      {"Edit3", {0, 352, 177, 20}},     {"Edit4", {0, 388, 177, 20}},
      {"DXDraw1", {104, 0, 121, 271}},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(child(p.name)->geometry(), p.geometry);
  }
  const std::pair<const char*, QPoint> labels[] = {{"Label2", {104, 272}}, {"Label3", {0, 274}},
                                                   {"Label1", {0, 248}},   {"Label4", {0, 338}},
                                                   {"Label5", {0, 374}},   {"Label6", {182, 320}},
                                                   {"Label7", {182, 356}}, {"Label8", {182, 392}}};
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
  const std::pair<const char*, int> heights[] = {{"Label2", 21}, {"Label3", 16},  {"Label1", 16},
                                                 {"Label4", 12}, {"Button1", 12}, {"Edit2", 12}};
  for (const auto& [name, height] : heights) {
    SCOPED_TRACE(name);
    EXPECT_EQ(child(name)->font().pixelSize(), height);
    EXPECT_EQ(child(name)->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
  }
  const QIcon icon = form->windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));

  const char* order[] = {"Button1",  "Button2",   "Button3",  "Button4",   "Button5",  "Button6",
                         "Button7",  "Button8",   "Button9",  "Button10",  "Button11", "Button12",
                         "Edit1",    "Edit2",     "buttonck", "CheckBox1", "reload",   "clipper",
                         "CGreload", "CheckBox2", "DXDraw1",  "Button14",  "Edit3",    "Edit4"};
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
  EXPECT_EQ(form->viewer().characterPath, kSample);
  for (const char* name : {"reload", "CGreload", "buttonck", "Button1", "Button2", "Button6"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(child<QPushButton>(name)->isEnabled());
  }
  QLabel* name = child<QLabel>("Label1");
  EXPECT_EQ(name->text(), QStringLiteral("ひよこ"));
  EXPECT_EQ(name->size(), name->sizeHint());
  EXPECT_EQ(child<QLineEdit>("Edit1")->text(), QStringLiteral("120"));

  // The view shows frame after frame: two pictures a few ticks apart differ.
  ASSERT_TRUE(runUntil([&] { return form->viewer().frame == 1; }));
  const QImage first = viewImage();
  ASSERT_TRUE(runUntil([&] { return form->viewer().frame == 2; }));
  const QImage second = viewImage();
  EXPECT_EQ(first.size(), QSize(121, 271));
  EXPECT_NE(first, second);
}

TEST_F(MainWindowTest, OnlyTheFirstDroppedLocalFileIsTaken) {
  TempDir dir;
  drop({kSample, dir.file("second.chp")});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(form->viewer().characterPath, kSample);
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
      {"bad number", bad, "'fast' は数値ではありません."},
      {"missing file", missing, "ファイル " + missing + " は開けません."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    drop({c.path});
    ASSERT_TRUE(runUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, std::vector<std::string>{c.message});
    EXPECT_TRUE(child<QPushButton>("reload")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("CGreload")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("buttonck")->isEnabled());
    EXPECT_FALSE(form->viewer().characterLoaded);
  }

  // Fixed, the same path loads with the reload button.
  writeFile(missing, "#CHARNAME fixed\r\n");
  errors.clear();
  QTest::mouseClick(child<QPushButton>("reload"), Qt::LeftButton);
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(form->viewer().characterLoaded);
  EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("fixed"));
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
  QTest::mouseClick(child<QPushButton>("CGreload"), Qt::LeftButton);
  EXPECT_EQ(sheetKey(), 0x000020u);
  EXPECT_TRUE(runUntil([&] { return viewImage().pixelColor(60, 100) == QColor(0, 255, 0); }));

  autocgload()->trigger();
  EXPECT_TRUE(autocgload()->isChecked());
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

  autocgload()->trigger();
  EXPECT_FALSE(autocgload()->isChecked());
}

TEST_F(MainWindowTest, PatternCheckButtonPlaysTheTypedSequenceAndReturns) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  QLineEdit* edit2 = child<QLineEdit>("Edit2");
  edit2->setFocus();
  QTest::keyClicks(edit2, "0203040");
  // Typing moved the caret; let the ticks see it, then pick a base state to return to.
  QTest::qWait(300);
  QTest::mouseClick(child<QPushButton>("Button1"), Qt::LeftButton);
  EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("通常１"));

  QTest::mouseClick(child<QPushButton>("buttonck"), Qt::LeftButton);
  EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("ﾁｪｯｸﾊﾟﾀｰﾝ"));
  const SequenceRow& row = form->viewer().pattern[kCheckState];
  EXPECT_EQ((std::vector<int32_t>(row.begin() + 1, row.begin() + 5)),
            (std::vector<int32_t>{2, 3, 4, -1}));

  std::vector<int32_t> shown;
  ASSERT_TRUE(runUntil([&] {
    const ViewerState& s = form->viewer();
    if (s.state == kCheckState && (shown.empty() || shown.back() != s.frame)) {
      shown.push_back(s.frame);
    }
    return s.state == 1;
  }));
  EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("通常１"));
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, CaretTrackingShowsTheEntryUnderTheCaretWithItsCounter) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  QLineEdit* edit2 = child<QLineEdit>("Edit2");
  QLineEdit* edit3 = child<QLineEdit>("Edit3");
  edit3->setText(QStringLiteral("202122"));
  edit2->setText(QStringLiteral("0A0B0C"));
  edit2->setCursorPosition(3);

  ASSERT_TRUE(runUntil([&] { return child<QLabel>("Label6")->text() == QStringLiteral("1/3"); }));
  const ViewerState& s = form->viewer();
  EXPECT_EQ(s.state, kCheckState);
  EXPECT_EQ(s.pattern[kCheckState][100], 0x0B);
  EXPECT_EQ(s.layer[kCheckState][100], 0x21);
  EXPECT_EQ(s.layerOn[kCheckState], 1);

  // A still picture: every frame shows the same entry.
  ASSERT_TRUE(runUntil([&] { return s.frame >= 2; }));
  const QImage first = viewImage();
  const int32_t frame = s.frame;
  ASSERT_TRUE(runUntil([&] { return s.frame > frame; }));
  EXPECT_EQ(viewImage(), first);

  edit3->setSelection(4, 2);
  EXPECT_TRUE(runUntil([&] { return child<QLabel>("Label7")->text() == QStringLiteral("2/3"); }));
  EXPECT_TRUE(runUntil([&] { return s.pattern[kCheckState][7] == 0x0C; }));
  EXPECT_EQ(s.layer[kCheckState][7], 0x22);
}

TEST_F(MainWindowTest, ClipboardButtonCopiesThePatternText) {
  QLineEdit* edit2 = child<QLineEdit>("Edit2");
  edit2->setText(QStringLiteral("0102030A"));
  QApplication::clipboard()->clear();
  QTest::mouseClick(child<QPushButton>("clipper"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0102030A"));
  EXPECT_EQ(edit2->selectedText(), QStringLiteral("0102030A"));
}

TEST_F(MainWindowTest, IntervalEditRefusesAFourthTypedCharacterButShowsALongerFileValue) {
  QLineEdit* edit1 = child<QLineEdit>("Edit1");
  edit1->setFocus();
  edit1->selectAll();
  QTest::keyClicks(edit1, "1504");
  EXPECT_EQ(edit1->text(), QStringLiteral("150"));
  EXPECT_EQ(form->viewer().frameIntervalMs, 150);

  edit1->selectAll();
  QTest::keyClicks(edit1, "abc");
  EXPECT_EQ(edit1->text(), QStringLiteral("abc"));
  EXPECT_EQ(form->viewer().frameIntervalMs, 150);

  TempDir dir;
  writeFile(dir.file("slow.chp"), "#ANIME 1000\r\n");
  drop({dir.file("slow.chp")});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_EQ(edit1->text(), QStringLiteral("1000"));
  EXPECT_EQ(form->viewer().frameIntervalMs, 1000);

  edit1->setFocus();
  edit1->end(false);
  QTest::keyClicks(edit1, "5");
  EXPECT_EQ(edit1->text(), QStringLiteral("1000"));
  QTest::keyClick(edit1, Qt::Key_Backspace);
  EXPECT_EQ(edit1->text(), QStringLiteral("100"));
  EXPECT_EQ(form->viewer().frameIntervalMs, 100);
  QTest::keyClicks(edit1, "5");
  EXPECT_EQ(edit1->text(), QStringLiteral("100"));
}

TEST_F(MainWindowTest, StartupArgumentLoadsAtTheFirstTickAndEnablesOnlyThePatternCheck) {
  form.reset();
  open({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  EXPECT_TRUE(child<QPushButton>("buttonck")->isEnabled());
  EXPECT_FALSE(child<QPushButton>("reload")->isEnabled());
  EXPECT_FALSE(child<QPushButton>("CGreload")->isEnabled());
  EXPECT_TRUE(form->viewer().characterPath.empty());
  EXPECT_EQ(form->viewer().startupLoadPending, 0);
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
  EXPECT_TRUE(child<QPushButton>("buttonck")->isEnabled());
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
  form->enter([] { throw Exception("テストの失敗"); });
  EXPECT_EQ(title, QStringLiteral("ぱたぱた！"));
  EXPECT_EQ(text, QStringLiteral("テストの失敗."));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(MainWindowTest, FinalisingTheViewFreesTheSheetSurface) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().characterLoaded; }));
  ASSERT_NE(form->viewer().sheet, nullptr);
  EXPECT_GT(form->viewer().sheet->width(), 0);
  form->view().finalizeView();
  EXPECT_EQ(form->viewer().sheet, nullptr);
  // The ticks go on without a view to draw in, and nothing is reported.
  QTest::qWait(100);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, ClosingWhileAnimatingFinalisesTheViewAndEndsCleanly) {
  drop({kSample});
  ASSERT_TRUE(runUntil([&] { return form->viewer().frame >= 2; }));
  // Closed from a handler that runs inside a tick's frame wait.
  QTimer::singleShot(30, form.get(), [this] { form->close(); });
  ASSERT_TRUE(runUntil([&] { return !form->isVisible(); }));
  QTest::qWait(50);
  form.reset();
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace patapata
