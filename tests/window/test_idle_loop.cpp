#include "window/idle_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace patapata {
namespace {

TEST(IdleLoop, HandlerThatLeavesDoneTrueWaitsForTheNextEvent) {
  IdleLoop loop;
  int calls = 0;
  loop.setOnIdle([&calls](bool& done) {
    EXPECT_TRUE(done);
    ++calls;
  });
  QTest::qWait(100);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(loop.waitingForEvent());

  QTimer::singleShot(0, [] {});
  QTest::qWait(50);
  EXPECT_EQ(calls, 2);
}

TEST(IdleLoop, HandlerThatClearsDoneRunsAgainAtOnce) {
  IdleLoop loop;
  int calls = 0;
  loop.setOnIdle([&calls](bool& done) {
    ++calls;
    done = false;
  });
  QTest::qWait(50);
  EXPECT_GT(calls, 10);
  EXPECT_FALSE(loop.waitingForEvent());
}

TEST(IdleLoop, HandlerIsNeverEnteredTwice) {
  IdleLoop loop;
  int depth = 0;
  int deepest = 0;
  int calls = 0;
  loop.setOnIdle([&](bool& done) {
    ++depth;
    deepest = std::max(deepest, depth);
    ++calls;
    // Events dispatched during the wait may ask for the idle handler; it must not nest.
    QTimer::singleShot(0, [] {});
    loop.processEvents(5);
    --depth;
    done = calls >= 5;  // ask to be called again until the fifth call
  });
  QTest::qWait(100);
  EXPECT_GE(calls, 5);
  EXPECT_EQ(deepest, 1);
}

TEST(IdleLoop, FrameWaitBlocksInsteadOfSpinning) {
  IdleLoop loop;
  // Waited out the way the frame loop does: call again with what remains until the time is up.
  // A wait that returned without blocking would be called thousands of times here.
  QElapsedTimer clock;
  clock.start();
  int calls = 0;
  while (clock.elapsed() < 60) {
    loop.processEvents(static_cast<uint32_t>(60 - clock.elapsed()));
    ++calls;
  }
  EXPECT_LT(calls, 20);
}

TEST(IdleLoop, FrameWaitEndsEarlyWhenAnEventArrives) {
  IdleLoop loop;
  bool fired = false;
  QTimer::singleShot(10, [&fired] { fired = true; });
  QElapsedTimer clock;
  clock.start();
  while (!fired && clock.elapsed() < 5000) loop.processEvents(5000);
  EXPECT_TRUE(fired);
  EXPECT_LT(clock.elapsed(), 4000);
}

TEST(IdleLoop, SuspendedIdleRunsAgainAfterTheNextEventOnceResumed) {
  IdleLoop loop;
  int calls = 0;
  loop.suspendIdle();
  loop.setOnIdle([&calls](bool&) { ++calls; });
  QTest::qWait(30);
  EXPECT_EQ(calls, 0);
  loop.resumeIdle();
  QTimer::singleShot(0, [] {});
  QTest::qWait(30);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace patapata
