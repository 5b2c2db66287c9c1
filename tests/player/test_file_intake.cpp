#include "player/file_intake.h"

#include "common/errors.h"
#include "common/file_read.h"
#include "common/file_stamp.h"
#include "common/memory_controls.h"
#include "player/viewer.h"
#include "support/character_files.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace patapata {
namespace {

using testfiles::bmp24;
using testfiles::characterFile;
using testfiles::TempDir;
using testfiles::writeFile;

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

// A drawing context with a sheet surface, as the view's surface initialisation leaves it.
class FileIntakeTest : public ::testing::Test {
 protected:
  FileIntakeTest() : service(std::make_shared<platform::SurfaceService>()) {
    loader = [service = service](const std::string& path) {
      return SheetPicture::load(*service, path);
    };
    sheetPath = dir.file("sheet.bmp");
    charPath = dir.file("chara.chp");
  }

  uint32_t sheetKey() const { return viewer.character.sheet.picture->key(); }
  int32_t sheetWidth() const { return viewer.character.sheet.picture->width(); }

  /// Polls as two ticks 200 ms apart do: a change seen at the first has settled by the second.
  void pollSettled() {
    pollWatchedFiles(viewer, loader, controls, nowMs);
    nowMs += 200;
    pollWatchedFiles(viewer, loader, controls, nowMs);
    nowMs += 200;
  }

  /// Gives `path` a modification time of its own, later than any before: the file system's
  /// clock may not tick between two writes of a fast test.
  void markSaved(const std::string& path) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++saves_));
  }

  /// Sets the sheet file's modification time to `base` + `offset`.
  void touchSheet(std::filesystem::file_time_type base, std::chrono::milliseconds offset) {
    std::filesystem::last_write_time(sheetPath, base + offset);
  }

  TempDir dir;
  std::shared_ptr<platform::SurfaceService> service;
  SheetLoader loader;
  Viewer viewer;
  MemoryControls controls;
  std::string sheetPath;
  std::string charPath;
  uint32_t nowMs = 1000;

 private:
  int saves_ = 0;
};

TEST_F(FileIntakeTest, DropRecordsThePathEnablesTheButtonsAndLoads) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("ひよこ", "sheet.bmp"));

  openCharacterFile(viewer, loader, charPath);

  EXPECT_EQ(viewer.files.characterPath, charPath);
  EXPECT_TRUE(viewer.display.reloadEnabled);
  EXPECT_TRUE(viewer.display.patternCheckEnabled);
  EXPECT_TRUE(viewer.character.enablesButton(1));
  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "ひよこ");
  EXPECT_EQ(viewer.character.sheet.path, sheetPath);
  EXPECT_EQ(sheetWidth(), 20);
  EXPECT_EQ(sheetKey(), kGreen);
}

TEST_F(FileIntakeTest, DropOfWhatIsNoCharacterFileStillEnablesTheButtons) {
  std::filesystem::create_directories(dir.path() / "folder");
  writeFile(sheetPath, bmp24(4, 4, kRed, kRed));
  writeFile(dir.file("bad.chp"), "#ANIME fast\r\n");
  struct Case {
    const char* name;
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", dir.file("nothing.chp"),
       "ファイル " + dir.file("nothing.chp") + " は開けません"},
      {"folder", dir.file("folder"), "ファイル " + dir.file("folder") + " は開けません"},
      {"bad number", dir.file("bad.chp"), "'fast' は数値ではありません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryControls fresh;
    viewer.display = DisplayState{};
    try {
      openCharacterFile(viewer, loader, c.path);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), c.message);
    }
    EXPECT_EQ(viewer.files.characterPath, c.path);
    EXPECT_TRUE(viewer.display.reloadEnabled);
    EXPECT_TRUE(viewer.display.patternCheckEnabled);
    EXPECT_FALSE(viewer.characterLoaded);
  }
}

TEST_F(FileIntakeTest, DroppedPathLongerThan255CharactersIsLoadedWhole) {
  std::filesystem::path deep = dir.path();
  while (deep.string().size() < 300) deep /= std::string(60, 'd');
  std::filesystem::create_directories(deep);
  const std::string path = (deep / "chara.chp").string();
  writeFile((deep / "sheet.bmp").string(), bmp24(8, 8, kRed, kBlue));
  writeFile(path, characterFile("long", "sheet.bmp"));
  ASSERT_GT(path.size(), 255u);

  openCharacterFile(viewer, loader, path);

  EXPECT_EQ(viewer.files.characterPath, path);
  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "long");
}

TEST_F(FileIntakeTest, ReloadTriesTheDroppedPathAgain) {
  writeFile(sheetPath, bmp24(8, 8, kRed, kRed));
  writeFile(charPath, "#ANIME fast\r\n");
  EXPECT_THROW(openCharacterFile(viewer, loader, charPath), Error);
  EXPECT_FALSE(viewer.characterLoaded);

  writeFile(charPath, characterFile("fixed", "sheet.bmp", "250"));
  reloadCharacter(viewer, loader);

  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "fixed");
  EXPECT_EQ(viewer.character.frameIntervalMs, 250);

  std::filesystem::remove(charPath);
  try {
    reloadCharacter(viewer, loader);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "ファイル " + charPath + " は開けません");
  }
  EXPECT_FALSE(viewer.character.enablesButton(1));
  EXPECT_EQ(viewer.player.caption, "状態");
}

TEST_F(FileIntakeTest, CGreloadTakesTheNewPictureItsSizeAndItsCornerColour) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  const FileStamp first = viewer.character.sheet.stamp;

  writeFile(sheetPath, bmp24(30, 12, kRed, kBlue));
  reloadSheet(viewer, loader);

  EXPECT_EQ(sheetWidth(), 30);
  EXPECT_EQ(viewer.character.sheet.picture->height(), 12);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(viewer.character.sheet.stamp, fileStamp(sheetPath));
  EXPECT_NE(viewer.character.sheet.stamp, first);
  EXPECT_EQ(viewer.player.state, 1);
}

TEST_F(FileIntakeTest, CGreloadOfAMissingSheetStoresTheMissingStampAndKeepsThePicture) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  std::filesystem::remove(sheetPath);

  try {
    reloadSheet(viewer, loader);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "ファイル " + sheetPath + " は開けません");
  }
  EXPECT_TRUE(viewer.character.sheet.stamp.isMissing());
  EXPECT_EQ(sheetWidth(), 20);
  EXPECT_EQ(sheetKey(), kGreen);
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetNameReportsTheEmptyExtension) {
  try {
    reloadSheet(viewer, loader);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "拡張子 . の画像形式は処理できません");
  }
  EXPECT_TRUE(viewer.character.sheet.stamp.isMissing());
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetSurfaceReportsItAndTouchesNothing) {
  writeFile(sheetPath, bmp24(4, 4, kRed, kRed));
  loader = nullptr;
  viewer.character.sheet.path = sheetPath;
  viewer.character.sheet.stamp = FileStamp{123, 4};
  controls.setChecked(Switch::AutoSheetReload, true);

  try {
    reloadSheet(viewer, loader);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "IDirectDrawSurface は作成されていません");
  }
  // The poll has nothing to load into, and says nothing.
  EXPECT_NO_THROW(pollSettled());
  EXPECT_EQ(viewer.character.sheet.stamp, (FileStamp{123, 4}));
  EXPECT_FALSE(viewer.display.reloadFailure);
}

TEST_F(FileIntakeTest, AutomaticReloadItemsToggleTheirOwnMarks) {
  const bool expected[] = {true, false, true};
  for (const bool mark : expected) {
    toggleAutoSheetReload(controls);
    toggleAutoCharacterReload(controls);
    EXPECT_EQ(controls.isChecked(Switch::AutoSheetReload), mark);
    EXPECT_EQ(controls.isChecked(Switch::AutoCharacterReload), mark);
  }
}

TEST_F(FileIntakeTest, PollReloadsOnlyWhenSwitchedOnNamedAndChanged) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  const auto base = std::filesystem::last_write_time(sheetPath);

  struct Step {
    const char* name;
    bool autoReload;
    bool rewrite;
    uint32_t corner;
    uint32_t expectedKey;
  };
  const Step steps[] = {
      {"unchanged file, switched on", true, false, kGreen, kGreen},
      {"changed file, switched off", false, true, kBlue, kGreen},
      {"switched on again: the stamp differs from the last load", true, false, kBlue, kBlue},
      {"unchanged since that reload", true, false, kBlue, kBlue},
      {"changed again", true, true, kRed, kRed},
  };
  int offsetMs = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    controls.setChecked(Switch::AutoSheetReload, s.autoReload);
    if (s.rewrite) {
      writeFile(sheetPath, bmp24(20, 10, kRed, s.corner));
      touchSheet(base, std::chrono::milliseconds(offsetMs += 3000));
    }
    pollSettled();
    EXPECT_EQ(sheetKey(), s.expectedKey);
  }
}

TEST_F(FileIntakeTest, TwoSavesWithinTwoSecondsAreBothSeen) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);
  const auto base = std::filesystem::last_write_time(sheetPath);

  struct Save {
    const char* name;
    int32_t width;
    uint32_t corner;
    int offsetMs;
  };
  // Same size, times 300 ms apart; then a save that only changes the size, same time.
  const Save saves[] = {
      {"first save", 20, kBlue, 300},
      {"second save 300 ms later", 20, kRed, 600},
      {"same time, new size", 24, kGreen, 600},
  };
  for (const Save& s : saves) {
    SCOPED_TRACE(s.name);
    writeFile(sheetPath, bmp24(s.width, 10, kRed, s.corner));
    touchSheet(base, std::chrono::milliseconds(s.offsetMs));
    pollSettled();
    EXPECT_EQ(sheetKey(), s.corner);
    EXPECT_EQ(sheetWidth(), s.width);
  }
}

// Editors that save by writing a new file and renaming it leave the name missing for a moment.
TEST_F(FileIntakeTest, PollWaitsOutARemovedSheetAndLoadsItsReturn) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);

  std::filesystem::remove(sheetPath);
  EXPECT_NO_THROW(pollSettled());
  EXPECT_FALSE(viewer.display.reloadFailure);
  EXPECT_EQ(sheetKey(), kGreen);

  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  pollSettled();
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_FALSE(viewer.character.sheet.stamp.isMissing());
}

// Catches a warning of an empty sheet that is missed, or that stays once the sheet is saved.
TEST_F(FileIntakeTest, AnEmptySheetIsWarnedOfUntilItArrives) {
  writeFile(sheetPath, "");
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  ASSERT_EQ(viewer.display.warnings.size(), 1u);
  EXPECT_EQ(viewer.display.warnings[0].message.id, MessageId::SheetEmpty);
  EXPECT_EQ(viewer.display.warnings[0].line, 3);  // the #CHARBMP line

  controls.setChecked(Switch::AutoSheetReload, true);
  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  pollSettled();
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_TRUE(viewer.display.warnings.empty());
}

TEST_F(FileIntakeTest, PollWithoutASheetNameDoesNothing) {
  controls.setChecked(Switch::AutoSheetReload, true);
  EXPECT_NO_THROW(pollSettled());
  EXPECT_EQ(viewer.character.sheet.stamp, FileStamp{});
  EXPECT_FALSE(viewer.character.sheet.picture);
}

TEST_F(FileIntakeTest, PollLeavesTheCharacterAlone) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);
  viewer.player.state = 6;
  viewer.player.frame = 3;
  writeFile(charPath, characterFile("changed", "sheet.bmp"));
  writeFile(sheetPath, bmp24(24, 10, kRed, kBlue));

  pollSettled();

  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(viewer.player.state, 6);
  EXPECT_EQ(viewer.player.frame, 3);
  EXPECT_EQ(viewer.display.characterName, "c");
}

// --- Automatic reloads ------------------------------------------------------------------

TEST_F(FileIntakeTest, AChangeIsReadOnlyOnceItsStampHeldStillForTheSettleTime) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);
  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  markSaved(sheetPath);

  pollWatchedFiles(viewer, loader, controls, 1000);
  EXPECT_EQ(sheetKey(), kGreen);  // seen once: maybe still being written
  pollWatchedFiles(viewer, loader, controls, 1149);
  EXPECT_EQ(sheetKey(), kGreen);
  pollWatchedFiles(viewer, loader, controls, 1150);
  EXPECT_EQ(sheetKey(), kBlue);
}

// A save that lands while the picture is read must not leave the picture read before it on
// screen: the stamp taken after the read differs, so the file is read again once settled.
TEST_F(FileIntakeTest, AChangeDuringTheReadIsReadAgain) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);
  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  markSaved(sheetPath);

  // The stamp source sees the save land right after the read's first stamp.
  int stamps = 0;
  const FileStamp first = fileStamp(sheetPath);
  const FileStamp landed{first.modified + 1, first.size};
  const StampSource saveDuringRead = [&](const std::string&) {
    return ++stamps <= 2 ? first : landed;
  };
  pollWatchedFiles(viewer, loader, controls, 1000, saveDuringRead);
  pollWatchedFiles(viewer, loader, controls, 1200, saveDuringRead);  // reads, then sees `landed`
  EXPECT_EQ(stamps, 3);
  EXPECT_EQ(sheetKey(), kGreen);  // what was read is not shown
  pollWatchedFiles(viewer, loader, controls, 1300, saveDuringRead);
  EXPECT_EQ(sheetKey(), kGreen);  // `landed` has not settled yet
  pollWatchedFiles(viewer, loader, controls, 1400, saveDuringRead);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(viewer.character.sheet.stamp, landed);
}

TEST_F(FileIntakeTest, AFailedAutomaticLoadKeepsThePictureAndTablesAndSaysWhatFailed) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  const std::string good = characterFile("c", "sheet.bmp", "120");
  writeFile(charPath, good);
  openCharacterFile(viewer, loader, charPath);
  const SequenceTable pattern = viewer.character.pattern;

  struct Case {
    const char* name;
    Switch watched;
    std::string file;
    std::string bytes;
    int32_t line;
    std::string message;
  };
  const Case cases[] = {
      {"a bad number on line 3 of the character file", Switch::AutoCharacterReload, charPath,
       "#CHARNAME broken\r\n#ANIME 50\r\n#3 242 0 121\r\n", 3, "'' は数値ではありません"},
      {"a sheet that is no picture", Switch::AutoSheetReload, sheetPath, std::string(64, 'x'), 0,
       "ビットマップイメージが不正です"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    controls.setChecked(c.watched, true);
    writeFile(c.file, c.bytes);
    EXPECT_NO_THROW(pollSettled());
    ASSERT_TRUE(viewer.display.reloadFailure);
    EXPECT_EQ(viewer.display.reloadFailure->file, c.file);
    EXPECT_EQ(viewer.display.reloadFailure->line, c.line);
    EXPECT_EQ(messageText(viewer.display.reloadFailure->message), c.message);
    EXPECT_EQ(viewer.display.characterName, "c");
    EXPECT_EQ(viewer.character.frameIntervalMs, 120);
    EXPECT_EQ(viewer.character.pattern, pattern);
    EXPECT_EQ(sheetWidth(), 20);
    EXPECT_EQ(sheetKey(), kGreen);

    // Fixed, it loads again and the line clears.
    writeFile(c.file, c.file == charPath ? good : bmp24(20, 10, kRed, kGreen));
    markSaved(c.file);
    pollSettled();
    EXPECT_FALSE(viewer.display.reloadFailure);
    controls.setChecked(c.watched, false);
  }
}

// A save in progress is waited out in silence, for PNG as for BMP: a reload that caught the
// file half written said "ビットマップイメージが不正です" on the status line.
TEST_F(FileIntakeTest, ASheetCutShortIsWaitedOutAsASaveInProgress) {
  struct Case {
    const char* sheet;
    std::string whole;
    std::vector<std::size_t> cuts;
  };
  const FileBytes pngBytes = readWholeFile(PATAPATA_TEST_DATA "/png/rgb_8bit.png").value();
  const std::string png(pngBytes.begin(), pngBytes.end());
  const Case cases[] = {
      {"sheet.bmp", bmp24(20, 10, kRed, kBlue), {0, 300}},
      {"sheet.png", png, {8, 40, png.size() / 2, png.size() - 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    const std::string path = dir.file(c.sheet);
    writeFile(path, c.whole);
    writeFile(charPath, characterFile("c", c.sheet));
    openCharacterFile(viewer, loader, charPath);
    const auto shown = viewer.character.sheet.picture;
    controls.setChecked(Switch::AutoSheetReload, true);
    for (const std::size_t written : c.cuts) {
      SCOPED_TRACE(written);
      writeFile(path, c.whole.substr(0, written));
      pollSettled();
      EXPECT_FALSE(viewer.display.reloadFailure);
      EXPECT_EQ(viewer.character.sheet.picture, shown);
    }
    writeFile(path, c.whole);
    markSaved(path);
    pollSettled();
    EXPECT_FALSE(viewer.display.reloadFailure);
    EXPECT_NE(viewer.character.sheet.picture, shown);
  }
}

TEST_F(FileIntakeTest, ACharacterReloadKeepsThePlayingStateWhileItHasEntries) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  const std::string withJoy = characterFile("c", "sheet.bmp") + "#PATERN 06 030203\r\n";
  writeFile(charPath, withJoy);
  openCharacterFile(viewer, loader, charPath);
  controls.setChecked(Switch::AutoCharacterReload, true);
  viewer.player.state = 6;
  viewer.player.frame = 2;
  viewer.player.caption = "喜び１";

  // The author edits state 6's sequence and keeps seeing state 6.
  writeFile(charPath, characterFile("c2", "sheet.bmp", "80") + "#PATERN 06 0202\r\n");
  EXPECT_EQ(pollWatchedFiles(viewer, loader, controls, nowMs), PollResult::Nothing);
  // The window puts the new interval into its edit when it hears of a new character.
  EXPECT_EQ(pollWatchedFiles(viewer, loader, controls, nowMs + 200), PollResult::Character);
  EXPECT_EQ(viewer.display.characterName, "c2");
  EXPECT_EQ(viewer.character.frameIntervalMs, 80);
  EXPECT_EQ(viewer.player.state, 6);
  EXPECT_EQ(viewer.player.frame, 2);
  EXPECT_EQ(viewer.player.caption, "喜び１");
  EXPECT_EQ(viewer.character.pattern[6][2], 2);
  EXPECT_EQ(viewer.character.pattern[6][3], kEmptyCel);
  EXPECT_TRUE(viewer.character.enablesButton(6));

  // State 6 removed: back to state 1 under "状態", as after a load.
  writeFile(charPath, characterFile("c3", "sheet.bmp"));
  pollSettled();
  EXPECT_EQ(viewer.display.characterName, "c3");
  EXPECT_EQ(viewer.player.state, 1);
  EXPECT_EQ(viewer.player.caption, "状態");
  EXPECT_FALSE(viewer.character.enablesButton(6));
}

}  // namespace
}  // namespace patapata
