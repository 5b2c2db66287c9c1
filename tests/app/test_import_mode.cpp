#include "run_patapata.h"
#include "support/character_files.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testfiles::TempDir;
using testfiles::writeFile;
using testing::ProcessResult;
using testing::runPatapata;

const std::string kData = std::string(PATAPATA_TEST_DATA) + "/aseprite/";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Untrimmed frames side by side, 10 × 20 each, from `x` on, in the array form and untagged.
std::string framesJson(const std::vector<int>& xs, const std::string& image = "\"s.bmp\"") {
  nlohmann::json doc = {{"frames", nlohmann::json::array()}, {"meta", {{"image", nullptr}}}};
  doc["meta"]["image"] = nlohmann::json::parse(image);
  for (const int x : xs) {
    doc["frames"].push_back({{"frame", {{"x", x}, {"y", 0}, {"w", 10}, {"h", 20}}},
                             {"spriteSourceSize", {{"x", 0}, {"y", 0}, {"w", 10}, {"h", 20}}},
                             {"sourceSize", {{"w", 10}, {"h", 20}}},
                             {"duration", 100}});
  }
  return doc.dump();
}

// Catches an example written otherwise than its golden file, a -o whose #CHARBMP misses the
// sheet from its folder, warnings lost or mixed into the character file, and a written file
// that plays other frames than the tags give or draws them otherwise than the sheet has them.
TEST(ImportMode, TheExamplesImportAndRenderAsTheirTagsSay) {
  struct Case {
    const char* name;
    int state;
    std::vector<int> cels;  // one pass
    const char* warnings;   // standard error
  };
  const Case cases[] = {
      {"blob-array", 1, {2, 2, 3, 3, 4, 4, 4, 4, 3, 3}, ""},
      {"blob-hash",
       6,
       {2, 3, 4, 4},
       "patapata: warning: The tag 'blink' names no state and is left out (map it with "
       "TAG=STATE)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string json = dir.file(std::string(c.name) + ".json");
    const std::string png = dir.file(std::string(c.name) + ".png");
    std::filesystem::copy_file(kData + c.name + ".json", json);
    std::filesystem::copy_file(kData + c.name + ".png", png);
    const ProcessResult printed = runPatapata({"--import-aseprite", json});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.out, readFile(kData + c.name + ".chp"));
    EXPECT_EQ(printed.err, c.warnings);

    std::filesystem::create_directory(dir.path() / "out");
    const std::string chp = dir.file("out/blob.chp");
    const ProcessResult written = runPatapata({"--import-aseprite", json, "-o", chp});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(written.out, chp + "\n");
    EXPECT_EQ(written.err, c.warnings);

    const ProcessResult render = runPatapata(
        {"--render", chp, "--state", std::to_string(c.state), "--out", dir.file("frame")});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    const auto report = nlohmann::json::parse(render.out);
    std::vector<int> cels;
    for (const auto& tick : report) cels.push_back(tick.at("pattern"));
    EXPECT_EQ(cels, c.cels);
    // The first frame is cel 2, the sheet's top-left 121 × 271, keyed onto black.
    const QImage frame(QString::fromStdString(dir.file("frame-0001.png")));
    const QImage sheet(QString::fromStdString(png));
    ASSERT_EQ(frame.size(), QSize(121, 271));
    int differing = 0;
    int drawn = 0;
    for (int y = 0; y < 271; ++y) {
      for (int x = 0; x < 121; ++x) {
        const QRgb s = sheet.pixel(x, y);
        drawn += qAlpha(s) != 0;
        const QRgb expected = qAlpha(s) == 0 ? qRgb(0, 0, 0) : qRgb(qRed(s), qGreen(s), qBlue(s));
        differing += (frame.pixel(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF);
      }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(drawn, 1000);
  }
}

// Catches a bad input that exits 0 or crashes, an error that does not say what is wrong, a
// file written over the JSON, a mistyped option taken for a failed import, and
// --merge-duplicates ignored or merging frames that differ.
TEST(ImportMode, OptionsAndBadInputs) {
  TempDir dir;
  // Red, green, red again; the bottom row holds the key, outside every frame.
  writeFile(dir.file("s.bmp"), testing::bmp24Bytes(30, 21, [](int32_t x, int32_t y) {
              return y == 20 ? 0x0000FFu : x / 10 == 1 ? 0x00FF00u : 0xFF0000u;
            }));
  const std::string good = dir.file("good.json");
  writeFile(good, framesJson({0, 10, 20}));
  writeFile(dir.file("bad.json"), "{\"frames\": ]}");
  writeFile(dir.file("type.json"), framesJson({0}, "5"));
  writeFile(dir.file("gone.json"), framesJson({0}, "\"gone.png\""));
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string shown;  // on standard output or error
  };
  const Case cases[] = {
      {{good}, 0, "\n#PATERN 01 020304\n"},
      {{good, "--merge-duplicates"}, 0, "\n#PATERN 01 020302\n"},
      {{good, "--interval", "50"}, 0, "\n#ANIME 50\n"},
      {{good, "--state", "x=1"}, 0, "warning: No tag is named 'x'; the mapping 'x=1' is not used"},
      {{dir.file("none.json")}, 1, "The JSON file '" + dir.file("none.json") + "' cannot be read"},
      {{dir.file("bad.json")}, 1, "The text is not valid JSON: parse error at line 1, column 12"},
      {{dir.file("type.json")}, 1, "meta.image should be a string, not 5"},
      {{dir.file("gone.json")}, 1, "The sheet '" + dir.file("gone.png") + "' that meta.image"},
      {{good, "-o", good}, 1, "is the JSON file or its sheet"},
      {{good, "--state", "blink"}, 2, "The mapping 'blink' is not TAG=STATE"},
      {{good, "--state", "walk=2", "--state", "walk=3"}, 2, "--state walk= given twice"},
      {{good, "--interval", "0"}, 2, "--interval takes a number of"},
  };
  const std::string before = readFile(good);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    std::vector<std::string> args = {"--import-aseprite"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult run = runPatapata(args);
    EXPECT_EQ(run.exitCode, c.exit) << run.err;
    EXPECT_NE((run.out + run.err).find(c.shown), std::string::npos) << run.out;
    if (c.exit != 0) {
      EXPECT_EQ(run.out, "");
    }
  }
  EXPECT_EQ(readFile(good), before);
}

// Catches a JSON read as a character file without lines, which plays black and checks clean.
TEST(ImportMode, TheBatchModesTakeTheJsonAsTheWindowDoes) {
  TempDir dir;
  const auto render = [&](const std::string& file) {
    return runPatapata({"--render", kData + file, "--ticks", "4", "--out", dir.file(file)});
  };
  const ProcessResult fromJson = render("blob-array.json");
  ASSERT_EQ(fromJson.exitCode, 0) << fromJson.err;
  EXPECT_EQ(fromJson.out, render("blob-array.chp").out);
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("blob-array.json-0004.png"))),
            QImage(QString::fromStdString(dir.file("blob-array.chp-0004.png"))));
  const ProcessResult check = runPatapata({"--check", kData + "blob-array.json"});
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_NE(check.err.find("--import-aseprite turns it into one"), std::string::npos) << check.err;
}

}  // namespace
}  // namespace patapata
