#include "player/character_source.h"

#include "common/file_read.h"
#include "common/memory_controls.h"
#include "player/file_intake.h"
#include "player/viewer.h"
#include "support/character_files.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace patapata {
namespace {

using testfiles::writeFile;

// Two 10 × 20 frames side by side, the second `secondMs` long, tagged "joy 1" and "blink".
std::string sheetJson(const std::string& image = "\"sheet.bmp\"", int secondMs = 200) {
  std::string frames;
  for (const int x : {0, 10}) {
    frames +=
        (frames.empty() ? "{\"frame\": {\"x\": " : ", {\"frame\": {\"x\": ") + std::to_string(x) +
        ", \"y\": 0, \"w\": 10, \"h\": 20}, \"spriteSourceSize\": {\"x\": 0, \"y\": 0, \"w\": "
        "10, \"h\": 20}, \"sourceSize\": {\"w\": 10, \"h\": 20}, \"duration\": " +
        std::to_string(x == 0 ? 100 : secondMs) + "}";
  }
  return "{\"frames\": [" + frames + "], \"meta\": {\"image\": " + image +
         R"(, "frameTags": [{"name": "joy 1", "from": 0, "to": 1, "direction": "forward"},
                            {"name": "blink", "from": 0, "to": 0, "direction": "forward"}]}})";
}

class CharacterSourceTest : public ::testing::Test {
 protected:
  CharacterSourceTest() {
    loader = [service = std::make_shared<platform::SurfaceService>()](const std::string& path) {
      return SheetPicture::load(*service, path);
    };
    writeFile(dir.file("sheet.bmp"), testfiles::bmp24(20, 20, 0xFF0000, 0x00FF00));
    writeFile(json, sheetJson());
    openCharacterFile(viewer, loader, json);
  }

  testfiles::TempDir dir;
  std::string json = dir.file("blob.JSON");
  SheetLoader loader;
  Viewer viewer;
};

// Catches a re-export that is not picked up, a JSON caught mid-save shown or reported, a bad
// one that replaces the last good character instead of saying why, located in lines of a
// text the author never saw, and the import's warnings lost.
TEST_F(CharacterSourceTest, AJsonPlaysAndIsReloadedBySettleAndSwap) {
  ASSERT_EQ(viewer.display.warnings.size(), 1u);
  EXPECT_EQ(viewer.display.warnings[0].line, 0);
  EXPECT_EQ(viewer.display.warnings[0].message.id, MessageId::AsepriteUnknownTag);
  MemoryControls controls;
  controls.setChecked(Switch::AutoCharacterReload, true);
  const std::string good = sheetJson("\"sheet.bmp\"", 150);
  struct Case {
    const char* name;
    std::string text;
    std::optional<MessageId> failure;
    int32_t interval;  // as shown afterwards
  };
  const Case cases[] = {
      {"cut short", good.substr(0, good.size() / 2), std::nullopt, 100},
      {"a number for the sheet", sheetJson("5"), MessageId::AsepriteNotAString, 100},
      {"a sheet not there", sheetJson("\"gone.bmp\""), MessageId::CannotOpenFile, 100},
      {"re-exported", good, std::nullopt, 50},
  };
  uint32_t nowMs = 1000;
  int saves = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(json, c.text);
    std::filesystem::last_write_time(
        json, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++saves));
    for (int i = 0; i < 2; ++i) pollWatchedFiles(viewer, loader, controls, nowMs += 200);
    const auto& failure = viewer.display.reloadFailure;
    EXPECT_EQ(failure ? std::optional(failure->message.id) : std::nullopt, c.failure);
    if (failure) {
      EXPECT_EQ(failure->line, 0);
    }
    EXPECT_EQ(viewer.character.frameIntervalMs, c.interval);
    EXPECT_TRUE(viewer.character.enablesButton(6));
  }
}

// Catches a saved file whose #CHARBMP misses the sheet from its own folder, and a save over
// the JSON or its sheet (which the author's tools own) that goes through.
TEST_F(CharacterSourceTest, SavingWritesTheCharacterFileButNeverOverItsSources) {
  for (const std::string& source : {json, dir.file("sheet.bmp")}) {
    SCOPED_TRACE(source);
    const std::optional<FileBytes> before = readWholeFile(source);
    try {
      saveAsCharacterFile(json, source, Replace::Allowed);
      ADD_FAILURE() << "saved over " << source;
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), MessageId::AsepriteOutputIsSource);
    }
    EXPECT_EQ(readWholeFile(source), before);
  }
  std::filesystem::create_directory(dir.path() / "out");
  const std::string out = dir.file("out/blob.chp");
  saveAsCharacterFile(json, out, Replace::Never);
  // What was saved plays as the JSON does.
  const Character fromJson = viewer.character;
  openCharacterFile(viewer, loader, out);
  EXPECT_EQ(viewer.character.pattern, fromJson.pattern);
  EXPECT_EQ(viewer.character.cels, fromJson.cels);
  EXPECT_EQ(viewer.character.sheet.path, dir.file("out/../sheet.bmp"));
}

}  // namespace
}  // namespace patapata
