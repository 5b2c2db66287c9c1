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

using testfiles::bmp24;
using testfiles::TempDir;
using testfiles::writeFile;

// Two 10 × 20 frames side by side, the second `secondMs` long, and the tags given (JSON text).
std::string sheetJson(const std::string& tags, const std::string& image = "\"sheet.bmp\"",
                      int secondMs = 200) {
  const auto frame = [](int x, int ms) {
    return "{\"frame\": {\"x\": " + std::to_string(x) +
           ", \"y\": 0, \"w\": 10, \"h\": 20}, \"spriteSourceSize\": {\"x\": 0, \"y\": 0, \"w\": "
           "10, \"h\": 20}, \"sourceSize\": {\"w\": 10, \"h\": 20}, \"duration\": " +
           std::to_string(ms) + "}";
  };
  return "{\"frames\": [" + frame(0, 100) + ", " + frame(10, secondMs) +
         "], \"meta\": {\"image\": " + image + ", \"frameTags\": [" + tags + "]}}";
}

const std::string kJoy = R"({"name": "joy 1", "from": 0, "to": 1, "direction": "forward"})";
const std::string kBlink = R"({"name": "blink", "from": 0, "to": 0, "direction": "forward"})";

class CharacterSourceTest : public ::testing::Test {
 protected:
  CharacterSourceTest() : service(std::make_shared<platform::SurfaceService>()) {
    loader = [service = service](const std::string& path) {
      return SheetPicture::load(*service, path);
    };
    json = dir.file("blob.JSON");
    writeFile(dir.file("sheet.bmp"), bmp24(20, 20, 0xFF0000, 0x00FF00));
  }

  /// Polls as two ticks 200 ms apart do, after giving `path` a modification time of its own.
  void pollAfterSaving(const std::string& path) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++saves));
    for (int i = 0; i < 2; ++i) pollWatchedFiles(viewer, loader, controls, nowMs += 200);
  }

  TempDir dir;
  std::shared_ptr<platform::SurfaceService> service;
  SheetLoader loader;
  Viewer viewer;
  MemoryControls controls;
  std::string json;
  uint32_t nowMs = 1000;
  int saves = 0;
};

// Catches a JSON refused as no character file or read as one, the import's warnings lost,
// and a failed import that records no file to reload or locates its error in a text the
// author never saw.
TEST_F(CharacterSourceTest, OpeningAJsonPlaysItConvertedOrSaysWhyNot) {
  struct Case {
    const char* name;
    std::string text;
    std::optional<MessageId> error;
  };
  const Case cases[] = {
      {"tagged", sheetJson(kJoy + ", " + kBlink), std::nullopt},
      {"malformed", "{\"frames\": ]", MessageId::AsepriteJsonMalformed},
      {"no sheet", sheetJson(kJoy, "\"gone.bmp\""), MessageId::CannotOpenFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(json, c.text);
    Viewer opened;
    try {
      openCharacterFile(opened, loader, json);
      EXPECT_FALSE(c.error);
      EXPECT_TRUE(opened.character.enablesButton(6));
      EXPECT_EQ(opened.character.frameIntervalMs, 100);
      EXPECT_EQ(opened.display.characterName, "blob");
      EXPECT_EQ(opened.character.sheet.path, dir.file("sheet.bmp"));
      ASSERT_EQ(opened.display.warnings.size(), 1u);
      EXPECT_EQ(opened.display.warnings[0].line, 0);
      EXPECT_EQ(opened.display.warnings[0].message.id, MessageId::AsepriteUnknownTag);
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), c.error) << e.what();
      EXPECT_EQ(e.location(), (FileLocation{json, 0}));
      EXPECT_FALSE(opened.characterLoaded);
    }
    EXPECT_EQ(opened.files.characterPath, json);
    EXPECT_TRUE(opened.display.reloadEnabled);
  }
}

// Catches a re-export that is not picked up, a JSON caught mid-save shown or reported, and a
// bad one that replaces the last good character instead of saying why on the status line.
TEST_F(CharacterSourceTest, ARewrittenJsonIsReloadedBySettleAndSwap) {
  writeFile(json, sheetJson(kJoy));
  openCharacterFile(viewer, loader, json);
  controls.setChecked(Switch::AutoCharacterReload, true);
  const std::string good = sheetJson(kJoy, "\"sheet.bmp\"", 150);
  struct Case {
    const char* name;
    std::string text;
    std::optional<MessageId> failure;
    int32_t interval;  // as shown afterwards
  };
  const Case cases[] = {
      {"cut short", good.substr(0, good.size() / 2), std::nullopt, 100},
      {"a number for the sheet's name", sheetJson(kJoy, "5"), MessageId::AsepriteNotAString, 100},
      {"re-exported", good, std::nullopt, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(json, c.text);
    pollAfterSaving(json);
    EXPECT_EQ(viewer.display.reloadFailure.has_value(), c.failure.has_value());
    if (c.failure && viewer.display.reloadFailure) {
      EXPECT_EQ(viewer.display.reloadFailure->message.id, *c.failure);
      EXPECT_EQ(viewer.display.reloadFailure->file, json);
    }
    EXPECT_EQ(viewer.character.frameIntervalMs, c.interval);
    EXPECT_TRUE(viewer.character.enablesButton(6));
  }
}

// Catches a saved file whose #CHARBMP misses the sheet from its own folder, a save over the
// JSON or its sheet, and a file replaced without the author's agreement.
TEST_F(CharacterSourceTest, SavingWritesTheCharacterFileButNeverOverItsSources) {
  writeFile(json, sheetJson(kJoy));
  std::filesystem::create_directory(dir.path() / "out");
  const std::string out = dir.file("out/blob.chp");
  struct Case {
    std::string destination;
    Replace replace;
    std::optional<MessageId> error;  // none for FileExistsError, when `exists`
    bool exists;
  };
  const Case cases[] = {
      {out, Replace::Never, std::nullopt, false},
      {out, Replace::Never, std::nullopt, true},
      {out, Replace::Allowed, std::nullopt, false},
      {json, Replace::Allowed, MessageId::AsepriteOutputIsSource, false},
      {dir.file("sheet.bmp"), Replace::Allowed, MessageId::AsepriteOutputIsSource, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination + (c.replace == Replace::Never ? " never" : " allowed"));
    const std::optional<FileBytes> before = readWholeFile(c.destination);
    if (c.exists) writeFile(c.destination, "old");
    try {
      saveAsCharacterFile(json, c.destination, c.replace);
      EXPECT_FALSE(c.error || c.exists);
    } catch (const FileExistsError&) {
      EXPECT_TRUE(c.exists);
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), c.error);
      EXPECT_EQ(readWholeFile(c.destination), before);
    }
  }
  // What was saved plays as the JSON does.
  openCharacterFile(viewer, loader, json);
  const Character fromJson = viewer.character;
  openCharacterFile(viewer, loader, out);
  EXPECT_EQ(viewer.character.pattern, fromJson.pattern);
  EXPECT_EQ(viewer.character.cels, fromJson.cels);
  EXPECT_EQ(viewer.character.sheet.path, dir.file("out/../sheet.bmp"));
  EXPECT_TRUE(viewer.display.warnings.empty());
}

}  // namespace
}  // namespace patapata
