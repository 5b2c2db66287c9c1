#include "common/int_conversion.h"

#include "common/errors.h"

#include <gtest/gtest.h>

#include <optional>

namespace patapata {
namespace {

struct ConversionCase {
  const char* text;
  std::optional<int32_t> expected;
};

TEST(IntConversion, FollowsTheNumberSyntax) {
  const ConversionCase cases[] = {
      {"0", 0},
      {"12", 12},
      {" 12", 12},
      {"   -7", -7},
      {"+5", 5},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$FF", 255},
      {"$ff", 255},
      {"x10", 16},
      {"X10", 16},
      {"0x10", 16},
      {"0X1a", 26},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"$100000000", std::nullopt},
      {"$000000001", 1},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"x", std::nullopt},
      {"+$1", std::nullopt},
      {"-$1", std::nullopt},
      {"12 ", std::nullopt},
      {"1 2", std::nullopt},
      {"\t12", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"$0G", std::nullopt},
      {"12a", std::nullopt},
      {"0012", 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(tryParseInt(c.text), c.expected);
    EXPECT_EQ(parseIntOr(c.text, -99), c.expected.value_or(-99));
  }
}

TEST(IntConversion, ErrorNamesTheConvertedText) {
  try {
    parseInt("$ZZ");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'$ZZ' は数値ではありません");
  }
  try {
    parseInt("");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'' は数値ではありません");
  }
}

TEST(IntConversion, ShiftJisInErrorIsShownAsText) {
  // "テ" in Shift-JIS: the message shows the character, not broken bytes.
  try {
    parseInt("\x83\x65");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'テ' は数値ではありません");
  }
}

TEST(HexPair, TrimsThenReadsHexadecimal) {
  EXPECT_EQ(hexPair("0A"), 10);
  EXPECT_EQ(hexPair("FF"), 255);
  EXPECT_EQ(hexPair("0b"), 11);
  EXPECT_EQ(hexPair(" 5"), 5);
  EXPECT_THROW(hexPair("  "), Error);
  try {
    hexPair("0G");
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'$0G' は数値ではありません");
  }
  try {
    hexPairUntrimmed(" 5");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "'$ 5' は数値ではありません");
  }
}

}  // namespace
}  // namespace patapata
