#include "window/sheet_window.h"

#include "export/headless_player.h"
#include "export/headless_session.h"
#include "player/frame_cels.h"
#include "support/character_files.h"
#include "support/window_under_test.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/sheet_view.h"
#include "window/slicing_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testfiles::TempDir;
using testfiles::writeFile;

const std::string kSample = std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.chp";
const std::string kSampleSheet = std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.bmp";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The main window as the program shows it, and its sheet window.
class SheetWindowTest : public ::testing::Test, public testing::WindowUnderTest {
 protected:
  void SetUp() override { open(); }
  void TearDown() override { close(); }

  void load(const std::string& path) {
    drop({path});
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->viewer().characterLoaded; }));
  }

  template <typename T = QWidget>
  T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  /// The sheet window, shown as 表示 → シート shows it.
  SheetWindow* showSheet() {
    child<QAction>(form.get(), "sheetItem")->trigger();
    SheetWindow* sheet = form->findChild<SheetWindow*>();
    EXPECT_NE(sheet, nullptr);
    if (sheet != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet));
    }
    return sheet;
  }

  static QWidget* surface(SheetWindow* sheet) { return sheet->view().viewport(); }

  static void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
  }

  /// Drags with the left button from the sheet pixel `from` to `to`.
  static void drag(SheetWindow* sheet, QPoint from, QPoint to) {
    SheetView& view = sheet->view();
    const QPoint start = view.viewportPointOf(from.x(), from.y());
    const QPoint end = view.viewportPointOf(to.x(), to.y());
    mouse(surface(sheet), QEvent::MouseButtonPress, start, Qt::LeftButton);
    mouse(surface(sheet), QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
    mouse(surface(sheet), QEvent::MouseMove, end, Qt::LeftButton);
    mouse(surface(sheet), QEvent::MouseButtonRelease, end, Qt::NoButton);
  }
};

// A click means the smallest cel under the pointer, written as sequences write it (two
// hexadecimal digits), and goes in at the caret of whichever edit had the focus last; the
// counter beside that edit follows at once, as after typing.
TEST_F(SheetWindowTest, AClickPutsTheCelsEntryAtTheCaretOfTheEditFocusedLast) {
  load(kSample);
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  struct Case {
    const char* edit;
    const char* counter;
    const char* text;
    int caret;
    QPoint pixel;  // on the sheet
    const char* expected;
    const char* counted;
    SequenceTable Character::*row;  // where the check shows the cel clicked
    int32_t shown;
  };
  const Case cases[] = {
      {"patternEdit", "patternCounter", "", 0, {300, 100}, "03", "1/1", &Character::pattern, 3},
      {"layerEdit", "layerCounter", "0102", 2, {300, 100}, "010302", "2/3", &Character::layer, 3},
      // Cel 30, a destination's place, lies inside cel 1: the smaller one is meant.
      {"destinationEdit",
       "destinationCounter",
       "01",
       2,
       {110, 125},
       "0130",
       "2/2",
       &Character::layerDest,
       0x30},
      {"patternEdit",
       "patternCounter",
       "0102",
       4,
       {400, 400},
       "01020A",
       "3/3",
       &Character::pattern,
       0x0A},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    QLineEdit* edit = child<QLineEdit>(form.get(), c.edit);
    edit->setText(QString::fromUtf8(c.text));
    form->activateWindow();
    edit->setFocus();
    edit->setCursorPosition(c.caret);
    QApplication::processEvents();
    sheet->activateWindow();
    sheet->view().setFocus();
    QApplication::processEvents();
    QTest::mouseClick(surface(sheet), Qt::LeftButton, {},
                      sheet->view().viewportPointOf(c.pixel.x(), c.pixel.y()));
    EXPECT_EQ(edit->text().toStdString(), c.expected);
    EXPECT_EQ(child<QLabel>(form.get(), c.counter)->text().toStdString(), c.counted);
    EXPECT_EQ(form->viewer().player.state, kCheckState);
    EXPECT_EQ((form->viewer().character.*c.row)[kCheckState][1], c.shown);
  }
}

// The next free number is the file's lowest that no cel line takes, in the file's base; a
// rectangle snapped to content holds only the drawn pixels.
TEST_F(SheetWindowTest, ADragGivesItsCelLineOnTheClipboard) {
  TempDir dir;
  writeFile(dir.file("sheet.bmp"), testfiles::bmp24(121, 271, 0xFF0000, 0x000010));
  writeFile(dir.file("c.chp"), testfiles::characterFile("c", "sheet.bmp"));
  struct Case {
    std::string file;
    QPoint from, to;
    bool snap;
    const char* line;
  };
  const Case cases[] = {
      {dir.file("c.chp"), {10, 0}, {19, 9}, false, "#4 10 0 10 10"},
      {dir.file("c.chp"), {19, 9}, {10, 0}, false, "#4 10 0 10 10"},
      // Cels 01..17, 20..22 and 30..32 are taken; the sparkle of cel 20 is drawn at (5, 1089).
      {kSample, {0, 1084}, {23, 1107}, false, "#18 0 1084 24 24"},
      {kSample, {0, 1084}, {23, 1107}, true, "#18 1 1086 23 21"},
  };
  SheetWindow* sheet = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    load(c.file);
    if (sheet == nullptr) sheet = showSheet();
    ASSERT_NE(sheet, nullptr);
    // The rectangle in sight, as the author scrolls to it.
    sheet->view().verticalScrollBar()->setValue(c.from.y());
    drag(sheet, c.from, c.to);
    if (c.snap) child<QAction>(sheet, "snapItem")->trigger();
    child<QAction>(sheet, "copyCelLineItem")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.line);
  }
  // A smaller sheet loaded after: the rectangle it lacks is gone, its figures and copy too.
  load(dir.file("c.chp"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet->view().selection(); }));
  EXPECT_FALSE(child<QAction>(sheet, "copyCelLineItem")->isEnabled());
}

// Stepping moves the marks to the frame's cels, as a render of the same ticks names them, and
// paints them there: the pattern cel's edge takes its colour, and the cel it left loses it.
TEST_F(SheetWindowTest, TheMarksFollowStepping) {
  exporting::HeadlessSession session;
  session.load(kSample);
  exporting::HeadlessPlayer player(session);
  player.tick();
  player.selectState(6);
  std::vector<exporting::TickRecord> ticks;
  for (int i = 0; i < 6; ++i) ticks.push_back(player.tick());

  load(kSample);
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  // The whole sheet in sight at its own size, where every pixel is one on screen.
  sheet->resize(900, 1300);
  QApplication::processEvents();
  child<QAction>(form.get(), "pauseItem")->trigger();
  QTest::mouseClick(child<QPushButton>(form.get(), "stateButton6"), Qt::LeftButton);
  const Character& character = form->viewer().character;
  const auto edgeColour = [&](int32_t cel) {
    const CelRect& r = character.cels[cel];
    const QPoint at = sheet->view().viewportPointOf(r.x + r.width / 2, r.y);
    return surface(sheet)->grab().toImage().pixelColor(at);
  };
  int32_t before = kEmptyCel;
  for (const exporting::TickRecord& tick : ticks) {
    SCOPED_TRACE(tick.tick);
    child<QAction>(form.get(), "stepForwardItem")->trigger();
    const FrameCels& shown = sheet->view().frameCels();
    EXPECT_EQ(shown.pattern, tick.pattern);
    EXPECT_EQ(shown.layer, tick.layer);
    EXPECT_EQ(shown.destination, tick.dest);
    EXPECT_EQ(shown.landing.has_value(), tick.layer != kEmptyCel);
    EXPECT_EQ(edgeColour(shown.pattern), SheetView::markColour(Sequence::Pattern));
    if (before != kEmptyCel && before != shown.pattern) {
      EXPECT_NE(edgeColour(before), SheetView::markColour(Sequence::Pattern));
    }
    before = shown.pattern;
  }
}

// A picture is where a character starts: it opens on the sheet view with the slicing dialog,
// not with an error box, and the viewer keeps what it had.
TEST_F(SheetWindowTest, OpeningAPictureOpensTheSheetViewAndTheSlicingDialog) {
  drop({kSampleSheet});
  SheetWindow* sheet = form->findChild<SheetWindow*>();
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_TRUE(sheet->isVisible());
  ASSERT_NE(sheet->slicingDialog(), nullptr);
  EXPECT_TRUE(sheet->slicingDialog()->isVisible());
  ASSERT_NE(sheet->view().picture(), nullptr);
  EXPECT_EQ(sheet->view().picture()->width(), 726);
  EXPECT_FALSE(sheet->view().hasCels());
  EXPECT_FALSE(form->viewer().characterLoaded);
  EXPECT_TRUE(form->viewer().files.characterPath.empty());
  // The view's cells of 121 × 271 are the dialog's first guess: 6 × 4 of them fit.
  EXPECT_EQ(sheet->slicingDialog()->slices().rects.size(), 24u);
}

// The new file holds the cels and a state 1 playing them, opens at once and plays; it never
// takes the place of a file the viewer has open, nor of another without the author's yes.
TEST_F(SheetWindowTest, NewCharacterFileOfTheSlicingDialogOpensACharacterThatPlays) {
  TempDir dir;
  std::filesystem::copy_file(kSampleSheet, dir.file("chick.bmp"));
  drop({dir.file("chick.bmp")});
  SheetWindow* sheet = form->findChild<SheetWindow*>();
  ASSERT_NE(sheet, nullptr);
  SlicingDialog* dialog = sheet->slicingDialog();
  ASSERT_NE(dialog, nullptr);
  std::string chosen = dir.file("chick.chp");
  std::string suggested;
  dialog->setPathChooser([&](const std::string& path) {
    suggested = path;
    return chosen;
  });
  std::vector<std::string> reports;
  dialog->setReporter([&](const QString& text) { reports.push_back(text.toStdString()); });
  bool replace = false;
  dialog->setReplaceQuestion([&](const std::string&) { return replace; });
  child<QPushButton>(dialog, "newCharacterButton")->click();

  EXPECT_EQ(suggested, dir.file("chick.chp"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->viewer().player.frame >= 2; }));
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(form->viewer().files.characterPath, chosen);
  EXPECT_EQ(form->viewer().player.state, 1);
  EXPECT_EQ(form->viewer().character.sequenceLength(1), 24);
  EXPECT_EQ(form->viewer().character.cels[24], (CelRect{605, 813, 121, 271}));
  EXPECT_TRUE(sheet->view().hasCels());
  const std::string written = readFile(chosen);
  EXPECT_TRUE(written.starts_with(
      "#CHARNAME chick\r\n#ANIME 100\r\n#CHARBMP chick.bmp\r\n#1 0 0 121 271\r\n"))
      << written;

  // Now open, the file is refused; another file is replaced only after a yes.
  sheet->showSlicing();
  child<QPushButton>(dialog, "newCharacterButton")->click();
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_EQ(suggested, dir.file("chick-2.chp"));  // the name of no file yet is offered
  chosen = dir.file("other.chp");
  writeFile(chosen, "#CHARNAME other\r\n");
  child<QPushButton>(dialog, "newCharacterButton")->click();
  EXPECT_EQ(readFile(chosen), "#CHARNAME other\r\n");
  replace = true;
  sheet->showSlicing();
  child<QPushButton>(dialog, "newCharacterButton")->click();
  EXPECT_TRUE(readFile(chosen).starts_with("#CHARNAME other\r\n#ANIME 100\r\n"));
  EXPECT_EQ(reports.size(), 1u);
}

// Faults: the colour read from a neighbouring pixel or in the wrong number of digits, the
// transparent colour not named, a cel under the point missed or named in decimal in a
// hexadecimal file, a point off the sheet still read.
TEST_F(SheetWindowTest, ThePointerReadoutNamesThePixelItsColourAndItsCels) {
  load(kSample);
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  // The whole sheet in sight at its own size, standing in the middle of a wider view.
  sheet->resize(1000, 1300);
  QApplication::processEvents();
  struct Case {
    QPoint at;  // in the view
    const char* expected;
  };
  const SheetView& view = sheet->view();
  const Case cases[] = {
      {view.viewportPointOf(725, 1115), "x 725, y 1115  色 FF00FF（透明色）"},
      {view.viewportPointOf(130, 5), "x 130, y 5  色 FF00FF（透明色）  セル 02"},
      {view.viewportPointOf(175, 201), "x 175, y 201  色 FFE040  セル 02"},
      // Cel 30, a destination's place, lies inside cel 1.
      {view.viewportPointOf(110, 125), "x 110, y 125  色 C3E3FF  セル 01, 30"},
      {QPoint(1, 1), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    mouse(surface(sheet), QEvent::MouseMove, c.at, Qt::NoButton);
    EXPECT_EQ(child<QLabel>(sheet, "pointerReadout")->text().toStdString(), c.expected);
  }
}

// Faults: the lines numbered from 1 over the file's own cels instead of from its lowest free
// number, in decimal in a hexadecimal file, or the first number shown in another base than the
// lines use.
TEST_F(SheetWindowTest, TheSlicingDialogCopiesItsCelLinesFromTheFilesFirstFreeNumber) {
  load(kSample);
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  child<QAction>(sheet, "sliceItem")->trigger();
  SlicingDialog* dialog = sheet->slicingDialog();
  ASSERT_NE(dialog, nullptr);
  child<QPushButton>(dialog, "copyCelLinesButton")->click();
  const QStringList lines =
      QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 24);
  EXPECT_EQ(lines.front().toStdString(), "#18 0 0 121 271");
  EXPECT_EQ(lines.back().toStdString(), "#2F 605 813 121 271");
  EXPECT_EQ(child<QSpinBox>(dialog, "firstCel")->text().toStdString(), "18");
}

// Each caption of the sheet window and its dialog is set again, from its own translation
// context, when the language changes, and back.
TEST_F(SheetWindowTest, TheSheetWindowAndItsDialogChangeLanguageWithTheMainWindow) {
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  child<QAction>(sheet, "sliceItem")->trigger();
  SlicingDialog* dialog = sheet->slicingDialog();
  ASSERT_NE(dialog, nullptr);
  const auto captions = [&] {
    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
    return QStringList{sheet->menuBar()->actions().front()->text(),
                       child<QAction>(sheet, "sliceItem")->text(),
                       child<QPushButton>(dialog, "copyCelLinesButton")->text(),
                       labels.contains(QStringLiteral("First number")) ? "First number" : "-"};
  };
  // The other windows hear of the change from events the application posts.
  const std::pair<const char*, QStringList> languages[] = {
      {"language_en", {"Sheet", "Slice…", "Copy cel lines", "First number"}},
      {"language_ja", {"シート", "分割…", "セル行をコピー", "-"}}};
  for (const auto& [item, expected] : languages) {
    child<QAction>(form.get(), item)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return captions() == expected; }))
        << item << ": " << captions().join(QLatin1Char('|')).toStdString();
  }
}

TEST_F(SheetWindowTest, TheWindowKeepsItsPlaceAndSizeAcrossARestart) {
  SheetWindow* sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  sheet->setGeometry(QRect(300, 200, 640, 480));
  const QRect geometry = sheet->geometry();
  form.reset();
  open();
  sheet = showSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->geometry(), geometry);
}

}  // namespace
}  // namespace patapata
