#include "run_patapata.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

using testing::ProcessResult;
using testing::runPatapata;

// A 40 × 20 sheet on magenta: a 6 × 6 square at (2, 2), a 4 × 4 one at (10, 3), three
// pixels right of the first, and a 5 × 8 one at (30, 10); the bottom-right pixel is the key.
std::string sheetBytes() {
  return testing::bmp24Bytes(40, 20, [](int32_t x, int32_t y) -> uint32_t {
    const auto in = [&](int32_t left, int32_t top, int32_t w, int32_t h) {
      return x >= left && x < left + w && y >= top && y < top + h;
    };
    return in(2, 2, 6, 6) || in(10, 3, 4, 4) || in(30, 10, 5, 8) ? 0x204060 : 0xFF00FF;
  });
}

// Faults: an option of one slicing read as another's, offset or spacing ignored, the gap not
// merging, the minimum not dropping, numbers in the wrong base or from the wrong first one.
TEST(SliceMode, PrintsTheCelLinesOfEachWayToSlice) {
  testing::TempDir dir;
  const std::string sheet = dir.write("s.bmp", sheetBytes());
  struct Case {
    std::vector<std::string> options;
    std::string out;
  };
  const Case cases[] = {
      {{"--grid", "20x10"}, "#1 0 0 20 10\n#2 20 0 20 10\n#3 0 10 20 10\n#4 20 10 20 10\n"},
      {{"--grid", "15x8+2+2,3,2"}, "#1 2 2 15 8\n#2 20 2 15 8\n#3 2 12 15 8\n#4 20 12 15 8\n"},
      {{"--count", "4x1", "--first", "9", "--hex"},
       "#09 0 0 10 20\n#0A 10 0 10 20\n#0B 20 0 10 20\n#0C 30 0 10 20\n"},
      {{"--auto"}, "#1 2 2 6 6\n#2 10 3 4 4\n#3 30 10 5 8\n"},
      {{"--auto", "--gap", "2"}, "#1 2 2 12 6\n#2 30 10 5 8\n"},
      {{"--auto", "--min", "5", "--first", "98"}, "#98 2 2 6 6\n#99 30 10 5 8\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--slice", sheet};
    args.insert(args.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(c.options.front() + " " + c.options.back());
    const ProcessResult run = runPatapata(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

TEST(SliceMode, JsonGivesEveryRectangleAndWhichGetNoNumber) {
  testing::TempDir dir;
  const std::string sheet = dir.write("s.bmp", sheetBytes());
  const ProcessResult run = runPatapata({"--slice", sheet, "--auto", "--first", "98", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["width"], 40);
  EXPECT_EQ(report["key"], 0xFF00FF);
  ASSERT_EQ(report["cels"].size(), 3u);
  EXPECT_EQ(report["cels"][1],
            nlohmann::json::parse(R"({"cel": 99, "x": 10, "y": 3, "width": 4, "height": 4})"));
  EXPECT_TRUE(report["cels"][2]["cel"].is_null());
  EXPECT_NE(run.err.find("1 of the 3 cels get no number"), std::string::npos) << run.err;
}

// Usage errors exit 2 with the reason; a sheet that cannot be read, or gives no cels, exits 1.
TEST(SliceMode, RefusesWhatItCannotDo) {
  testing::TempDir dir;
  const std::string sheet = dir.write("s.bmp", sheetBytes());
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {{"--slice", sheet}, 2, "no slicing given"},
      {{"--slice", sheet, "--grid", "20"}, 2, "--grid takes WxH[+X+Y][,SX,SY]"},
      {{"--slice", sheet, "--grid", "0x5"}, 2, "--grid takes"},
      {{"--slice", sheet, "--count", "2x2", "--auto"}, 2, "--count and --auto exclude each other"},
      {{"--slice", sheet, "--grid", "5x5", "--gap", "1"}, 2, "--gap and --min are for --auto"},
      {{"--slice", sheet, "--auto", "--first", "100"}, 2, "--first above 99 needs --hex"},
      {{"--slice", dir.file("none.bmp"), "--auto"}, 1, "none.bmp"},
      {{"--slice", sheet, "--grid", "50x50"}, 1, "finds no cels"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProcessResult run = runPatapata(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace patapata
