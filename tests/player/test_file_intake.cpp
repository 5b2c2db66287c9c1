#include "player/file_intake.h"

#include "character/viewer_state.h"
#include "common/errors.h"
#include "common/file_stamp.h"
#include "common/memory_controls.h"
#include "player/test_file_intake_files.h"
#include "surfaces/draw_context.h"
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
  FileIntakeTest()
      : service(std::make_shared<platform::SurfaceService>()),
        draw(std::make_unique<DrawContext>(service)) {
    viewer.sheet = std::make_unique<Surface>(draw.get());
    sheetPath = dir.file("sheet.bmp");
    charPath = dir.file("chara.chp");
  }
  ~FileIntakeTest() override { viewer.sheet.reset(); }

  uint32_t sheetKey() const { return viewer.sheet->sourceKey(); }
  int32_t sheetWidth() const { return viewer.sheet->width(); }

  /// Sets the sheet file's modification time to `base` + `offset`.
  void touchSheet(std::filesystem::file_time_type base, std::chrono::milliseconds offset) {
    std::filesystem::last_write_time(sheetPath, base + offset);
  }

  TempDir dir;
  std::shared_ptr<platform::SurfaceService> service;
  std::unique_ptr<DrawContext> draw;
  ViewerState viewer;
  MemoryControls controls;
  std::string sheetPath;
  std::string charPath;
};

TEST_F(FileIntakeTest, DropRecordsThePathEnablesTheButtonsAndLoads) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("ひよこ", "sheet.bmp"));

  openDroppedFile(viewer, controls, charPath);

  EXPECT_EQ(viewer.characterPath, charPath);
  EXPECT_TRUE(viewer.display.reloadEnabled);
  EXPECT_TRUE(viewer.display.patternCheckEnabled);
  EXPECT_TRUE(viewer.display.stateButtonEnabled[1]);
  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "ひよこ");
  EXPECT_EQ(viewer.sheetPath, sheetPath);
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
      openDroppedFile(viewer, fresh, c.path);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(viewer.characterPath, c.path);
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

  openDroppedFile(viewer, controls, path);

  EXPECT_EQ(viewer.characterPath, path);
  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "long");
}

TEST_F(FileIntakeTest, ReloadTriesTheDroppedPathAgain) {
  writeFile(sheetPath, bmp24(8, 8, kRed, kRed));
  writeFile(charPath, "#ANIME fast\r\n");
  EXPECT_THROW(openDroppedFile(viewer, controls, charPath), ConversionError);
  EXPECT_FALSE(viewer.characterLoaded);

  writeFile(charPath, characterFile("fixed", "sheet.bmp", "250"));
  reloadCharacter(viewer, controls);

  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.display.characterName, "fixed");
  EXPECT_EQ(viewer.frameIntervalMs, 250);

  std::filesystem::remove(charPath);
  try {
    reloadCharacter(viewer, controls);
    ADD_FAILURE() << "no error";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(e.message(), "ファイル " + charPath + " は開けません");
  }
  EXPECT_FALSE(viewer.display.stateButtonEnabled[1]);
  EXPECT_EQ(viewer.display.stateCaption, "状態");
}

TEST_F(FileIntakeTest, CGreloadTakesTheNewPictureItsSizeAndItsCornerColour) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
  const FileStamp first = viewer.sheetStamp;

  writeFile(sheetPath, bmp24(30, 12, kRed, kBlue));
  reloadSheet(viewer);

  EXPECT_EQ(sheetWidth(), 30);
  EXPECT_EQ(viewer.sheet->height(), 12);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(viewer.sheetStamp, fileStamp(sheetPath));
  EXPECT_NE(viewer.sheetStamp, first);
  EXPECT_EQ(viewer.state, 1);
}

TEST_F(FileIntakeTest, CGreloadOfAMissingSheetStoresTheMissingStampAndKeepsThePicture) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
  std::filesystem::remove(sheetPath);

  try {
    reloadSheet(viewer);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "ファイル " + sheetPath + " は開けません");
  }
  EXPECT_TRUE(viewer.sheetStamp.isMissing());
  EXPECT_EQ(sheetWidth(), 20);
  EXPECT_EQ(sheetKey(), kGreen);
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetNameReportsTheEmptyExtension) {
  try {
    reloadSheet(viewer);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "拡張子 . の画像形式は処理できません");
  }
  EXPECT_TRUE(viewer.sheetStamp.isMissing());
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetSurfaceReportsItAndTouchesNothing) {
  writeFile(sheetPath, bmp24(4, 4, kRed, kRed));
  viewer.sheet.reset();
  viewer.sheetPath = sheetPath;
  viewer.sheetStamp = FileStamp{123, 4};
  controls.setChecked(Switch::AutoSheetReload, true);

  try {
    reloadSheet(viewer);
    ADD_FAILURE() << "no error";
  } catch (const SurfaceError& e) {
    EXPECT_EQ(e.message(), "IDirectDrawSurface は作成されていません");
  }
  EXPECT_THROW(pollSheet(viewer, controls), SurfaceError);
  EXPECT_EQ(viewer.sheetStamp, (FileStamp{123, 4}));
}

TEST_F(FileIntakeTest, AutocgloadTogglesItsOwnMark) {
  const bool expected[] = {true, false, true};
  for (const bool mark : expected) {
    toggleAutoSheetReload(controls);
    EXPECT_EQ(controls.isChecked(Switch::AutoSheetReload), mark);
  }
}

TEST_F(FileIntakeTest, PollReloadsOnlyWhenSwitchedOnNamedAndChanged) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
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
    pollSheet(viewer, controls);
    EXPECT_EQ(sheetKey(), s.expectedKey);
  }
}

TEST_F(FileIntakeTest, TwoSavesWithinTwoSecondsAreBothSeen) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
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
    pollSheet(viewer, controls);
    EXPECT_EQ(sheetKey(), s.corner);
    EXPECT_EQ(sheetWidth(), s.width);
  }
}

TEST_F(FileIntakeTest, PollOfARemovedSheetFailsOnceThenWaitsForItsReturn) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);

  std::filesystem::remove(sheetPath);
  EXPECT_THROW(pollSheet(viewer, controls), Exception);
  EXPECT_TRUE(viewer.sheetStamp.isMissing());
  EXPECT_NO_THROW(pollSheet(viewer, controls));
  EXPECT_EQ(sheetKey(), kGreen);

  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  pollSheet(viewer, controls);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_FALSE(viewer.sheetStamp.isMissing());
}

TEST_F(FileIntakeTest, PollWithoutASheetNameDoesNothing) {
  controls.setChecked(Switch::AutoSheetReload, true);
  EXPECT_NO_THROW(pollSheet(viewer, controls));
  EXPECT_EQ(viewer.sheetStamp, FileStamp{});
  EXPECT_EQ(sheetWidth(), 0);
}

TEST_F(FileIntakeTest, PollLeavesTheCharacterAlone) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  openDroppedFile(viewer, controls, charPath);
  controls.setChecked(Switch::AutoSheetReload, true);
  viewer.state = 6;
  viewer.frame = 3;
  writeFile(charPath, characterFile("changed", "sheet.bmp"));
  writeFile(sheetPath, bmp24(24, 10, kRed, kBlue));

  pollSheet(viewer, controls);

  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(viewer.state, 6);
  EXPECT_EQ(viewer.frame, 3);
  EXPECT_EQ(viewer.display.characterName, "c");
}

}  // namespace
}  // namespace patapata
