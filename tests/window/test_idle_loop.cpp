#include "window/idle_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

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

// The frame loop asks to be woken at its frame's deadline and leaves `done` true meanwhile: the
// handler runs again then, and not before, with nothing spinning in between.
TEST(IdleLoop, AWakeUpRunsTheHandlerAgainAtItsTime) {
  IdleLoop loop;
  QElapsedTimer clock;
  std::vector<qint64> calls;
  loop.setOnIdle([&](bool&) {
    if (calls.empty()) clock.start();
    calls.push_back(clock.elapsed());
    if (calls.size() == 1) loop.wakeAfter(40);
  });
  QTest::qWait(150);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_GE(calls[1], 39);
}

TEST(IdleLoop, AnEventBeforeTheWakeUpRunsTheHandlerSooner) {
  IdleLoop loop;
  QElapsedTimer clock;
  int calls = 0;
  loop.setOnIdle([&](bool&) {
    if (++calls == 1) {
      clock.start();
      loop.wakeAfter(5000);
      QTimer::singleShot(10, [] {});
    }
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return calls >= 2; }, 4000));
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
