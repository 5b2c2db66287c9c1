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

TEST(ErrorMessages, FormatReplacesTheFirstPlaceholder) {
  EXPECT_EQ(formatMessage("'%s' は数値ではありません", "$0G"), "'$0G' は数値ではありません");
  EXPECT_EQ(formatMessage("不正なビット数です (%d)", "7"), "不正なビット数です (7)");
  EXPECT_EQ(formatMessage("no placeholder", "x"), "no placeholder");
}

TEST(ErrorClasses, CarryTheirMessageAndFamily) {
  const SurfaceError e("サーフェース を作成できません");
  const DrawContextError& base = e;
  EXPECT_STREQ(base.what(), "サーフェース を作成できません");
  EXPECT_NE(dynamic_cast<const Exception*>(&base), nullptr);
}

}  // namespace
}  // namespace patapata
