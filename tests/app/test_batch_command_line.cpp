#include "run_patapata.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

using testing::ProcessResult;
using testing::runPatapata;
using testing::TempDir;

const std::string kCharacter = std::string(PATAPATA_TEST_DATA) + "/player/render/multi.chp";

std::string joined(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& arg : args) out += arg + " ";
  return out;
}

// What CLI11 finds wrong on its own (a value missing at the end, an option nobody declared, an
// option again under its other name, the "--" that ends the options) is said in the modes'
// words, with the usage of the mode that was asked for.
TEST(BatchCommandLine, UsageErrorsNameTheMistakeAndTheModesUsage) {
  TempDir dir;
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--render"}, "no character file given"},
      {{"--render", kCharacter, kCharacter}, "one character file only"},
      {{"--check", kCharacter, "--", kCharacter}, "one character file only"},
      {{"--render", kCharacter, "--ticks"}, "--ticks needs a value"},
      {{"--export", kCharacter, "--out="}, "--out needs a value"},
      {{"--render", kCharacter, "--speed", "2"}, "unknown option --speed"},
      {{"--check", kCharacter, "-x"}, "unknown option -x"},
      {{"--render", kCharacter, "--depth", "16", "--depth", "16"}, "--depth given twice"},
      {{"--export", kCharacter, "-o", dir.file("a.gif"), "--out", dir.file("b.gif")},
       "-o given twice"},
      {{"--check", kCharacter, "--json=yes"}, "--json takes no value"},
      {{"--export", kCharacter, "--all", "--state", "1", "-o", dir.file("s.png")},
       "--all and --state exclude each other"},
      {{"--export", kCharacter, "--all"}, "no output given (-o OUT.gif, OUT.webp or OUT.png)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const ProcessResult run = runPatapata(c.args);
    EXPECT_EQ(run.exitCode, 2);
    const std::string& mode = c.args.front();
    EXPECT_TRUE(run.err.starts_with("patapata " + mode + ": " + c.message + "\nusage: patapata " +
                                    mode + " FILE.chp"))
        << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// The spellings a parser of this kind is expected to take do the same as the plain ones.
TEST(BatchCommandLine, OtherSpellingsOfAnOptionDoTheSame) {
  TempDir dir;
  const std::string gif = dir.file("o.gif");
  struct Case {
    std::vector<std::string> spelled;
    std::vector<std::string> plain;
  };
  const Case cases[] = {
      {{"--render", kCharacter, "--ticks=3", "--state=6"},
       {"--render", kCharacter, "--ticks", "3", "--state", "6"}},
      {{"--check", "--json", "--", kCharacter}, {"--check", kCharacter, "--json"}},
      {{"--export", kCharacter, "--out", gif}, {"--export", kCharacter, "-o", gif}},
      {{"--export", kCharacter, "-o" + gif}, {"--export", kCharacter, "-o", gif}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(joined(c.spelled));
    const ProcessResult plain = runPatapata(c.plain);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const ProcessResult spelled = runPatapata(c.spelled);
    EXPECT_EQ(spelled.exitCode, 0) << spelled.err;
    EXPECT_EQ(spelled.out, plain.out);
  }
}

// Catches a mode whose printed product (a report, a character file) was lost on a full disk
// while it exited with success.
TEST(BatchCommandLine, AnOutputThatCannotBeWrittenIsAFailure) {
  const std::string aseprite = std::string(PATAPATA_TEST_DATA) + "/aseprite/blob-array.json";
  const std::vector<std::string> cases[] = {
      {"--check", kCharacter, "--json"},
      {"--import-aseprite", aseprite},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(joined(args));
    ASSERT_EQ(runPatapata(args).exitCode, 0);
    const ProcessResult full = runPatapata(args, "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("cannot write to standard output"), std::string::npos) << full.err;
  }
}

}  // namespace
}  // namespace patapata
