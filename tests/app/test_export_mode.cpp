#include "run_patapata.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace patapata::testing {
namespace {

// The bundled sample: few colours, and a state with a layer clipped at the view's edge.
const std::string kSample = std::string(PATAPATA_TEST_DATA) + "/../../samples/hiyoko/hiyoko.chp";
// A sheet with many colours.
const std::string kMulti = std::string(PATAPATA_TEST_DATA) + "/player/render/multi.chp";

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using Gif = std::unique_ptr<GifFileType, GifCloser>;

Gif readGif(const std::string& path) {
  int error = 0;
  Gif gif(DGifOpenFileName(path.c_str(), &error));
  if (gif && DGifSlurp(gif.get()) != GIF_OK) return nullptr;
  return gif;
}

QRgb gifPixel(const GifFileType& gif, int frame, int x, int y) {
  const SavedImage& image = gif.SavedImages[frame];
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif.SColorMap;
  const GifColorType c = map->Colors[image.RasterBits[y * image.ImageDesc.Width + x]];
  return qRgb(c.Red, c.Green, c.Blue);
}

/// The frames `--render` writes for the same state: what the export must show.
std::vector<QImage> renderedFrames(const QTemporaryDir& dir, const std::string& state, int count) {
  const std::string prefix = (dir.path() + "/r").toStdString();
  const ProcessResult run = runPatapata(
      {"--render", kSample, "--state", state, "--ticks", std::to_string(count), "--out", prefix});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<QImage> frames;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "-%04d.png", i);
    frames.emplace_back(QString::fromStdString(prefix + name));
    EXPECT_FALSE(frames.back().isNull());
  }
  return frames;
}

TEST(ExportMode, GifHoldsOnePassOfTheStateWithExactColours) {
  QTemporaryDir dir;
  const std::string out = (dir.path() + "/joy.gif").toStdString();
  const ProcessResult run = runPatapata({"--export", kSample, "--state", "6", "-o", out});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const Gif gif = readGif(out);
  ASSERT_TRUE(gif);
  // State 6 has five frames; the GIF is exactly one pass.
  ASSERT_EQ(gif->ImageCount, 5);
  EXPECT_EQ(gif->SWidth, 121);
  EXPECT_EQ(gif->SHeight, 271);
  const std::vector<QImage> expected = renderedFrames(dir, "6", 5);
  for (int f = 0; f < 5; ++f) {
    SCOPED_TRACE(f);
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), f, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, 12);  // #ANIME 120: twelve hundredths of a second
    int mismatches = 0;
    for (int y = 0; y < 271; ++y) {
      for (int x = 0; x < 121; ++x) {
        if (gifPixel(*gif, f, x, y) != expected[f].pixel(x, y)) {
          ++mismatches;
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
  // Loops for ever: the application extension of the first frame says so.
  bool loops = false;
  const SavedImage& first = gif->SavedImages[0];
  for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
    const ExtensionBlock& b = first.ExtensionBlocks[i];
    if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
        std::string(reinterpret_cast<const char*>(b.Bytes), 11) == "NETSCAPE2.0") {
      const ExtensionBlock& data = first.ExtensionBlocks[i + 1];
      loops = data.ByteCount == 3 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
    }
  }
  EXPECT_TRUE(loops);
}

TEST(ExportMode, PngStripIsTheFramesSideBySideScaledWithoutSmoothing) {
  QTemporaryDir dir;
  const std::string out = (dir.path() + "/strip.PNG").toStdString();
  const ProcessResult run =
      runPatapata({"--export", kSample, "--state", "6", "-o", out, "--scale", "3"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QImage strip(QString::fromStdString(out));
  ASSERT_EQ(strip.width(), 5 * 121 * 3);
  ASSERT_EQ(strip.height(), 271 * 3);
  const std::vector<QImage> expected = renderedFrames(dir, "6", 5);
  int mismatches = 0;
  for (int f = 0; f < 5; ++f) {
    for (int y = 0; y < 271 * 3; ++y) {
      for (int x = 0; x < 121 * 3; ++x) {
        if (strip.pixel(f * 363 + x, y) != expected[f].pixel(x / 3, y / 3)) ++mismatches;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// A sheet whose backdrop has far more than 256 colours: a GIF cannot show it exactly.
std::string writeManyColourCharacter(const QTemporaryDir& dir) {
  QImage sheet(121, 271, QImage::Format_RGB888);
  for (int y = 0; y < 271; ++y) {
    for (int x = 0; x < 121; ++x) sheet.setPixel(x, y, qRgb(x * 2, y % 256, (x * y) % 251));
  }
  EXPECT_TRUE(sheet.save(dir.path() + "/many.bmp", "BMP"));
  const std::string chp = (dir.path() + "/many.chp").toStdString();
  std::ofstream(chp) << "#CHARBMP many.bmp\r\n#1 0 0 121 271\r\n#PATERN 01 0101\r\n";
  return chp;
}

TEST(ExportMode, MoreThan256ColoursIsAClearErrorForGifButFineForPng) {
  QTemporaryDir dir;
  const std::string chp = writeManyColourCharacter(dir);
  const ProcessResult gif =
      runPatapata({"--export", chp, "-o", (dir.path() + "/x.gif").toStdString()});
  EXPECT_EQ(gif.exitCode, 1);
  EXPECT_NE(gif.err.find("more than 256 colours"), std::string::npos) << gif.err;
  const ProcessResult png =
      runPatapata({"--export", chp, "-o", (dir.path() + "/x.png").toStdString()});
  EXPECT_EQ(png.exitCode, 0) << png.err;
}

TEST(ExportMode, ExitStatuses) {
  QTemporaryDir dir;
  const std::string gif = (dir.path() + "/o.gif").toStdString();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"--export", kMulti}, 2},  // no output
      {{"--export", kMulti, "-o", (dir.path() + "/o.jpg").toStdString()}, 2},
      {{"--export", kMulti, "-o", gif, "--scale", "9"}, 2},
      {{"--export", kMulti, "-o", gif, "--scale", "0"}, 2},
      {{"--export", kMulti, "-o", gif, "--state", "9"}, 2},  // no button plays 9
      {{"--export", kMulti, "-o", gif, "--depth", "24"}, 2},
      {{"--export", kMulti, "-o", gif, "--frobnicate", "1"}, 2},
      {{"--export", (dir.path() + "/none.chp").toStdString(), "-o", gif}, 1},
      {{"--export", kSample, "-o", gif, "--depth", "16"}, 0},
      {{"--frobnicate"}, 2},
      {{"--version"}, 0},
      {{"--help"}, 0},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    const ProcessResult run = runPatapata(c.args);
    EXPECT_EQ(run.exitCode, c.status) << run.err;
  }
}

TEST(CommandLine, HelpDescribesEveryMode) {
  const ProcessResult run = runPatapata({"--help"});
  ASSERT_EQ(run.exitCode, 0);
  for (const char* mode : {"--check", "--render", "--export", "--version", "FILE.chp"}) {
    EXPECT_NE(run.out.find(mode), std::string::npos) << mode;
  }
}

}  // namespace
}  // namespace patapata::testing
