#include "character/sheet_path.h"

#include "character/character_reader.h"

#include "support/reader_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testing::TempDir;
using testing::writeBytes;

TEST(SheetPath, ComposesDirectoryAndName) {
  struct Case {
    std::string characterFile;
    std::string sheetName;
    std::string path;
  };
  const std::vector<Case> cases{
      {"/home/a/chara/test.chp", "chara.bmp", "/home/a/chara/chara.bmp"},
      {"/test.chp", "chara.bmp", "/chara.bmp"},
      {"test.chp", "chara.bmp", "chara.bmp"},
      {"sub/test.chp", "img\\chara.bmp", "sub/img/chara.bmp"},
      {"a\\b/test.chp", "x.bmp", "a\\b/x.bmp"},       // the character file's "\" is a name byte
      {"d/t.chp", "\x95\x5C.bmp", "d/\x95\x5C.bmp"},  // 表: second byte 5C
      {"d/t.chp", "\x95\x5C\\\x95\x5C.bmp", "d/\x95\x5C/\x95\x5C.bmp"},
      {"d/t.chp", "\xB1\\x.bmp", "d/\xB1/x.bmp"},  // half-width kana are single bytes
      {"d/t.chp", "表\\x.bmp", "d/表/x.bmp"},      // UTF-8 has no 5C inside a character
      {"d/t.chp", "", "d/"},
      {"d/", "x.bmp", "d/x.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.characterFile + " + " + c.sheetName);
    EXPECT_EQ(composeSheetPath(c.characterFile, c.sheetName), c.path);
  }
}

TEST(SheetPath, DirectoryIsEverythingUpToTheLastSlash) {
  EXPECT_EQ(characterDirectory("/a/b/c.chp"), "/a/b/");
  EXPECT_EQ(characterDirectory("c.chp"), "");
  EXPECT_EQ(characterDirectory("/c.chp"), "/");
  EXPECT_EQ(characterDirectory("C:\\x\\c.chp"), "");
}

TEST(SheetPath, MatchesComponentsWithoutRegardToCase) {
  TempDir dir;
  const std::string root = dir.path().string();
  std::filesystem::create_directories(root + "/Img/Sub");
  std::filesystem::create_directories(root + "/\x83\x41");  // Shift-JIS ア: trail byte 'A'
  writeBytes(root + "/Img/Sub/Chara.BMP", "x");
  writeBytes(root + "/\x83\x41/x.bmp", "x");
  writeBytes(root + "/two.bmp", "x");
  writeBytes(root + "/TWO.bmp", "x");
  struct Case {
    std::string asked;
    std::string found;
  };
  const std::vector<Case> cases{
      {root + "/Img/Sub/Chara.BMP", root + "/Img/Sub/Chara.BMP"},
      {root + "/img/sub/chara.bmp", root + "/Img/Sub/Chara.BMP"},
      {root + "/IMG/SUB/CHARA.BMP", root + "/Img/Sub/Chara.BMP"},
      {root + "/img//sub/./chara.bmp", root + "/Img//Sub/./Chara.BMP"},
      {root + "/img/missing.bmp", root + "/img/missing.bmp"},
      {root + "/nothing/chara.bmp", root + "/nothing/chara.bmp"},
      // The trail byte of a double-byte character is no letter to fold.
      {root + "/\x83\x61/x.bmp", root + "/\x83\x61/x.bmp"},
      {root + "/\x83\x41/X.BMP", root + "/\x83\x41/x.bmp"},
      {root + "/Two.bmp", root + "/TWO.bmp"},  // several matches: the first in byte order
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    EXPECT_EQ(matchPathIgnoringCase(c.asked), c.found);
  }
}

TEST(SheetPath, MatchesRelativePaths) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Img");
  writeBytes(dir.file("Img/Chara.bmp"), "x");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string found = matchPathIgnoringCase("img/chara.bmp");
  const std::string bare = resolveSheetPath("c.chp", "IMG\\CHARA.BMP");
  std::filesystem::current_path(previous);
  EXPECT_EQ(found, "Img/Chara.bmp");
  EXPECT_EQ(bare, "Img/Chara.bmp");
}

// A file written on Windows names its sheet in Shift-JIS; the sheet on a Linux disk is named in
// UTF-8.
TEST(SheetPath, ShiftJisNameFindsTheSheetNamedInUtf8) {
  TempDir dir;
  const std::string root = dir.path().string() + "/";
  std::filesystem::create_directories(root + "表");
  writeBytes(root + "表/スライム.bmp", "x");
  writeBytes(root + "both.bmp", "x");
  // スライム, in a folder whose Shift-JIS name ends in the byte 5C.
  const std::string sjisName = "\x95\x5C\\\x83\x58\x83\x89\x83\x43\x83\x80.bmp";
  EXPECT_EQ(resolveSheetPath(root + "c.chp", sjisName), root + "表/スライム.bmp");
  // Case does not matter after the conversion either.
  EXPECT_EQ(resolveSheetPath(root + "c.chp", "\x95\x5C/\x83\x58\x83\x89\x83\x43\x83\x80.BMP"),
            root + "表/スライム.bmp");
  // Not found either way: the name as written.
  EXPECT_EQ(resolveSheetPath(root + "c.chp", "\x83\x41.bmp"), root + "\x83\x41.bmp");
  // A UTF-8 name is never converted.
  EXPECT_EQ(resolveSheetPath(root + "c.chp", "BOTH.bmp"), root + "both.bmp");
}

// The path the sheet is started on before the load: the first "#CHARBMP" line's, resolved as
// the load resolves it.
TEST(SheetPath, TheFirstSheetOfACharacterFileIsFoundWithoutLoadingIt) {
  const TempDir dir;
  const std::string root = dir.path().string() + "/";
  writeBytes(root + "Sheet.BMP", "x");
  writeBytes(root + "two.chp",
             std::string_view("#CHARNAME x\r\n#CHARBMP sheet.bmp \r\n#CHARBMP b.bmp\r\n"));
  writeBytes(root + "none.chp", std::string_view("#CHARNAME x\n#ANIME 100\n"));
  EXPECT_EQ(firstSheetPath(root + "two.chp"), root + "Sheet.BMP");
  EXPECT_EQ(firstSheetPath(root + "none.chp"), std::nullopt);
  EXPECT_EQ(firstSheetPath(root + "missing.chp"), std::nullopt);
}

}  // namespace
}  // namespace patapata
