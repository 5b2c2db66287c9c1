#include "common/settle_watch.h"

#include <gtest/gtest.h>

#include <vector>

namespace patapata {
namespace {

constexpr FileStamp kLoaded{100, 10};
constexpr FileStamp kSaving{200, 5};
constexpr FileStamp kSaved{300, 10};

struct Poll {
  uint32_t nowMs;
  FileStamp seen;
  bool settled;
};

TEST(SettleWatch, AChangeIsReadOnlyOnceItsStampHeldStillForTheSettleTime) {
  struct Case {
    const char* name;
    std::vector<Poll> polls;
  };
  const Case cases[] = {
      {"unchanged file", {{0, kLoaded, false}, {500, kLoaded, false}}},
      {"first sighting never settles, however late",
       {{0, kLoaded, false}, {1000, kSaved, false}, {1149, kSaved, false}, {1150, kSaved, true}}},
      {"a growing file starts the wait again",
       {{0, kSaving, false}, {140, kSaved, false}, {280, kSaved, false}, {290, kSaved, true}}},
      {"a tick longer than the settle time settles at the next poll",
       {{0, kSaved, false}, {500, kSaved, true}}},
      {"across the clock's wrap", {{0xFFFFFF00u, kSaved, false}, {0x00000010u, kSaved, true}}},
      {"back to the loaded version: nothing to read",
       {{0, kSaving, false}, {100, kLoaded, false}, {400, kLoaded, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettleWatch watch;
    for (const Poll& p : c.polls) {
      SCOPED_TRACE(p.nowMs);
      EXPECT_EQ(watch.settled(p.seen, kLoaded, p.nowMs), p.settled);
    }
  }
}

TEST(SettleWatch, ARefusedVersionWaitsForTheNextChange) {
  SettleWatch watch;
  EXPECT_FALSE(watch.settled(kSaving, kLoaded, 0));
  ASSERT_TRUE(watch.settled(kSaving, kLoaded, 200));
  watch.refuse(kSaving);
  EXPECT_FALSE(watch.settled(kSaving, kLoaded, 400));
  EXPECT_FALSE(watch.settled(kSaved, kLoaded, 500));
  EXPECT_TRUE(watch.settled(kSaved, kLoaded, 700));
}

TEST(SettleWatch, AChangeDuringTheReadMustSettleAgain) {
  SettleWatch watch;
  EXPECT_FALSE(watch.settled(kSaving, kLoaded, 0));
  ASSERT_TRUE(watch.settled(kSaving, kLoaded, 200));
  watch.restart(kSaved, 210);
  EXPECT_FALSE(watch.settled(kSaved, kLoaded, 300));
  EXPECT_TRUE(watch.settled(kSaved, kLoaded, 360));
}

}  // namespace
}  // namespace patapata
