#include "export_files.h"
#include "run_patapata.h"
#include "support/bmp_writer.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace patapata::testing {
namespace {

std::string inDir(const QTemporaryDir& dir, const char* name) {
  return (dir.path() + "/" + name).toStdString();
}

TEST(ExportMode, GifHoldsOnePassOfTheStateWithExactColours) {
  QTemporaryDir dir;
  const std::string out = inDir(dir, "joy.gif");
  const ProcessResult run = runPatapata({"--export", sampleCharacter(), "--state", "6", "-o", out});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const GifFile gif = readGif(out);
  // State 6 has five frames; the GIF is exactly one pass, and loops.
  ASSERT_EQ(gif.frames.size(), 5u);
  EXPECT_TRUE(gif.loopsForEver);
  const std::vector<QImage> expected = renderedFrames(sampleCharacter(), 6, 5);
  for (int f = 0; f < 5; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(gif.delaysHundredths[f], 12);  // #ANIME 120: twelve hundredths of a second
    EXPECT_EQ(differentPixels(gif.frames[f], expected[f]), 0);
  }
}

QByteArray contents(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample as `dir`/`name`, its sheet saved as `sheet` (BMP or PNG by the name), `more` after.
std::string copyOfSample(const QTemporaryDir& dir, const char* name, const std::string& sheet,
                         const std::string& more = {}) {
  const QString sample = QString::fromStdString(sampleCharacter());
  EXPECT_TRUE(QImage(QString(sample).replace(".chp", ".bmp"))
                  .save(QString::fromStdString(inDir(dir, sheet.c_str()))));
  std::string text = contents(sampleCharacter()).toStdString();
  text.replace(text.find("hiyoko.bmp"), 10, sheet);
  std::ofstream(inDir(dir, name), std::ios::binary) << text << more;
  return inDir(dir, name);
}

// Catches a delay rounded in 32 bits, which wraps for an interval near the limit.
TEST(ExportMode, GifDelaysAreRoundedAndKeptWithinTheFormat) {
  QTemporaryDir dir;
  const std::pair<const char*, int> cases[] = {{"124", 12}, {"125", 13}, {"2147483647", 65535}};
  for (const auto& [interval, hundredths] : cases) {
    SCOPED_TRACE(interval);
    const std::string chp =
        copyOfSample(dir, "c.chp", "s.bmp", std::string("#ANIME ") + interval + "\r\n");
    const ProcessResult run =
        runPatapata({"--export", chp, "--state", "6", "-o", inDir(dir, "o.gif")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readGif(inDir(dir, "o.gif")).delaysHundredths.at(0), hundredths);
  }
}

TEST(ExportMode, PngStripIsTheFramesSideBySideScaledWithoutSmoothing) {
  QTemporaryDir dir;
  const std::string out = inDir(dir, "strip.PNG");
  const ProcessResult run =
      runPatapata({"--export", sampleCharacter(), "--state", "6", "-o", out, "--scale", "3"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QImage strip = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(strip.width(), 5 * 121 * 3);
  ASSERT_EQ(strip.height(), 271 * 3);
  const std::vector<QImage> expected = renderedFrames(sampleCharacter(), 6, 5);
  for (int f = 0; f < 5; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(differentPixels(strip.copy(f * 363, 0, 363, 813), enlarged(expected[f], 3)), 0);
  }
}

// Mean absolute difference per colour channel over every pixel of every frame.
double meanError(const std::vector<QImage>& got, const std::vector<QImage>& expected) {
  double sum = 0;
  long long samples = 0;
  for (std::size_t f = 0; f < got.size() && f < expected.size(); ++f) {
    for (int y = 0; y < got[f].height(); ++y) {
      for (int x = 0; x < got[f].width(); ++x) {
        const QRgb a = got[f].pixel(x, y);
        const QRgb b = expected[f].pixel(x, y);
        sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
        samples += 3;
      }
    }
  }
  return samples == 0 ? 1e9 : sum / static_cast<double>(samples);
}

int colourCount(const std::vector<QImage>& frames) {
  QSet<QRgb> colours;
  for (const QImage& frame : frames) {
    for (int y = 0; y < frame.height(); ++y) {
      for (int x = 0; x < frame.width(); ++x) colours.insert(frame.pixel(x, y));
    }
  }
  return static_cast<int>(colours.size());
}

TEST(ExportMode, ManyColoursShareOnePaletteAndStayClose) {
  QTemporaryDir dir;
  const std::string chp = writeGradientCharacter(dir);
  const std::vector<QImage> expected = renderedFrames(chp, 1, 4);
  ASSERT_GE(colourCount(expected), 1000);
  // Mean error per channel (0-255), measured: 2.74 plain, 2.94 ordered, 3.95 diffused; the
  // bounds sit just above.
  struct Case {
    const char* dither;
    double bound;
  };
  for (const Case& c : {Case{"none", 3.0}, Case{"ordered", 3.2}, Case{"fs", 4.2}}) {
    SCOPED_TRACE(c.dither);
    const std::string out = inDir(dir, "many.gif");
    const ProcessResult run = runPatapata({"--export", chp, "-o", out, "--dither", c.dither});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const GifFile gif = readGif(out);
    ASSERT_EQ(gif.frames.size(), 4u);
    EXPECT_EQ(gif.localMaps, 0);
    EXPECT_LE(gif.globalColours, 256);
    EXPECT_LT(meanError(gif.frames, expected), c.bound);
  }
}

TEST(ExportMode, DitheringChangesHowColoursAreReduced) {
  QTemporaryDir dir;
  const std::string chp = writeGradientCharacter(dir);
  std::vector<std::vector<QImage>> outputs;
  for (const char* dither : {"none", "ordered", "fs"}) {
    const std::string out = inDir(dir, "d.gif");
    ASSERT_EQ(runPatapata({"--export", chp, "-o", out, "--dither", dither}).exitCode, 0);
    outputs.push_back(readGif(out).frames);
    ASSERT_EQ(outputs.back().size(), 4u);
  }
  for (std::size_t mode = 1; mode < outputs.size(); ++mode) {
    SCOPED_TRACE(mode);
    EXPECT_GT(differentPixels(outputs[mode][1], outputs[0][1]), 1000);
  }
}

TEST(ExportMode, TransparentColourStaysExactWhenColoursAreReduced) {
  QTemporaryDir dir;
  const std::string chp = writeGradientCharacter(dir);
  const std::vector<QImage> expected = renderedFrames(chp, 1, 4);
  const std::string out = inDir(dir, "key.gif");
  ASSERT_EQ(runPatapata({"--export", chp, "-o", out, "--dither", "fs"}).exitCode, 0);
  const GifFile gif = readGif(out);
  ASSERT_EQ(gif.frames.size(), 4u);
  int keyPixels = 0;
  int wrong = 0;
  for (int f = 0; f < 4; ++f) {
    for (int y = 0; y < 271; ++y) {
      for (int x = 0; x < 121; ++x) {
        const bool wasKey = expected[f].pixel(x, y) == kGradientKey;
        keyPixels += wasKey ? 1 : 0;
        if (wasKey != (gif.frames[f].pixel(x, y) == kGradientKey)) ++wrong;
      }
    }
  }
  EXPECT_EQ(keyPixels, 100);
  EXPECT_EQ(wrong, 0);
}

TEST(ExportMode, WebpReadsBackWithExactPixelsAndMillisecondDelays) {
  QTemporaryDir dir;
  const std::string chp = writeGradientCharacter(dir);
  const std::string out = inDir(dir, "many.webp");
  const ProcessResult run = runPatapata({"--export", chp, "-o", out, "--scale", "2"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const WebpFile webp = readWebp(out);
  EXPECT_EQ(webp.loopCount, 0);
  const std::vector<QImage> expected = renderedFrames(chp, 1, 4);
  ASSERT_EQ(webp.frames.size(), 4u);
  for (int f = 0; f < 4; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(webp.endMs[f], 73 * (f + 1));  // #ANIME 73
    EXPECT_EQ(differentPixels(webp.frames[f], enlarged(expected[f], 2)), 0);
  }
}

TEST(ExportMode, WebpShowsEveryTickWhenEqualFramesAreMerged) {
  // State 2 shows cel 6 three times, cel 7 three times, cel 6 twice: the encoder may merge
  // equal neighbours, but each 120 ms tick must still show its own frame.
  QTemporaryDir dir;
  const std::string out = inDir(dir, "normal2.webp");
  ASSERT_EQ(runPatapata({"--export", sampleCharacter(), "--state", "2", "-o", out}).exitCode, 0);
  const WebpFile webp = readWebp(out);
  ASSERT_FALSE(webp.frames.empty());
  EXPECT_EQ(webp.endMs.back(), 8 * 120);
  const std::vector<QImage> expected = renderedFrames(sampleCharacter(), 2, 8);
  for (int tick = 0; tick < 8; ++tick) {
    SCOPED_TRACE(tick);
    std::size_t shown = 0;
    while (shown < webp.endMs.size() && webp.endMs[shown] <= tick * 120) ++shown;
    ASSERT_LT(shown, webp.frames.size());
    EXPECT_EQ(differentPixels(webp.frames[shown], expected[tick]), 0);
  }
}

TEST(ExportMode, StateWithoutEntriesIsAnErrorNamingIt) {
  QTemporaryDir dir;
  const std::string out = inDir(dir, "none.gif");
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const std::string empty = inDir(dir, "empty.chp");
  {
    QFile file(QString::fromStdString(empty));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#CHARNAME empty\r\n");
  }
  const Case cases[] = {
      {{"--export", multiCharacter(), "--state", "2", "-o", out}, "state 2 (通常2, normal 2)"},
      {{"--export", multiCharacter(), "--state", "16", "-o", out}, "state 16 (負け, lose)"},
      {{"--export", empty, "-o", out}, "state 1 (通常１, normal 1)"},
      {{"--export", empty, "--all", "-o", inDir(dir, "sheet.png")},
       "no state that a button plays any entries"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProcessResult run = runPatapata(c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST(ExportMode, ReadingAndWritingErrorsSayWhichFailed) {
  QTemporaryDir dir;
  const std::string missing = inDir(dir, "missing.chp");
  const std::string unwritable = inDir(dir, "no-such-folder/x.gif");
  // A disk that is full: every write fails.
  const std::string full = inDir(dir, "full.gif");
  ASSERT_TRUE(QFile::link("/dev/full", QString::fromStdString(full)));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--export", missing, "-o", inDir(dir, "x.gif")},
       "cannot read the character file " + missing + ": "},
      {{"--export", std::string(PATAPATA_TEST_DATA) + "/player/render/bad_pattern.chp", "-o",
        inDir(dir, "x.gif")},
       "bad_pattern.chp stopped at line 4: "},
      {{"--export", sampleCharacter(), "-o", unwritable},
       "cannot write " + unwritable + ": No such file or directory"},
      {{"--export", sampleCharacter(), "-o", inDir(dir, "no-such-folder/x.png")},
       "No such file or directory"},
      {{"--export", sampleCharacter(), "-o", inDir(dir, "no-such-folder/x.webp")},
       "No such file or directory"},
      {{"--export", sampleCharacter(), "--all", "-o", inDir(dir, "no-such-folder/s.png")},
       "No such file or directory"},
      {{"--export", sampleCharacter(), "-o", full},
       "cannot write " + full + ": No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProcessResult run = runPatapata(c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST(ExportMode, OutputFilesGetTheUsualPermissions) {
  QTemporaryDir dir;
  const mode_t previous = umask(022);
  struct Case {
    std::vector<std::string> extra;
    std::string file;
  };
  const Case cases[] = {
      {{"-o", inDir(dir, "a.gif")}, inDir(dir, "a.gif")},
      {{"-o", inDir(dir, "a.webp")}, inDir(dir, "a.webp")},
      {{"-o", inDir(dir, "a.png")}, inDir(dir, "a.png")},
      {{"--all", "-o", inDir(dir, "sheet.png")}, inDir(dir, "sheet.png")},
      {{"--all", "-o", inDir(dir, "states/")}, inDir(dir, "states/multi-6-joy1.gif")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<std::string> args{"--export", multiCharacter()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(runPatapata(args).exitCode, 0);
    struct stat info {};
    ASSERT_EQ(stat(c.file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
  }
  umask(previous);
}

TEST(ExportMode, ExitStatuses) {
  QTemporaryDir dir;
  const std::string gif = inDir(dir, "o.gif");
  const std::string multi = multiCharacter();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"--export", multi}, 2},  // no output
      {{"--export", multi, "-o", inDir(dir, "o.jpg")}, 2},
      {{"--export", multi, "-o", gif, "--scale", "9"}, 2},
      {{"--export", multi, "-o", gif, "--scale", "0"}, 2},
      {{"--export", multi, "-o", gif, "--scale", "2", "--scale", "2"}, 2},
      {{"--export", multi, "-o", gif, "--state", "9"}, 2},  // no button plays 9
      {{"--export", multi, "-o", gif, "--depth", "24"}, 2},
      {{"--export", multi, "-o", gif, "--frobnicate", "1"}, 2},
      {{"--export", multi, "-o", gif, "--dither", "random"}, 2},
      {{"--export", multi, "-o", inDir(dir, "o.png"), "--dither", "fs"}, 2},
      {{"--export", multi, "-o", inDir(dir, "o.webp"), "--dither", "fs"}, 2},
      {{"--export", multi, "-o", gif, "--format", "webp"}, 2},  // the name gives the format
      {{"--export", multi, "-o", inDir(dir, "d/")}, 2},         // a folder needs --all
      {{"--export", multi, "--all", "-o", gif}, 2},
      {{"--export", multi, "--all", "--state", "1", "-o", inDir(dir, "s.png")}, 2},
      {{"--export", multi, "--all", "-o", inDir(dir, "d/"), "--format", "png"}, 2},
      {{"--export", multi, "--all", "-o", inDir(dir, "d/"), "--format", "webp", "--dither", "fs"},
       2},
      {{"--export", inDir(dir, "none.chp"), "-o", gif}, 1},
      {{"--export", multi, "-o", gif, "--state", "2"}, 1},  // state 2 has no entries
      {{"--export", sampleCharacter(), "-o", gif, "--depth", "16", "--dither", "ordered"}, 0},
      {{"--export", multi, "--all", "-o", inDir(dir, "d/"), "--dither", "fs"}, 0},
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

// Catches an output name that replaces the artwork: the sheet (here a PNG named as a render's
// first frame would be) or the character file itself (here named .png).
TEST(ExportMode, NoBatchModeWritesOverTheCharacterOrItsSheet) {
  QTemporaryDir dir;
  const std::string character = copyOfSample(dir, "c.png", "f-0001.png");
  const std::string sheet = inDir(dir, "f-0001.png");
  const QByteArray picture = contents(sheet);
  const QByteArray text = contents(character);
  const std::vector<std::string> cases[] = {
      {"--export", character, "--state", "6", "-o", sheet},
      {"--export", character, "--state", "6", "-o", character},
      {"--render", character, "--ticks", "2", "--out", inDir(dir, "f")},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args[0] + " " + args.back());
    const ProcessResult run = runPatapata(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("is the character file or its sheet"), std::string::npos) << run.err;
    EXPECT_EQ(contents(sheet), picture);
    EXPECT_EQ(contents(character), text);
  }
}

TEST(CommandLine, HelpDescribesEveryMode) {
  const ProcessResult run = runPatapata({"--help"});
  ASSERT_EQ(run.exitCode, 0);
  for (const char* mode : {"--check", "--render", "--export", "--all", "--dither", "--format",
                           ".webp", "--version", "FILE.chp", "exit status"}) {
    EXPECT_NE(run.out.find(mode), std::string::npos) << mode;
  }
}

// An export whose body cel lay 4 px past the sheet's edge wrote a GIF without the body and
// said nothing. The check's warnings go to standard error; --strict makes them stop the mode
// before it writes anything.
TEST(ExportMode, TheChecksWarningsAreSaidAndStrictMakesThemStopTheMode) {
  QTemporaryDir dir;
  const std::string chp = inDir(dir, "past.chp");
  writeBytes(inDir(dir, "s.bmp"), bmp24Bytes(130, 271, [](int32_t, int32_t) { return 0x336699u; }));
  writeBytes(chp, "#CHARBMP s.bmp\r\n#1 13 0 121 271\r\n#PATERN 01 0101\r\n");
  const std::string warning = "patapata: " + chp +
                              ", line 2: warning: cel 1 (13, 0, 121 × 271) does not lie within "
                              "the sheet (130 × 271), so it is not drawn\n";
  const std::string gif = inDir(dir, "out.gif");
  const std::vector<std::string> modes[] = {{"--render", chp}, {"--export", chp, "-o", gif}};
  for (const auto& mode : modes) {
    for (const bool strict : {false, true}) {
      SCOPED_TRACE(mode.front() + (strict ? " --strict" : ""));
      QFile::remove(QString::fromStdString(gif));
      std::vector<std::string> args = mode;
      if (strict) args.push_back("--strict");
      const ProcessResult run = runPatapata(args);
      EXPECT_EQ(run.exitCode, strict ? 1 : 0);
      EXPECT_TRUE(run.err.starts_with(warning)) << run.err;
      EXPECT_EQ(run.out.empty(), strict) << run.out;
      EXPECT_EQ(QFile::exists(QString::fromStdString(gif)), !strict && mode.size() > 2);
    }
  }
}

}  // namespace
}  // namespace patapata::testing
