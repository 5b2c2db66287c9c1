#include "character/new_character.h"

#include "character/character_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

using sheet_slicing::CelBase;

// Faults: cel lines in the wrong base or without "#DATA 16" before them, the sequence written
// in the cel lines' base instead of two hexadecimal digits, rectangles past the last number
// written anyway, a name cut at its blank.
TEST(NewCharacter, WritesTheCelsAndAStateThatPlaysThemInOrder) {
  const std::vector<Rect> rects{{0, 0, 121, 271}, {121, 0, 242, 271}, {0, 271, 10, 281}};
  struct Case {
    const char* name;
    int32_t first;
    CelBase base;
    std::string text;
  };
  const Case cases[] = {
      {"decimal", 9, CelBase::Decimal,
       "#CHARNAME my\xE3\x80\x80"
       "chick\r\n#ANIME 100\r\n#CHARBMP art/chick.png\r\n"
       "#9 0 0 121 271\r\n#10 121 0 121 271\r\n#11 0 271 10 10\r\n#PATERN 01 090A0B\r\n"},
      {"hexadecimal", 9, CelBase::Hexadecimal,
       "#CHARNAME my\xE3\x80\x80"
       "chick\r\n#ANIME 100\r\n#CHARBMP art/chick.png\r\n#DATA 16\r\n"
       "#09 0 0 121 271\r\n#0A 121 0 121 271\r\n#0B 0 271 10 10\r\n#PATERN 01 090A0B\r\n"},
      {"numbers run out", 98, CelBase::Decimal,
       "#CHARNAME my\xE3\x80\x80"
       "chick\r\n#ANIME 100\r\n#CHARBMP art/chick.png\r\n"
       "#98 0 0 121 271\r\n#99 121 0 121 271\r\n#PATERN 01 6263\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = newCharacterText({.name = "my chick",
                                               .sheetName = "art/chick.png",
                                               .cels = rects,
                                               .firstCel = c.first,
                                               .base = c.base});
    EXPECT_EQ(text, c.text);
    // What the reader makes of it: the cels where the slicing found them, played in order.
    const CharacterLoad load = readCharacter(
        text, "/x/c.chp", [](const std::string&) { return nullptr; }, CharacterSheet{});
    ASSERT_TRUE(load.completed());
    EXPECT_EQ(load.character.name,
              "my\xE3\x80\x80"
              "chick");
    EXPECT_EQ(load.character.cels[c.first], (CelRect{0, 0, 121, 271}));
    EXPECT_EQ(load.character.entry(Sequence::Pattern, 1, 2), c.first + 1);
  }
}

TEST(NewCharacter, NamesComeFromTheFileAndSheetNamesMustHoldNoBlank) {
  EXPECT_EQ(characterNameOf("/a/b/slime.chp"), "slime");
  EXPECT_EQ(characterNameOf("slime.v2.chp"), "slime.v2");
  EXPECT_EQ(characterNameOf("/a/.chp"), ".chp");
  EXPECT_TRUE(isWritableSheetName("../art/chick.png"));
  EXPECT_FALSE(isWritableSheetName("my chick.png"));
  EXPECT_FALSE(isWritableSheetName("chick\n.png"));
  EXPECT_FALSE(isWritableSheetName(""));
}

}  // namespace
}  // namespace patapata
