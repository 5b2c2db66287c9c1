#include "common/encoding.h"

#include <gtest/gtest.h>

namespace patapata::encoding {
namespace {

TEST(Encoding, Utf8IsShownAsItIs) {
  EXPECT_EQ(toDisplayText("テスト"), "テスト");
  EXPECT_EQ(toDisplayText("plain"), "plain");
}

TEST(Encoding, AnythingElseIsShiftJis) {
  EXPECT_EQ(toDisplayText("\x83\x65\x83\x58\x83\x67"), "テスト");
  EXPECT_EQ(toDisplayText("\xb1\xc6\xd2"), "ｱﾆﾒ");  // half-width katakana
}

TEST(Encoding, UndecodableBytesBecomeReplacementCharacters) {
  EXPECT_EQ(toDisplayText("a\xff"
                          "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(toDisplayText("\x83"), "\xEF\xBF\xBD");  // a lone lead byte
}

TEST(Encoding, RejectsMalformedUtf8) {
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(isValidUtf8("\xE3\x83"));
  EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(Encoding, TypedTextIsMeasuredInShiftJisBytes) {
  EXPECT_EQ(toShiftJis("01テ"), "01\x83\x65");
  EXPECT_EQ(toShiftJis("0A"), "0A");
  EXPECT_EQ(toShiftJis("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");  // no Shift-JIS form
}

}  // namespace
}  // namespace patapata::encoding
