#include "run_patapata.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

// A character whose sheet is an RGBA PNG with a transparent background plays exactly as the
// same character with the sheet saved as a BMP, the key colour painted where the PNG is
// transparent (tests/data/player/png_render/make_sheets.py writes both).
namespace patapata {
namespace {

using testing::ProcessResult;
using testing::runPatapata;

const std::string kData = std::string(PATAPATA_TEST_DATA) + "/player/png_render/";

std::string frameFile(const std::string& prefix, int tick) {
  char name[32];
  std::snprintf(name, sizeof name, "-%04d.png", tick);
  return prefix + name;
}

TEST(PngSheet, PlaysTheSameFramesAsTheKeyedBmp) {
  constexpr int kTicks = 5;
  for (const char* depth : {"32", "16"}) {
    for (const char* state : {"1", "6", "10"}) {
      SCOPED_TRACE(std::string("depth ") + depth + ", state " + state);
      QTemporaryDir dir;
      const std::string png = (dir.path() + "/png").toStdString();
      const std::string bmp = (dir.path() + "/bmp").toStdString();
      const ProcessResult fromPng =
          runPatapata({"--render", kData + "png.chp", "--state", state, "--ticks",
                       std::to_string(kTicks), "--out", png, "--depth", depth});
      const ProcessResult fromBmp =
          runPatapata({"--render", kData + "bmp.chp", "--state", state, "--ticks",
                       std::to_string(kTicks), "--out", bmp, "--depth", depth});
      ASSERT_EQ(fromPng.exitCode, 0) << fromPng.err;
      ASSERT_EQ(fromBmp.exitCode, 0) << fromBmp.err;
      EXPECT_EQ(nlohmann::json::parse(fromPng.out), nlohmann::json::parse(fromBmp.out));
      for (int tick = 1; tick <= kTicks; ++tick) {
        SCOPED_TRACE(tick);
        const QImage a(QString::fromStdString(frameFile(png, tick)));
        const QImage b(QString::fromStdString(frameFile(bmp, tick)));
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        ASSERT_EQ(a.size(), b.size());
        int mismatches = 0;
        for (int y = 0; y < a.height(); ++y) {
          for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y) && ++mismatches <= 3) {
              ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << a.pixel(x, y)
                            << " != " << b.pixel(x, y);
            }
          }
        }
        EXPECT_EQ(mismatches, 0);
      }
    }
  }
}

// The batch check reads a PNG sheet and reports its size and key as for the BMP; the key is
// the BMP's bottom-right colour as Qt reads it.
TEST(PngSheet, CheckReportsTheSheetsSizeAndKey) {
  const QImage keyed(QString::fromStdString(kData + "sheet_keyed.bmp"));
  ASSERT_FALSE(keyed.isNull());
  const uint32_t key = keyed.pixel(keyed.width() - 1, keyed.height() - 1) & 0xFFFFFFu;

  const ProcessResult json = runPatapata({"--check", kData + "png.chp", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const auto sheet = nlohmann::json::parse(json.out).at("sheet");
  EXPECT_EQ(sheet.at("path"), kData + "sheet.png");
  EXPECT_EQ(sheet.at("width"), keyed.width());
  EXPECT_EQ(sheet.at("height"), keyed.height());
  EXPECT_EQ(sheet.at("key"), key);

  const ProcessResult text = runPatapata({"--check", kData + "png.chp"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  char expected[128];
  std::snprintf(expected, sizeof expected, " (%d x %d, key 0x%08X)\n", keyed.width(),
                keyed.height(), key);
  EXPECT_NE(text.out.find("sheet: " + kData + "sheet.png" + expected), std::string::npos)
      << text.out;
}

}  // namespace
}  // namespace patapata
