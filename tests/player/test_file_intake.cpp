#include "player/file_intake.h"

#include "character/state_buttons.h"
#include "character/viewer_state.h"
#include "common/errors.h"
#include "common/file_age.h"
#include "common/memory_controls.h"
#include "player/test_file_intake_files.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

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
        draw(std::make_unique<TDirectDraw>(service)) {
    state.CGSurface = std::make_unique<TDirectDrawSurface>(draw.get());
    sheetPath = dir.file("sheet.bmp");
    charPath = dir.file("chara.chp");
  }
  ~FileIntakeTest() override { state.CGSurface.reset(); }

  uint32_t sheetKey() const { return state.CGSurface->ISurface()->colorKeyLow(); }
  int32_t sheetWidth() const { return state.CGSurface->Width(); }

  /// Sets the sheet file's modification time to `base` + `offset`.
  void touchSheet(std::filesystem::file_time_type base, std::chrono::milliseconds offset) {
    std::filesystem::last_write_time(sheetPath, base + offset);
  }

  TempDir dir;
  std::shared_ptr<platform::SurfaceService> service;
  std::unique_ptr<TDirectDraw> draw;
  ViewerState state;
  MemoryControls controls;
  std::string sheetPath;
  std::string charPath;
};

TEST_F(FileIntakeTest, DropRecordsThePathEnablesTheButtonsAndLoads) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("ひよこ", "sheet.bmp"));

  WMDropFiles(state, controls, charPath);

  EXPECT_EQ(state.CharFileName, charPath);
  for (ControlId id : {ControlId::reload, ControlId::CGreload, ControlId::buttonck}) {
    EXPECT_TRUE(controls.isEnabled(id)) << controlName(id);
  }
  EXPECT_TRUE(controls.isEnabled(ControlId::Button1));
  EXPECT_TRUE(state.CharLoaded);
  EXPECT_EQ(controls.caption(ControlId::Label1), "ひよこ");
  EXPECT_EQ(state.CGFileName, sheetPath);
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
    try {
      WMDropFiles(state, fresh, c.path);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(state.CharFileName, c.path);
    EXPECT_TRUE(fresh.isEnabled(ControlId::reload));
    EXPECT_TRUE(fresh.isEnabled(ControlId::CGreload));
    EXPECT_TRUE(fresh.isEnabled(ControlId::buttonck));
    EXPECT_FALSE(state.CharLoaded);
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

  WMDropFiles(state, controls, path);

  EXPECT_EQ(state.CharFileName, path);
  EXPECT_TRUE(state.CharLoaded);
  EXPECT_EQ(controls.caption(ControlId::Label1), "long");
}

TEST_F(FileIntakeTest, ReloadTriesTheDroppedPathAgain) {
  writeFile(sheetPath, bmp24(8, 8, kRed, kRed));
  writeFile(charPath, "#ANIME fast\r\n");
  EXPECT_THROW(WMDropFiles(state, controls, charPath), EConvertError);
  EXPECT_FALSE(state.CharLoaded);

  writeFile(charPath, characterFile("fixed", "sheet.bmp", "250"));
  reloadClick(state, controls);

  EXPECT_TRUE(state.CharLoaded);
  EXPECT_EQ(controls.caption(ControlId::Label1), "fixed");
  EXPECT_EQ(state.FrameInterval, 250);

  std::filesystem::remove(charPath);
  try {
    reloadClick(state, controls);
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.message(), "ファイル " + charPath + " は開けません");
  }
  EXPECT_FALSE(controls.isEnabled(ControlId::Button1));
  EXPECT_EQ(controls.caption(ControlId::Label2), "状態");
}

TEST_F(FileIntakeTest, CGreloadTakesTheNewPictureItsSizeAndItsCornerColour) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
  const FileAge first = state.CGFileAge;

  writeFile(sheetPath, bmp24(30, 12, kRed, kBlue));
  CGreloadClick(state);

  EXPECT_EQ(sheetWidth(), 30);
  EXPECT_EQ(state.CGSurface->Height(), 12);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(state.CGFileAge, fileAge(sheetPath));
  EXPECT_NE(state.CGFileAge, first);
  EXPECT_EQ(state.AnimState, 1);
}

TEST_F(FileIntakeTest, CGreloadOfAMissingSheetStoresTheMissingStampAndKeepsThePicture) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
  std::filesystem::remove(sheetPath);

  try {
    CGreloadClick(state);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "ファイル " + sheetPath + " は開けません");
  }
  EXPECT_TRUE(state.CGFileAge.isMissing());
  EXPECT_EQ(sheetWidth(), 20);
  EXPECT_EQ(sheetKey(), kGreen);
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetNameReportsTheEmptyExtension) {
  try {
    CGreloadClick(state);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "拡張子 . の画像形式は処理できません");
  }
  EXPECT_TRUE(state.CGFileAge.isMissing());
}

TEST_F(FileIntakeTest, CGreloadWithoutASheetSurfaceReportsItAndTouchesNothing) {
  writeFile(sheetPath, bmp24(4, 4, kRed, kRed));
  state.CGSurface.reset();
  state.CGFileName = sheetPath;
  state.CGFileAge = FileAge{123, 4};
  controls.setChecked(ControlId::autocgload, true);

  try {
    CGreloadClick(state);
    ADD_FAILURE() << "no error";
  } catch (const EDirectDrawSurfaceError& e) {
    EXPECT_EQ(e.message(), "IDirectDrawSurface は作成されていません");
  }
  EXPECT_THROW(pollSheet(state, controls), EDirectDrawSurfaceError);
  EXPECT_EQ(state.CGFileAge, (FileAge{123, 4}));
}

TEST_F(FileIntakeTest, AutocgloadTogglesItsOwnMark) {
  const bool expected[] = {true, false, true};
  for (const bool mark : expected) {
    autocgloadClick(controls);
    EXPECT_EQ(controls.isChecked(ControlId::autocgload), mark);
  }
}

TEST_F(FileIntakeTest, PollReloadsOnlyWhenSwitchedOnNamedAndChanged) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
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
    controls.setChecked(ControlId::autocgload, s.autoReload);
    if (s.rewrite) {
      writeFile(sheetPath, bmp24(20, 10, kRed, s.corner));
      touchSheet(base, std::chrono::milliseconds(offsetMs += 3000));
    }
    pollSheet(state, controls);
    EXPECT_EQ(sheetKey(), s.expectedKey);
  }
}

TEST_F(FileIntakeTest, TwoSavesWithinTwoSecondsAreBothSeen) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
  controls.setChecked(ControlId::autocgload, true);
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
    pollSheet(state, controls);
    EXPECT_EQ(sheetKey(), s.corner);
    EXPECT_EQ(sheetWidth(), s.width);
  }
}

TEST_F(FileIntakeTest, PollOfARemovedSheetFailsOnceThenWaitsForItsReturn) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
  controls.setChecked(ControlId::autocgload, true);

  std::filesystem::remove(sheetPath);
  EXPECT_THROW(pollSheet(state, controls), Exception);
  EXPECT_TRUE(state.CGFileAge.isMissing());
  EXPECT_NO_THROW(pollSheet(state, controls));
  EXPECT_EQ(sheetKey(), kGreen);

  writeFile(sheetPath, bmp24(20, 10, kRed, kBlue));
  pollSheet(state, controls);
  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_FALSE(state.CGFileAge.isMissing());
}

TEST_F(FileIntakeTest, PollWithoutASheetNameDoesNothing) {
  controls.setChecked(ControlId::autocgload, true);
  EXPECT_NO_THROW(pollSheet(state, controls));
  EXPECT_EQ(state.CGFileAge, FileAge{});
  EXPECT_EQ(sheetWidth(), 0);
}

TEST_F(FileIntakeTest, PollLeavesTheCharacterAlone) {
  writeFile(sheetPath, bmp24(20, 10, kRed, kGreen));
  writeFile(charPath, characterFile("c", "sheet.bmp"));
  WMDropFiles(state, controls, charPath);
  controls.setChecked(ControlId::autocgload, true);
  state.AnimState = 6;
  state.AnimFrame = 3;
  writeFile(charPath, characterFile("changed", "sheet.bmp"));
  writeFile(sheetPath, bmp24(24, 10, kRed, kBlue));

  pollSheet(state, controls);

  EXPECT_EQ(sheetKey(), kBlue);
  EXPECT_EQ(state.AnimState, 6);
  EXPECT_EQ(state.AnimFrame, 3);
  EXPECT_EQ(controls.caption(ControlId::Label1), "c");
}

}  // namespace
}  // namespace patapata
