#include "common/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace patapata::text {
namespace {

TEST(Text, TrimRemovesEveryByteUpToSpace) {
  EXPECT_EQ(trim(" \t\r\x01 ab c \x1f"), "ab c");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim(""), "");
  // A full-width space (81 40) is not a blank.
  EXPECT_EQ(trim("\x81\x40"
                 "a"),
            "\x81\x40"
            "a");
}

TEST(Text, TokenEndsAtTheFirstSpaceOrTab) {
  struct Case {
    const char* in;
    const char* token;
    const char* after;
  };
  const Case cases[] = {
      {"abc def", "abc", "def"},
      {"abc\tdef", "abc", "def"},
      {"abc  def", "abc", " def"},
      {"abc", "abc", ""},
      {"", "", ""},
      {" abc", "", "abc"},
      {"\x83\x65\x83\x58\x83\x67 \x89\xbc", "\x83\x65\x83\x58\x83\x67", "\x89\xbc"},
      {"a\x81\x40"
       "b c",
       "a\x81\x40"
       "b",
       "c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(token(c.in), c.token);
    EXPECT_EQ(afterToken(c.in), c.after);
  }
}

TEST(Text, CopyCountsBytesFromOne) {
  EXPECT_EQ(copy("#ANIME 100", 7, 1024), " 100");
  EXPECT_EQ(copy("#ANIME", 7, 1024), "");
  EXPECT_EQ(copy("abcdef", 2, 2), "bc");
  EXPECT_EQ(copy("abc", 0, 2), "ab");
  EXPECT_EQ(copy("abc", 4, 2), "");
  const std::string longLine(3000, 'x');
  EXPECT_EQ(from(longLine, 10).size(), 1024u);
}

TEST(Text, KeywordsFoldOnlyAsciiLetters) {
  EXPECT_TRUE(startsWithKeyword("#anime100", "#ANIME"));
  EXPECT_TRUE(startsWithKeyword("#AnImE", "#ANIME"));
  EXPECT_FALSE(startsWithKeyword("  #ANIME", "#ANIME"));
  EXPECT_FALSE(startsWithKeyword("#ANIM", "#ANIME"));
  EXPECT_EQ(upperAscii("ab\xe0z{"), "AB\xe0Z{");
}

TEST(Text, NumberRunsJoinThreeOrMoreNeighbours) {
  const struct {
    std::vector<int32_t> numbers;
    const char* runs;
  } cases[] = {
      {{}, ""},
      {{7}, "7"},
      {{1, 2}, "1, 2"},
      {{1, 2, 3}, "1-3"},
      {{0, 9, 13, 14, 17, 18, 19, 29}, "0, 9, 13, 14, 17-19, 29"},
  };
  for (const auto& c : cases) EXPECT_EQ(numberRuns(c.numbers, "-"), c.runs);
}

}  // namespace
}  // namespace patapata::text
