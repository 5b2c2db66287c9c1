#include "support/character_files.h"
#include "support/window_under_test.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/save_as_character_action.h"
#include "window/view_widget.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace patapata {
namespace {

using testfiles::TempDir;
using testfiles::writeFile;

// Two 10 × 20 frames, red then blue, lasting `ms` each; tagged "normal 1" and "blink".
std::string blobJson(int ms) {
  std::string frames;
  for (const int x : {0, 10}) {
    frames += std::string(frames.empty() ? "" : ", ") + "{\"frame\": {\"x\": " + std::to_string(x) +
              ", \"y\": 0, \"w\": 10, \"h\": 20}, \"spriteSourceSize\": {\"x\": 0, \"y\": 0, "
              "\"w\": 10, \"h\": 20}, \"sourceSize\": {\"w\": 10, \"h\": 20}, \"duration\": " +
              std::to_string(ms) + "}";
  }
  return "{\"frames\": [" + frames +
         R"(], "meta": {"image": "sheet.bmp", "frameTags": [
           {"name": "normal 1", "from": 0, "to": 1, "direction": "forward"},
           {"name": "blink", "from": 0, "to": 0, "direction": "forward"}]}})";
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class AsepriteWindowTest : public ::testing::Test, public testing::WindowUnderTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(open());
    writeFile(dir.file("sheet.bmp"), testing::bmp24Bytes(20, 21, [](int32_t x, int32_t y) {
                return y == 20 ? 0x00FF00u : x < 10 ? 0xFF0000u : 0x0000FFu;
              }));
    writeFile(json, blobJson(100));
    drop({json});
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->viewer().characterLoaded; }))
        << (errors.empty() ? "" : errors.front());
  }

  void TearDown() override { close(); }

  template <typename T>
  T* child(const char* name) {
    return form->findChild<T*>(QString::fromUtf8(name));
  }

  TempDir dir;
  std::string json = dir.file("blob.json");
};

// Catches a dropped JSON refused or read as a character file, the import's warnings missing
// from the status line, and a re-export that the automatic reload does not show.
TEST_F(AsepriteWindowTest, ADroppedJsonPlaysAndARewriteIsReloaded) {
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(child<QLabel>("characterName")->text(), QStringLiteral("blob"));
  const auto shows = [&](QColor colour) {
    return QTest::qWaitFor(
        [&] { return form->view().grab().toImage().pixelColor(5, 10) == colour; });
  };
  EXPECT_TRUE(shows(Qt::red));
  EXPECT_TRUE(shows(Qt::blue));
  QLabel* status = child<QLabel>("statusLine");
  EXPECT_EQ(status->text(), QStringLiteral("警告 1 件（ここにポインタを置くと表示）"));
  EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("タグ 'blink' はどの状態にも当たらない")))
      << status->toolTip().toStdString();

  child<QAction>("autoCharacterReload")->trigger();
  writeFile(json, blobJson(300));
  std::filesystem::last_write_time(
      json, std::filesystem::last_write_time(json) + std::chrono::seconds(2));
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->viewer().character.frameIntervalMs == 300; }));
  EXPECT_EQ(child<QLineEdit>("intervalEdit")->text(), QStringLiteral("300"));
  EXPECT_TRUE(errors.empty());
}

// Catches the save item offered for a character file, a file replaced without asking, and a
// save over the JSON that goes through instead of being reported.
TEST_F(AsepriteWindowTest, SavingAsACharacterFileAsksBeforeReplacing) {
  auto* saver = form->findChild<SaveAsCharacterAction*>();
  ASSERT_NE(saver, nullptr);
  QAction* item = child<QAction>("saveAsCharacterItem");
  emit child<QMenu>("fileMenu")->aboutToShow();
  ASSERT_TRUE(item->isEnabled());
  std::string destination = dir.file("saved.chp");
  std::string suggested;
  int asked = 0;
  saver->setDestinationChooser([&](const std::string& name) {
    suggested = name;
    return std::optional<std::string>(destination);
  });
  saver->setReplaceQuestion([&](const std::string&) { return ++asked > 1; });

  item->trigger();
  EXPECT_EQ(suggested, dir.file("blob.chp"));
  EXPECT_NE(readFile(destination).find("\n#CHARBMP sheet.bmp\n"), std::string::npos);
  writeFile(destination, "old");
  item->trigger();  // declined
  EXPECT_EQ(readFile(destination), "old");
  item->trigger();  // agreed
  EXPECT_NE(readFile(destination).find("#PATERN 01 "), std::string::npos);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(errors.empty());

  destination = json;
  item->trigger();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(json), std::string::npos) << errors[0];
  EXPECT_EQ(readFile(json), blobJson(100));

  drop({dir.file("saved.chp")});
  ASSERT_EQ(form->viewer().files.characterPath, dir.file("saved.chp"));
  emit child<QMenu>("fileMenu")->aboutToShow();
  EXPECT_FALSE(item->isEnabled());
}

}  // namespace
}  // namespace patapata
