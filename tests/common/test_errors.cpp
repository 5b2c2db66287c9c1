#include "common/errors.h"

#include <gtest/gtest.h>

namespace patapata {
namespace {

TEST(ErrorBox, AppendsAPeriodWhenTheLastByteSortsAboveIt) {
  EXPECT_EQ(errorBoxText("ファイル a は開けません"), "ファイル a は開けません.");
  EXPECT_EQ(errorBoxText("done."), "done.");
  EXPECT_EQ(errorBoxText("ends with -"), "ends with -");
  EXPECT_EQ(errorBoxText("ends with /"), "ends with /.");
  EXPECT_EQ(errorBoxText(""), "");
}

// An argument is put in once: text from a file that reads like a placeholder stays as it is.
TEST(ErrorMessages, ArgumentsFillTheirPlaceholdersInOnePass) {
  EXPECT_EQ(fillArguments("'%1' は数値ではありません", {"$0G"}), "'$0G' は数値ではありません");
  EXPECT_EQ(fillArguments("%2 and %1", {"a", "b"}), "b and a");
  EXPECT_EQ(fillArguments("'%1' は数値ではありません", {"%1%2"}), "'%1%2' は数値ではありません");
  EXPECT_EQ(fillArguments("no placeholder %3", {"x"}), "no placeholder %3");
}

TEST(ErrorMessages, AnErrorCarriesItsIdentityAndSaysItsText) {
  const Error e(MessageId::InvalidBitCount, "7");
  EXPECT_EQ(e.id(), MessageId::InvalidBitCount);
  EXPECT_EQ(e.message().arguments, std::vector<std::string>{"7"});
  EXPECT_STREQ(e.what(), "不正なビット数です (7)");
  EXPECT_FALSE(e.location());
}

}  // namespace
}  // namespace patapata
