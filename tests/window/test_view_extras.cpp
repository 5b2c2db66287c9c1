#include "window/view_extras.h"

#include "character/state_table.h"
#include "export/headless_player.h"
#include "export/headless_session.h"
#include "export/state_export.h"
#include "player/all_states_playback.h"
#include "player/frame_loop.h"
#include "support/bmp_writer.h"
#include "support/character_files.h"
#include "support/window_under_test.h"
#include "surfaces/software_surface.h"
#include "window/all_states_window.h"
#include "window/frame_strip_widget.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/state_cell.h"
#include "window/view_widget.h"
#include "window/window_export.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testfiles::TempDir;

const std::string kSample = std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.chp";

QImage rgb(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

// What --render draws for `frame` of `state` of the sample: the exact composed frame.
QImage renderedFrame(int32_t state, int32_t frame, const std::string& file = kSample) {
  exporting::HeadlessSession session;
  session.load(file);
  exporting::HeadlessPlayer player(session);
  player.selectState(state);
  for (int32_t i = 0; i < frame; ++i) player.tick();
  return rgb(exporting::surfaceImage(player.backSurface()));
}

// The main window on the sample, paused so that nothing moves unless the test moves it.
class ViewExtrasTest : public ::testing::Test, public testing::WindowUnderTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(open({kSample}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->viewer().player.frame >= 1; }));
    item("pauseItem")->trigger();
  }

  void TearDown() override { close(); }

  QAction* item(const char* name) {
    auto* found = form->findChild<QAction*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QImage viewImage() { return rgb(form->view().grab().toImage()); }
};

// Catches a missing or extra view, views in a wrong order, and a view that shows another
// state's frame or lags behind its play.
TEST_F(ViewExtrasTest, EveryStateWithEntriesHasAViewShowingItsFrameAtATick) {
  item("allStatesItem")->trigger();
  AllStatesWindow* all = form->extras().allStates();
  ASSERT_NE(all, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(all));
  const std::vector<int32_t> states{1, 2, 15, 16, 5, 3, 6, 7, 8, 10, 11, 12, 4};
  std::vector<int32_t> shown;
  for (const StatePlay& play : all->playback().plays()) shown.push_back(play.state);
  EXPECT_EQ(shown, states);
  // Two ticks: frame 3 where the sequence has three frames or more, else round again.
  for (int i = 0; i < 2; ++i) all->advance(form->viewer().character);
  form->extras().render();
  QCoreApplication::processEvents();
  for (const int32_t state : states) {
    SCOPED_TRACE(state);
    const int32_t length = form->viewer().character.sequenceLength(state);
    const int32_t frame = length >= 3 ? 3 : 1 + 2 % length;
    StateCell* cell = all->cell(state);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(rgb(cell->grab(cell->pictureRect()).toImage()), renderedFrame(state, frame));
  }
}

// Catches a repainted rectangle that misses a changed pixel (the view would keep a stale part
// of the last frame) or that repaints when nothing changed.
TEST(StateCellDifference, IsTheSmallestRectangleHoldingEveryChangedPixel) {
  struct Case {
    const char* name;
    std::vector<QPoint> changed;
    QRect expected;
  };
  const Case cases[] = {
      {"none", {}, QRect()},
      {"one pixel", {{7, 9}}, QRect(7, 9, 1, 1)},
      {"opposite corners", {{0, 270}, {120, 0}}, QRect(0, 0, 121, 271)},
      {"a column's ends", {{3, 5}, {3, 200}}, QRect(3, 5, 1, 196)},
      {"a row's ends", {{1, 40}, {119, 40}}, QRect(1, 40, 119, 1)},
      {"left on a later row", {{60, 10}, {2, 30}, {90, 20}}, QRect(2, 10, 89, 21)},
  };
  QImage from(kViewWidth, kViewHeight, QImage::Format_RGB32);
  from.fill(0x336699);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage to = from.copy();
    for (const QPoint& p : c.changed) to.setPixel(p, 0xFF00FF);
    EXPECT_EQ(StateCell::difference(from, to), c.expected);
  }
  EXPECT_EQ(StateCell::difference(from, from.scaled(60, 135)), QRect(0, 0, 60, 135));
}

// Catches a click that plays nothing, or plays a state whose button is missing or disabled.
TEST_F(ViewExtrasTest, AClickOnAViewPlaysItsStateAsItsButtonWould) {
  form->extras().showAllStates();
  AllStatesWindow* all = form->extras().allStates();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(all));
  QTest::mouseClick(all->cell(6), Qt::LeftButton);
  EXPECT_EQ(form->viewer().player.state, 6);
  EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("stateCaption"))->text(),
            QStringLiteral("喜び１"));
  QTest::mouseClick(all->cell(2), Qt::LeftButton);
  EXPECT_EQ(form->viewer().player.state, 2);
  EXPECT_EQ(form->viewer().player.frame, 0);
}

// Catches a strip that lists other frames than one pass, a click that keeps playing or lands
// on another frame, and a mark that does not follow the frame on screen.
TEST_F(ViewExtrasTest, AStripClickPausesOnThatFrame) {
  item("frameStripItem")->trigger();
  FrameStripWidget& strip = form->extras().strip();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  item("pauseItem")->trigger();  // playing again
  form->findChild<QWidget*>(QStringLiteral("stateButton15"))->setFocus();
  QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("stateButton15")), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->viewer().player.frame >= 1; }));
  EXPECT_EQ(strip.frames().size(), 5u);  // win: 1314151413
  EXPECT_EQ(strip.marked(), form->viewer().player.frame - 1);
  QTest::mouseClick(strip.viewport(), Qt::LeftButton, {}, strip.pictureRect(3).center());
  EXPECT_TRUE(form->frameLoop().isPaused());
  EXPECT_EQ(form->viewer().player.frame, 4);
  EXPECT_EQ(strip.marked(), 3);
  QTest::qWait(300);  // two frame intervals: still there
  EXPECT_EQ(form->viewer().player.frame, 4);
  EXPECT_EQ(viewImage(), renderedFrame(15, 4));
  EXPECT_EQ(strip.frames()[3].patternCel, 0x14);
}

// Catches an option that leaves the view as it was, one that reaches the exact frame the batch
// modes write, and an option that is not remembered. The sample's backgrounds are opaque, so
// the transparency is shown on a sheet whose right half is the key colour.
TEST_F(ViewExtrasTest, OnionSkinAndTransparencyChangeTheViewButNotTheRenderedFrame) {
  TempDir dir;
  const std::string halfKeyed = dir.file("half.chp");
  testfiles::writeFile(dir.file("half.bmp"), testing::bmp24Bytes(121, 271, [](int32_t x, int32_t) {
                         return x >= 60 ? 0xFF00FFu : 0x336699u;
                       }));
  testfiles::writeFile(halfKeyed, testfiles::characterFile("half", "half.bmp"));
  struct Case {
    const char* option;
    const char* undo;
    std::string file;
  };
  const Case cases[] = {{"onionSkinPrevious", "onionSkinOff", kSample},
                        {"onionSkinBoth", "onionSkinOff", kSample},
                        {"transparencyItem", "transparencyItem", halfKeyed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    form->setFileChooser([&]() -> std::optional<std::string> { return c.file; });
    item("openItem")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] {
      return form->viewer().files.characterPath == c.file && form->viewer().player.frame >= 1;
    }));
    // The view shows the new file's frame once the tick drew it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return viewImage() == renderedFrame(1, form->viewer().player.frame, c.file); }));
    if (!form->frameLoop().isPaused()) item("pauseItem")->trigger();
    const int32_t frame = form->viewer().player.frame;
    const QImage exact = renderedFrame(1, frame, c.file);
    EXPECT_EQ(viewImage(), exact);
    item(c.option)->trigger();
    EXPECT_NE(viewImage(), exact);
    EXPECT_EQ(renderedFrame(1, frame, c.file), exact);
    item(c.undo)->trigger();
    EXPECT_EQ(viewImage(), exact);
  }
  item("onionSkinPrevious")->trigger();
  Preferences remembered(QString::fromStdString(settings.file("settings.ini")));
  EXPECT_EQ(remembered.onionSkin(), 1);
  EXPECT_FALSE(remembered.isOn(Preferences::Choice::ShowTransparency));
}

TEST_F(ViewExtrasTest, TheReadoutShowsTheSpeedBesideTheMeasuredInterval) {
  form->controls().setText(Edit::Interval, "10");
  item("readoutItem")->trigger();
  item("speedHalf")->trigger();
  item("pauseItem")->trigger();
  EXPECT_EQ(form->frameLoop().speed(), PlaybackSpeed::Half);
  auto* status = form->findChild<QLabel*>(QStringLiteral("statusLine"));
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return status->text().contains(QStringLiteral("（指定 10）×½")); }));
  EXPECT_EQ(form->viewer().character.frameIntervalMs, 10);
}

// Catches an export that differs from --export's, replaces a file without asking or against
// the answer, writes over the sheet that is open, or reports in other words than the window's.
TEST_F(ViewExtrasTest, TheWindowsExportIsTheBatchExportAndAsksBeforeReplacing) {
  TempDir dir;
  const std::string out = dir.file("joy.png");
  exporting::HeadlessSession session;
  session.load(kSample);
  exporting::ExportJob job;
  job.output = exporting::Output::PngStrip;
  job.state = 6;
  job.out = dir.file("batch.png");
  exporting::runExport(session, job, Replace::Never, {}, {});
  job.out = out;

  WindowExport& exporter = form->extras().exporter();
  std::vector<std::string> asked;
  bool agree = false;
  exporter.setQuestion([&](const QString& text) {
    asked.push_back(text.toStdString());
    return agree;
  });
  std::vector<std::string> notices;
  exporter.setNotice([&](const QString& text) { notices.push_back(text.toStdString()); });
  const auto run = [&](exporting::ExportJob j) {
    exporter.run(std::move(j));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !exporter.isRunning(); }));
  };
  const auto bytes = [](const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };

  run(job);
  EXPECT_EQ(bytes(out), bytes(dir.file("batch.png")));
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(notices.size(), 1u);

  testfiles::writeFile(out, "older");
  run(job);  // declined
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(bytes(out), QByteArray("older"));
  agree = true;
  run(job);
  EXPECT_EQ(bytes(out), bytes(dir.file("batch.png")));

  struct Refused {
    std::string out;
    const char* words;
  };
  const Refused refused[] = {
      {std::string(PATAPATA_SAMPLES) + "/hiyoko/hiyoko.bmp",
       "開いているキャラクタファイルかシート"},
      {dir.file("missing/joy.png"), "に書き込めません"},
  };
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.out);
    errors.clear();
    exporting::ExportJob j = job;
    j.out = r.out;
    run(j);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors.front().find(r.words), std::string::npos) << errors.front();
  }
  EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
}  // namespace patapata
