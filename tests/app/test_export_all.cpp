#include "export_files.h"
#include "run_patapata.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata::testing {
namespace {

// The states of the multi test file that have entries, in order, with the frames of a pass.
struct StatePass {
  int state;
  int frames;
  const char* english;
};
constexpr StatePass kMultiStates[] = {
    {1, 2, "normal1"}, {6, 3, "joy1"}, {10, 2, "damage1"}, {30, 2, "patterncheck"}};

bool hasDarkPixel(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 100) return true;
    }
  }
  return false;
}

bool isBlank(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != image.pixel(0, 0)) return false;
    }
  }
  return true;
}

TEST(ExportAllStates, SheetHasALabelledRowPerStateWithEntries) {
  QTemporaryDir dir;
  const std::string out = (dir.path() + "/sheet.png").toStdString();
  const ProcessResult run =
      runPatapata({"--export", multiCharacter(), "--all", "-o", out, "--scale", "2"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QImage sheet = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  constexpr int kW = 121 * 2;
  constexpr int kH = 271 * 2;
  ASSERT_EQ(sheet.height(), 4 * kH);
  const int labelWidth = sheet.width() - 3 * kW;  // state 6 has the longest pass
  ASSERT_GT(labelWidth, 0);
  for (std::size_t row = 0; row < std::size(kMultiStates); ++row) {
    const StatePass& s = kMultiStates[row];
    SCOPED_TRACE(s.state);
    const int top = static_cast<int>(row) * kH;
    EXPECT_TRUE(hasDarkPixel(sheet.copy(0, top, labelWidth, kH)));  // number and caption
    const std::vector<QImage> expected = renderedFrames(multiCharacter(), s.state, s.frames);
    for (int f = 0; f < s.frames; ++f) {
      SCOPED_TRACE(f);
      EXPECT_EQ(
          differentPixels(sheet.copy(labelWidth + f * kW, top, kW, kH), enlarged(expected[f], 2)),
          0);
    }
    if (s.frames < 3) {
      EXPECT_TRUE(isBlank(sheet.copy(labelWidth + s.frames * kW, top, kW, kH)));
    }
  }
}

TEST(ExportAllStates, FolderHoldsAnAnimationPerStateWithEntries) {
  for (const std::string format : {"gif", "webp"}) {
    SCOPED_TRACE(format);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/states";
    std::vector<std::string> args{"--export", multiCharacter(), "--all", "-o",
                                  folder.toStdString() + "/"};
    if (format == "webp") args.insert(args.end(), {"--format", "webp"});
    const ProcessResult run = runPatapata(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    QStringList expectedNames;
    std::string printed;
    for (const StatePass& s : kMultiStates) {
      const std::string name = "multi-" + std::to_string(s.state) + "-" + s.english + "." + format;
      expectedNames << QString::fromStdString(name);
      printed += folder.toStdString() + "/" + name + "\n";
      const std::string path = folder.toStdString() + "/" + name;
      SCOPED_TRACE(name);
      if (format == "gif") {
        EXPECT_EQ(readGif(path).frames.size(), static_cast<std::size_t>(s.frames));
      } else {
        const WebpFile webp = readWebp(path);
        ASSERT_FALSE(webp.endMs.empty());
        EXPECT_EQ(webp.endMs.back(), 50 * s.frames);  // #ANIME 50
      }
    }
    expectedNames.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expectedNames);
    EXPECT_EQ(run.out, printed);
  }
}

}  // namespace
}  // namespace patapata::testing
