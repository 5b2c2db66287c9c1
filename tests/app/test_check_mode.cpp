#include "run_patapata.h"
#include "support/reader_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace patapata {
namespace {

using testing::ProcessResult;
using testing::runPatapata;
using testing::TempDir;
using testing::writeBytes;
using testing::writeTestSheet;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The worked example beside an 8 × 6 sheet whose bottom-right pixel is 0x123456.
std::string writeWorkedExample(const TempDir& dir) {
  std::filesystem::copy_file(std::string(PATAPATA_TEST_DATA) + "/character/worked_example.chp",
                             dir.file("test.chp"));
  writeTestSheet(dir.file("chara.bmp"));
  return dir.file("test.chp");
}

TEST(CheckMode, TextReportOfACompleteLoad) {
  TempDir dir;
  const ProcessResult run = runPatapata({"--check", writeWorkedExample(dir)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const std::string& part : std::vector<std::string>{
           "name: テスト\n", "frame interval: 120 ms\n",
           "sheet: " + dir.file("chara.bmp") + " (8 x 6, key 0x00123456)\n", "cels: 5\n",
           "  2: x 121, y 0, w 64, h 48  (line 5)\n", "  1: pattern [3 3]\n",
           "  6: pattern [2 3 2 10], layer [4 4], dest [5 5]\n",
           "buttons: state 1 通常１, state 6 喜び１\n", "line 10: the pattern sequence has an odd",
           "result: the load completed\n"}) {
    EXPECT_TRUE(contains(run.out, part)) << part << "\n--- in ---\n" << run.out;
  }
}

TEST(CheckMode, JsonReportOfACompleteLoad) {
  TempDir dir;
  const ProcessResult run = runPatapata({"--check", writeWorkedExample(dir), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto j = nlohmann::json::parse(run.out);
  std::set<std::string> keys;
  for (const auto& [key, value] : j.items()) keys.insert(key);
  EXPECT_EQ(keys, (std::set<std::string>{"file", "complete", "error", "name", "frame_interval",
                                         "sheet", "cels", "states", "buttons", "warnings"}));
  EXPECT_EQ(j["file"], dir.file("test.chp"));
  EXPECT_EQ(j["complete"], true);
  EXPECT_TRUE(j["error"].is_null());
  EXPECT_EQ(j["name"], "テスト");
  EXPECT_EQ(j["frame_interval"], 120);
  EXPECT_EQ(j["sheet"],
            (nlohmann::json{
                {"path", dir.file("chara.bmp")}, {"width", 8}, {"height", 6}, {"key", 0x123456}}));
  EXPECT_EQ(j["cels"], nlohmann::json::parse(R"({"1": [0, 0, 121, 271], "2": [121, 0, 64, 48],
      "3": [185, 0, 64, 48], "4": [121, 48, 32, 32], "5": [10, 200, 0, 0]})"));
  EXPECT_EQ(j["states"], nlohmann::json::parse(R"({
      "1": {"pattern": [3, 3], "layer": [], "dest": [], "layer_on": false},
      "6": {"pattern": [2, 3, 2, 10], "layer": [4, 4], "dest": [5, 5], "layer_on": true}})"));
  EXPECT_EQ(j["buttons"], (nlohmann::json{1, 6}));
  ASSERT_TRUE(j["warnings"].is_array());
  bool oddLine10 = false;
  for (const auto& w : j["warnings"]) {
    ASSERT_TRUE(w["line"].is_number_integer());
    ASSERT_TRUE(w["message"].is_string());
    if (w["line"] == 10 && contains(w["message"].get<std::string>(), "odd")) oddLine10 = true;
  }
  EXPECT_TRUE(oddLine10) << j["warnings"].dump();
}

TEST(CheckMode, StoppedLoadReportsTheTablesAsLeft) {
  TempDir dir;
  writeBytes(dir.file("bad.chp"),
             "#ANIM 5\n#3 1 2 3 4\n#LAYER 20 0101 0202\n#PATERN 01 0G03\n#PATERN 02 01\n");
  const ProcessResult text = runPatapata({"--check", dir.file("bad.chp")});
  EXPECT_EQ(text.exitCode, 1);
  EXPECT_EQ(text.err,
            "patapata: " + dir.file("bad.chp") + ", line 4: '$0G' は数値ではありません.\n");
  EXPECT_TRUE(contains(text.out, "result: the load stopped at line 4\n")) << text.out;
  EXPECT_TRUE(contains(text.out, "line 1: '#ANIM' is no keyword")) << text.out;

  const ProcessResult json = runPatapata({"--check", "--json", dir.file("bad.chp")});
  ASSERT_EQ(json.exitCode, 1) << json.err;
  const auto j = nlohmann::json::parse(json.out);
  EXPECT_EQ(j["complete"], false);
  EXPECT_EQ(j["error"], "'$0G' は数値ではありません");
  EXPECT_TRUE(j["name"].is_null());
  EXPECT_TRUE(j["sheet"].is_null());
  EXPECT_EQ(j["frame_interval"], 100);
  EXPECT_EQ(j["cels"], nlohmann::json::parse(R"({"3": [1, 2, 3, 4]})"));
  EXPECT_EQ(j["states"], nlohmann::json::parse(
                             R"({"20": {"pattern": [], "layer": [1, 1], "dest": [2, 2],
                                        "layer_on": true}})"));
  EXPECT_EQ(j["buttons"], nlohmann::json::array());
  // "#ANIM"; state 20, which no button plays; the two cels of line 3 that no cel line
  // defines. Not the missing "#CHARBMP": the file was not read to its end.
  ASSERT_EQ(j["warnings"].size(), 4u);
  EXPECT_EQ(j["warnings"][0]["line"], 1);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(j["warnings"][i]["line"], 3);
}

// Where the load stopped, in the text and in the JSON alike: the file and the line, or the
// file alone when it was refused before its first line.
TEST(CheckMode, AStoppedLoadNamesTheFileAndTheLineItStoppedAt) {
  TempDir dir;
  struct Case {
    const char* file;
    std::string bytes;  ///< none: the file does not exist
    std::string err;    ///< after "patapata: " and the file
    int line;
  };
  const Case cases[] = {
      {"u.chp", std::string("\xFF\xFE#\0C\0", 6),
       ", line 1: UTF-16 のテキストは読めません。Shift-JIS か UTF-8 で保存し直してください.\n", 1},
      {"bad.chp", "#1 0 0 1 1\n#PATERN 01 0G\n", ", line 2: '$0G' は数値ではありません.\n", 2},
      {"blob.png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01",
       ": blob.png は画像で、キャラクターファイルではありません。その画像を使うキャラクターファイル"
       "（.chp）を開いてください.\n",
       0},
      {"none.chp", {}, ": ファイル " + dir.file("none.chp") + " は開けません.\n", 0},
      // A note after a '#' reads as a cel line; the error says what such lines are.
      {"note.chp", "#DATA 16\n# 2-7 walk\n",
       ", line 2: '' は数値ではありません.\npatapata: # で始まる行は命令として読まれます。"
       "メモは # 以外の文字で始めてください.\n",
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = dir.file(c.file);
    if (!c.bytes.empty()) writeBytes(path, c.bytes);
    const ProcessResult text = runPatapata({"--check", path});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.err, "patapata: " + path + c.err);
    EXPECT_TRUE(contains(text.out, "result: the load stopped at line " + std::to_string(c.line)))
        << text.out;

    const ProcessResult json = runPatapata({"--check", "--json", path});
    EXPECT_EQ(json.exitCode, 1);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["complete"], false);
    EXPECT_EQ(j["error_file"], path);
    EXPECT_EQ(j["error_line"], c.line);
  }
}

TEST(CheckMode, TheSampleGivesNoWarning) {
  const ProcessResult run = runPatapata(
      {"--check", std::string(PATAPATA_TEST_DATA) + "/../../samples/hiyoko/hiyoko.chp"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(contains(run.out, "\nwarnings: 0\n")) << run.out;
}

// A warning about the whole file has no line: the text says so, the JSON gives line 0.
TEST(CheckMode, AMissingSheetIsAWarningAboutTheFile) {
  TempDir dir;
  writeBytes(dir.file("a.chp"), "#1 0 0 1 1\n#PATERN 01 01\n");
  const ProcessResult text = runPatapata({"--check", dir.file("a.chp")});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_TRUE(contains(text.out, "warnings: 1\n  file: no #CHARBMP line")) << text.out;

  const ProcessResult json = runPatapata({"--check", dir.file("a.chp"), "--json"});
  const auto j = nlohmann::json::parse(json.out);
  ASSERT_EQ(j["warnings"].size(), 1u);
  EXPECT_EQ(j["warnings"][0]["line"], 0);
}

TEST(CheckMode, UsageErrors) {
  TempDir dir;
  writeBytes(dir.file("a.chp"), "");
  const std::vector<std::vector<std::string>> cases{
      {"--check"},
      {"--check", "--json"},
      {"--check", dir.file("a.chp"), dir.file("a.chp")},
      {"--check", dir.file("a.chp"), "--yaml"},
      {"--check", dir.file("a.chp"), "--json", "--json"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const ProcessResult run = runPatapata(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "usage: patapata --check FILE.chp [--json]")) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST(CheckMode, EmptyFileCompletes) {
  TempDir dir;
  writeBytes(dir.file("a.chp"), "");
  const ProcessResult run = runPatapata({"--check", dir.file("a.chp"), "--json"});
  EXPECT_EQ(run.exitCode, 0);
  const auto j = nlohmann::json::parse(run.out);
  EXPECT_EQ(j["complete"], true);
  EXPECT_EQ(j["states"], nlohmann::json::object());
  EXPECT_EQ(j["cels"], nlohmann::json::object());
  EXPECT_EQ(j["warnings"], nlohmann::json::array());
}

TEST(CheckMode, ShiftJisPathsAndNamesComeOutAsUtf8) {
  TempDir dir;
  const std::string file = dir.file("\x83\x65.chp");  // テ.chp in Shift-JIS
  writeBytes(file, "#CHARNAME \x82\xD0\x82\xE6\x82\xB1\n#PATERN 01 0\x83\x65\n");
  const ProcessResult run = runPatapata({"--check", file, "--json"});
  // The pair "0" + the first byte of テ is no number: the message shows it readably.
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const auto j = nlohmann::json::parse(run.out);
  EXPECT_TRUE(j["error"].is_string());
  EXPECT_EQ(j["file"], dir.path().string() + "/テ.chp");
  EXPECT_EQ(j["name"], "ひよこ");
}

}  // namespace
}  // namespace patapata
