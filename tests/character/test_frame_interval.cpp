#include "character/frame_interval.h"

#include "character/character.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

TEST(applyIntervalText, OnlyAPositiveNumberBecomesTheInterval) {
  struct Case {
    std::string text;
    int32_t interval;
  };
  const std::vector<Case> cases{
      {"120", 120},      {"1", 1},
      {"999", 999},      {" 50", 50},
      {"$10", 16},       {"0", 77},
      {"-5", 77},        {"", 77},
      {"abc", 77},       {"12a", 77},
      {"50 ", 77},       {"99999999999", 77},
      {"2000", 2000},    {"0x7FFFFFFF", 2147483647},
      {"$FFFFFFFF", 77},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Character character;
    character.frameIntervalMs = 77;
    applyIntervalText(character, c.text);
    EXPECT_EQ(character.frameIntervalMs, c.interval);
  }
}

}  // namespace
}  // namespace patapata
