#include "export/headless_session.h"
#include "player/animation.h"
#include "player/frame_composer.h"
#include "player/viewer.h"
#include "run_patapata.h"
#include "surfaces/draw_context.h"
#include "surfaces/surface.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace patapata::app {
using exporting::HeadlessSession;

namespace {

using testing::ProcessResult;
using testing::runPatapata;

const std::string kData = std::string(PATAPATA_TEST_DATA) + "/player/render/";

ProcessResult runRender(std::vector<std::string> args) {
  args.insert(args.begin(), "--render");
  return runPatapata(args);
}

class TempDir {
 public:
  std::string prefix() const { return (dir_.path() + QStringLiteral("/frame")).toStdString(); }

 private:
  QTemporaryDir dir_;
};

struct Tick {
  int state, frame;
  std::string caption;
  int pattern, layer, dest;
};

void expectReport(const std::string& out, const std::vector<Tick>& expected) {
  const auto report = nlohmann::json::parse(out);
  ASSERT_TRUE(report.is_array());
  ASSERT_EQ(report.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i + 1);
    const auto& o = report[i];
    EXPECT_EQ(o.at("tick"), i + 1);
    EXPECT_EQ(o.at("state"), expected[i].state);
    EXPECT_EQ(o.at("frame"), expected[i].frame);
    EXPECT_EQ(o.at("caption"), expected[i].caption);
    EXPECT_EQ(o.at("pattern"), expected[i].pattern);
    EXPECT_EQ(o.at("layer"), expected[i].layer);
    EXPECT_EQ(o.at("dest"), expected[i].dest);
  }
}

TEST(RenderMode, AMultiStateFileTickByTick) {
  const ProcessResult run = runRender({kData + "multi.chp", "--state", "6", "--ticks", "6"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The one-shot plays its three frames and returns to state 1 under the caption a load
  // leaves on the label.
  expectReport(run.out, {{6, 1, "喜び１", 4, 6, 7},
                         {6, 2, "喜び１", 5, 6, 8},
                         {6, 3, "喜び１", 4, -1, -1},
                         {1, 1, "状態", 2, -1, -1},
                         {1, 2, "状態", 3, -1, -1},
                         {1, 1, "状態", 2, -1, -1}});
}

TEST(RenderMode, TicksDefaultToTheFramesUntilTheSequenceEnds) {
  struct Case {
    std::vector<std::string> args;
    std::vector<Tick> ticks;
  };
  const Case cases[] = {
      {{kData + "multi.chp"}, {{1, 1, "状態", 2, -1, -1}, {1, 2, "状態", 3, -1, -1}}},
      {{"--state", "10", kData + "multi.chp"},
       {{10, 1, "ダメージ１", 5, 6, 8}, {10, 2, "ダメージ１", -1, 255, -1}}},
      {{kData + "multi.chp", "--state", "30"},
       {{30, 1, "ﾁｪｯｸﾊﾟﾀｰﾝ", 2, -1, -1}, {30, 2, "ﾁｪｯｸﾊﾟﾀｰﾝ", 3, -1, -1}}},
      {{kData + "multi.chp", "--state", "2"}, {{2, 1, "通常2", -1, -1, -1}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.args.back());
    const ProcessResult run = runRender(k.args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    expectReport(run.out, k.ticks);
  }
}

// The frames the executable writes are the composition of the same ticks in this process.
TEST(RenderMode, FramesEqualTheComposition) {
  for (const char* depth : {"32", "16"}) {
    SCOPED_TRACE(depth);
    TempDir dir;
    const ProcessResult run = runRender({kData + "multi.chp", "--state", "6", "--ticks", "5",
                                         "--out", dir.prefix(), "--depth", depth});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    HeadlessSession session(std::string(depth) == "16" ? PixelFormat::rgb565()
                                                       : PixelFormat::xrgb8888());
    session.load(kData + "multi.chp");
    Viewer& v = session.viewer();
    selectState(v.player, 6);
    DrawContext context(session.service());
    Surface back(&context);
    back.resize(kViewWidth, kViewHeight);
    const PixelFormat format = back.format();
    for (int tick = 1; tick <= 5; ++tick) {
      SCOPED_TRACE(tick);
      advanceAndEnd(v.player, v.character, loopSwitchesOf(session.controls()));
      back.fill(0);
      composeFrame(v.character, v.player, back);
      char name[32];
      std::snprintf(name, sizeof name, "-%04d.png", tick);
      const QImage image(QString::fromStdString(dir.prefix() + name));
      ASSERT_FALSE(image.isNull());
      ASSERT_EQ(image.width(), kViewWidth);
      ASSERT_EQ(image.height(), kViewHeight);
      EXPECT_FALSE(image.hasAlphaChannel());
      int mismatches = 0;
      for (int32_t y = 0; y < kViewHeight; ++y) {
        for (int32_t x = 0; x < kViewWidth; ++x) {
          const uint32_t expected = format.toRgb(back.pixelValue(x, y));
          const uint32_t actual = image.pixel(x, y) & 0xFFFFFFu;
          if (expected != actual && ++mismatches <= 3) {
            ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << actual
                          << " != " << expected;
          }
        }
      }
      EXPECT_EQ(mismatches, 0);
    }
    // The layer of frame 1 was clipped at the left edge: 15 columns of cel 6 at (0, 100).
    back.fill(0);
    v.player.state = 6;
    v.player.frame = 1;
    composeFrame(v.character, v.player, back);
    const QImage first(QString::fromStdString(dir.prefix() + "-0001.png"));
    EXPECT_EQ(first.pixel(0, 100) & 0xFFFFFFu, format.toRgb(back.pixelValue(0, 100)));
    EXPECT_NE(format.toRgb(back.pixelValue(0, 100)), format.toRgb(back.pixelValue(0, 99)));
  }
}

TEST(RenderMode, AStoppedLoadExitsOneWithItsMessage) {
  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {kData + "missing.chp", "ファイル " + kData + "missing.chp は開けません."},
      {kData + "bad_pattern.chp", "'$0G' は数値ではありません."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    const ProcessResult run = runRender({k.file});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(k.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST(RenderMode, BadArgumentsAreUsageErrors) {
  const std::string file = kData + "multi.chp";
  const std::vector<std::vector<std::string>> cases = {
      {},
      {file, "--state", "9"},  // no button selects it
      {file, "--state", "31"},
      {file, "--state", "x"},
      {file, "--state"},
      {file, "--ticks", "0"},
      {file, "--ticks", "-3"},
      {file, "--ticks", "1e3"},
      {file, "--ticks", "100001"},
      {file, "--depth", "24"},
      {file, "--out", ""},
      {file, "--state", "1", "--state", "2"},
      {file, "--speed", "2"},
      {file, file},
  };
  for (const auto& args : cases) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    const ProcessResult run = runRender(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage: patapata --render"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST(RenderMode, AnUnwritableOutputIsReported) {
  const ProcessResult run = runRender({kData + "multi.chp", "--out", "/nonexistent-dir/frame"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("/nonexistent-dir/frame-0001.png"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace patapata::app
