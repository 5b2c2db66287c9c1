#include "player/frame_loop.h"

#include "common/errors.h"
#include "common/memory_controls.h"
#include "player/animation.h"
#include "player/frame_composer.h"
#include "player/viewer.h"
#include "support/sheet_pictures.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "surfaces/view_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace patapata {
namespace {

constexpr int32_t W = 121;
constexpr int32_t H = 271;

class Host : public ViewHost {
 public:
  bool hasParentWindow() const override { return true; }
  void presented() override { ++presents; }
  int presents = 0;
};

// The view of the main window, a 200 × 300 sheet whose pixel (x, y) holds 1 + x + 1000 y,
// and a clock that only moves when the test moves it.
class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.setHost(&host);
    view.initialize();
    ASSERT_TRUE(view.readyToDraw());
    host.presents = 0;

    v.character.sheet.picture = testing::sheetOf(*service, 200, 300, sheet, 0x00FFFFFF);
    v.character.cels[1] = {0, 0, 10, 10};
    v.character.cels[2] = {100, 0, 10, 10};
    v.character.cels[3] = {150, 0, 10, 10};
    v.character.pattern[1][1] = 2;
    v.character.pattern[1][2] = 3;
    v.character.pattern[6][1] = 3;
    v.player.state = 1;
    v.character.frameIntervalMs = 100;
    lastFrame = now;
    v.characterLoaded = true;
  }

  static uint32_t sheet(int32_t x, int32_t y) { return 1 + x + 1000 * y; }

  FrameLoopHooks hooks() {
    FrameLoopHooks h;
    h.clock = [this] {
      const uint32_t reading = now;
      now += readCost;
      readings.push_back(reading);
      log.push_back("clock");
      return reading;
    };
    h.wakeAfter = [this](uint32_t ms) {
      waits.push_back(ms);
      log.push_back("wait");
      wake = ms;
    };
    h.pollFiles = [this](uint32_t) {
      log.push_back("poll");
      if (pollThrows) throw Error(MessageId::InvalidBitmap);
    };
    h.trackCarets = [this] {
      log.push_back("track");
      now += drawCost;
    };
    h.load = [this](const std::string& name) {
      log.push_back("load " + name);
      if (loadThrows) throw Error(MessageId::CannotOpenFile, "x");
      v.characterLoaded = true;
    };
    return h;
  }

  /// A frame loop whose last frame was at `lastFrame`.
  FrameLoop loopOn(ViewControl& on, FrameLoopHooks h) {
    FrameLoop loop(v, c, on, std::move(h));
    loop.startClockAt(lastFrame);
    return loop;
  }
  FrameLoop loopOf(FrameLoopHooks h) { return loopOn(view, std::move(h)); }

  uint32_t backPixel(int32_t x, int32_t y) { return view.backSurface()->pixelValue(x, y); }
  uint32_t primaryPixel(int32_t x, int32_t y) { return view.primarySurface()->pixelValue(x, y); }

  // Runs ticks as the event loop does until one draws a frame or none asks to be woken: what
  // the test does "during the wait" runs before the clock moves on to the wake-up, or to an
  // event that comes first. Says whether the last tick asked to be called again at once.
  bool tick(FrameLoop& loop) {
    bool done = true;
    for (int i = 0; i < 1000; ++i) {
      wake.reset();
      loop.tick(done);
      if (!done || !wake) break;
      if (duringWait) duringWait();
      now += eventAfter != 0 && eventAfter < *wake ? eventAfter : *wake;
    }
    return !done;
  }

  Host host;
  std::shared_ptr<platform::SurfaceService> service = std::make_shared<platform::SurfaceService>();
  ViewControl view{service, W, H};
  Viewer v;
  MemoryControls c;
  uint32_t lastFrame = 0;

  uint32_t now = 5000;
  uint32_t readCost = 0;    // ms that pass with every clock reading
  uint32_t drawCost = 0;    // ms that pass in the part of the tick after the wait
  uint32_t eventAfter = 0;  // an event wakes the wait after this many ms (0: none)
  std::function<void()> duringWait;
  std::optional<uint32_t> wake;  // the wake-up the last tick asked for
  bool pollThrows = false;
  bool loadThrows = false;
  std::vector<uint32_t> readings;
  std::vector<uint32_t> waits;
  std::vector<std::string> log;
};

TEST_F(FrameLoopTest, ATickWaitsAdvancesComposesAndPresents) {
  view.backSurface()->fill(0x55);
  FrameLoop loop = loopOf(hooks());
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 1);
  EXPECT_EQ(now, 5100u);
  EXPECT_EQ(backPixel(0, 0), sheet(100, 0));     // pattern cel 2 over cel 1
  EXPECT_EQ(backPixel(10, 0), 0u);               // cleared
  EXPECT_EQ(primaryPixel(9, 9), sheet(109, 9));  // presented
  EXPECT_EQ(host.presents, 1);
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 2);
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));
  // The poll is given the clock's reading, for the watched files' settle time.
  const std::vector<std::string> order{"clock", "poll",  "clock", "wait", "clock",
                                       "poll",  "clock", "clock", "track"};
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 9), order);
}

TEST_F(FrameLoopTest, NotReadyToDrawStopsTheTickBeforeEverything) {
  ViewControl uninitialised{service, W, H};
  FrameLoop loop = loopOn(uninitialised, hooks());
  loop.openAtStart("a.chp");
  EXPECT_FALSE(tick(loop));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(loop.fileToOpenAtStart(), "a.chp");
  EXPECT_FALSE(v.display.patternCheckEnabled);
  EXPECT_EQ(v.player.frame, 0);

  // Finalised, as when the window is destroyed.
  FrameLoop viewLoop = loopOf(hooks());
  viewLoop.openAtStart("a.chp");
  view.finalize();
  EXPECT_FALSE(tick(viewLoop));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(viewLoop.fileToOpenAtStart(), "a.chp");
}

TEST_F(FrameLoopTest, NothingIsDrawnOrPresentedWhileNoCharacterIsLoaded) {
  v.characterLoaded = false;
  view.backSurface()->fill(0x55);
  FrameLoop loop = loopOf(hooks());
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(tick(loop));
  EXPECT_EQ(backPixel(0, 0), 0x55u);
  EXPECT_EQ(primaryPixel(0, 0), 0u);
  EXPECT_EQ(host.presents, 0);
  EXPECT_EQ(v.player.frame, 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "track"), 0);
}

TEST_F(FrameLoopTest, TheStartupLoadRunsOnceAndDrawsInTheSameTick) {
  v.characterLoaded = false;
  FrameLoop loop = loopOf(hooks());
  loop.openAtStart("start.chp");
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(log.front(), "load start.chp");
  EXPECT_FALSE(loop.fileToOpenAtStart());
  EXPECT_EQ(host.presents, 1);
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(std::count(log.begin(), log.end(), "load start.chp"), 1);
}

TEST_F(FrameLoopTest, AFailingStartupLoadIsReportedOnceAndNotRetried) {
  v.characterLoaded = false;
  loadThrows = true;
  FrameLoop loop = loopOf(hooks());
  loop.openAtStart("bad.chp");
  bool done = true;
  EXPECT_THROW(loop.tick(done), Error);
  EXPECT_TRUE(done);
  EXPECT_FALSE(loop.fileToOpenAtStart());
  EXPECT_EQ(log, std::vector<std::string>{"load bad.chp"});  // the tick ended there
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(tick(loop));
  EXPECT_EQ(std::count(log.begin(), log.end(), "load bad.chp"), 1);
}

// The desktop opens files by argument, so a file given on the command line is taken as a drop:
// it becomes the reloadable file and enables reloading and the pattern check, even when its
// load fails.
TEST_F(FrameLoopTest, TheDefaultStartupLoadOpensTheFileAsADropDoes) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string missing = (dir / "patapata_frame_loop_missing.chp").string();
  v.characterLoaded = false;
  FrameLoopHooks h = hooks();
  h.load = nullptr;
  FrameLoop loop = loopOf(h);
  loop.openAtStart(missing);
  bool done = true;
  try {
    loop.tick(done);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find(missing), std::string::npos) << e.text();
  }
  EXPECT_EQ(v.files.characterPath, missing);
  EXPECT_TRUE(v.display.reloadEnabled);
  EXPECT_TRUE(v.display.patternCheckEnabled);
  EXPECT_NO_THROW(tick(loop));

  const auto file = dir / "patapata_frame_loop_start.chp";
  std::ofstream(file, std::ios::binary) << "#1 0 0 10 10\r\n#3 150 0 10 10\r\n#PATERN 01 0302\r\n";
  loop.openAtStart(file.string());
  EXPECT_TRUE(tick(loop));
  std::filesystem::remove(file);
  EXPECT_TRUE(v.characterLoaded);
  EXPECT_EQ(v.player.state, 1);
  EXPECT_EQ(backPixel(0, 0), sheet(150, 0));  // frame 1 of the loaded state 1: cel 3
}

TEST_F(FrameLoopTest, NoFrameStartsEarlierThanTheIntervalAfterThePreviousWait) {
  readCost = 1;
  eventAfter = 7;  // events keep waking the wait early
  FrameLoop loop = loopOf(hooks());
  uint32_t previous = loop.lastFrameMs();
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    drawCost = (i % 3) * 40;  // some frames take long to draw
    readings.clear();
    ASSERT_TRUE(tick(loop));
    ASSERT_GE(readings.size(), 2u);
    // The reading that ended the wait is a full interval after the previous frame's reading,
    // and not much more; the frame's own reading comes after it.
    const uint32_t ended = readings[readings.size() - 2];
    EXPECT_GE(ended - previous, 100u);
    EXPECT_LT(ended - previous, 100u + 7 + 1 + 1);
    EXPECT_EQ(loop.lastFrameMs(), readings.back());
    EXPECT_GT(loop.lastFrameMs(), ended);
    previous = loop.lastFrameMs();
  }
  for (uint32_t ms : waits) EXPECT_LE(ms, 100u);
}

TEST_F(FrameLoopTest, TheWaitIsRightAcrossTheWrapOfTheClock) {
  struct Case {
    uint32_t last, start, expectedEnd;
  };
  const Case cases[] = {
      {0xFFFFFFC0u, 0xFFFFFFD0u, 0x24u},  // the deadline lies past the wrap
      {0xFFFFFFF0u, 0x10u, 0x54u},        // the clock has already wrapped
      {0xFFFFFF00u, 0x10u, 0x10u},        // more than the interval has passed: no wait
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.last);
    lastFrame = k.last;
    now = k.start;
    waits.clear();
    FrameLoop loop = loopOf(hooks());
    EXPECT_TRUE(tick(loop));
    EXPECT_EQ(loop.lastFrameMs(), k.expectedEnd);
    EXPECT_EQ(waits.empty(), k.start == k.expectedEnd);
  }
}

TEST_F(FrameLoopTest, AnIntervalChangedDuringTheWaitCountsAtOnce) {
  struct Case {
    int32_t before, after;
    uint32_t eventAfter;  // events wake the wait this often (0: none)
    uint32_t waited;
  };
  const Case cases[] = {{100, 500, 0, 500}, {500, 50, 10, 50}, {500, 0, 10, 10}, {100, -5, 10, 10}};
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.before << " -> " << k.after);
    now = 5000;
    lastFrame = now;
    v.character.frameIntervalMs = k.before;
    eventAfter = k.eventAfter;
    duringWait = [this, k] { v.character.frameIntervalMs = k.after; };
    FrameLoop loop = loopOf(hooks());
    EXPECT_TRUE(tick(loop));
    EXPECT_EQ(loop.lastFrameMs() - 5000u, k.waited);
  }
}

TEST_F(FrameLoopTest, AnIntervalOfZeroOrLessDoesNotWait) {
  for (int32_t interval : {0, -1, INT32_MIN}) {
    v.character.frameIntervalMs = interval;
    FrameLoop loop = loopOf(hooks());
    EXPECT_TRUE(tick(loop));
  }
  EXPECT_TRUE(waits.empty());
}

TEST_F(FrameLoopTest, StartClockBoundsTheFirstWaitWhateverTheClockReads) {
  now = 0x90000000u;  // lastFrameMs 0 would be more than 2^31 ms behind
  lastFrame = 0;
  FrameLoop loop = loopOf(hooks());
  loop.startClock();
  EXPECT_EQ(loop.lastFrameMs(), 0x90000000u);
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(loop.lastFrameMs(), 0x90000000u + 100);
}

TEST_F(FrameLoopTest, AButtonPressedDuringTheWaitShowsInTheSameTick) {
  v.player.caption = "状態";
  duringWait = [this] { selectState(v.player, 6); };
  FrameLoop loop = loopOf(hooks());
  v.player.frame = 1;
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.state, 6);
  EXPECT_EQ(v.player.frame, 1);
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));
  EXPECT_EQ(v.player.returnCaption, "状態");
}

TEST_F(FrameLoopTest, AnExceptionEndsTheTickWhereItIsRaised) {
  pollThrows = true;
  FrameLoop loop = loopOf(hooks());
  bool done = true;
  EXPECT_THROW(loop.tick(done), Error);
  EXPECT_TRUE(done);
  EXPECT_EQ(log, (std::vector<std::string>{"clock", "poll"}));
  EXPECT_EQ(v.player.frame, 0);
  pollThrows = false;
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 1);
}

TEST_F(FrameLoopTest, AViewFinalisedDuringTheWaitIsNotDrawnOn) {
  duringWait = [this] {
    v.character.sheet.picture.reset();
    view.finalize();
  };
  FrameLoop loop = loopOf(hooks());
  EXPECT_NO_THROW(tick(loop));
  EXPECT_EQ(host.presents, 0);
  EXPECT_FALSE(view.readyToDraw());
}

// While paused the author still sees reloads: the ticks poll and draw, but the frame holds.
TEST_F(FrameLoopTest, APausedLoopHoldsItsFrameYetPollsAndDraws) {
  FrameLoop loop = loopOf(hooks());
  EXPECT_TRUE(tick(loop));
  ASSERT_EQ(v.player.frame, 1);
  loop.setPaused(true);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 1);
  // Every tick polls: the one that finds the frame not yet due, and the one that draws it.
  EXPECT_EQ(std::count(log.begin(), log.end(), "poll"), 8);
  EXPECT_EQ(host.presents, 1);             // the same picture is not repainted
  v.character.cels[2] = {150, 0, 10, 10};  // a reload changed the tables
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));
  EXPECT_EQ(host.presents, 2);

  loop.stepForward();
  EXPECT_EQ(v.player.frame, 2);
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));  // drawn at once: frame 2 is cel 3
  loop.stepBack();
  EXPECT_EQ(v.player.frame, 1);
  loop.setPaused(false);
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 2);
}

// Catches a state chosen while paused that shows its frame 0, which holds no entry.
TEST_F(FrameLoopTest, AStateChosenWhilePausedShowsItsFirstFrame) {
  FrameLoop loop = loopOf(hooks());
  EXPECT_TRUE(tick(loop));
  loop.setPaused(true);
  selectState(v.player, 6);
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 1);
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));  // state 6's frame 1 is cel 3
}

TEST_F(FrameLoopTest, TheMeanIntervalIsMeasuredOverTheLastFramesPlayed) {
  v.character.frameIntervalMs = 120;
  FrameLoop loop = loopOf(hooks());
  for (int i = 0; i < 8; ++i) tick(loop);
  EXPECT_FALSE(loop.meanFrameIntervalMs());  // too few frames yet
  tick(loop);
  ASSERT_TRUE(loop.meanFrameIntervalMs());
  EXPECT_DOUBLE_EQ(*loop.meanFrameIntervalMs(), 120.0);
  drawCost = 150;  // frames that take longer than the interval come late
  for (int i = 0; i < 9; ++i) tick(loop);
  EXPECT_DOUBLE_EQ(*loop.meanFrameIntervalMs(), 150.0);
  loop.setPaused(true);
  EXPECT_FALSE(loop.meanFrameIntervalMs());
}

// Catches a speed that changes the character's interval, or stretches the wait the wrong way.
TEST_F(FrameLoopTest, ASpeedStretchesTheWaitAndLeavesTheInterval) {
  const std::pair<PlaybackSpeed, uint32_t> cases[] = {{PlaybackSpeed::Quarter, 400},
                                                      {PlaybackSpeed::Half, 200},
                                                      {PlaybackSpeed::Normal, 100},
                                                      {PlaybackSpeed::Double, 50}};
  for (const auto& [speed, wait] : cases) {
    SCOPED_TRACE(wait);
    FrameLoop loop = loopOf(hooks());
    loop.startClockAt(now);
    loop.setSpeed(speed);
    const uint32_t start = now;
    EXPECT_TRUE(tick(loop));
    EXPECT_EQ(now - start, wait);
    EXPECT_EQ(v.character.frameIntervalMs, 100);
  }
}

// Catches a picked frame that keeps playing, and a hook that misses frames drawn while paused.
TEST_F(FrameLoopTest, APickedFramePausesThereAndEveryFrameGoesThroughTheHooks) {
  FrameLoopHooks h = hooks();
  std::vector<std::string> seen;
  h.compose = [&](const Character& c, const Player& p, Surface& back) {
    seen.push_back("compose " + std::to_string(p.frame));
    composeFrame(c, p, back);
  };
  h.framePlayed = [&](bool advanced) { seen.push_back(advanced ? "played" : "held"); };
  FrameLoop loop = loopOf(std::move(h));
  EXPECT_TRUE(tick(loop));
  loop.showFrame(2);
  EXPECT_TRUE(loop.isPaused());
  EXPECT_EQ(primaryPixel(0, 0), sheet(150, 0));  // frame 2 is cel 3, drawn at once
  EXPECT_TRUE(tick(loop));
  EXPECT_EQ(v.player.frame, 2);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"compose 1", "played", "compose 2", "compose 2", "held"}));
}

}  // namespace
}  // namespace patapata
