#include "character/state_table.h"
#include "run_patapata.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace patapata {
namespace {

using testing::ProcessResult;
using testing::runPatapata;

// Each state of the table on a line of its own: its number, its English meaning and, last,
// its button's caption.
TEST(Help, ListsEveryStateOfTheStateTable) {
  const ProcessResult run = runPatapata({"--help"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::size_t start = run.out.find("\nstates (");
  ASSERT_NE(start, std::string::npos) << run.out;
  const std::string states = run.out.substr(start, run.out.find("\n\n", start) - start);
  for (const StateInfo& info : kStates) {
    SCOPED_TRACE(info.state);
    int32_t lines = 0;
    std::istringstream text(states);
    for (std::string line; std::getline(text, line);) {
      std::istringstream words(line);
      int32_t number = -1;
      if (!(words >> number) || number != info.state) continue;
      ++lines;
      EXPECT_NE(line.find(std::string("  ") + info.english + "  "), std::string::npos) << line;
      EXPECT_TRUE(line.ends_with(std::string("  ") + info.buttonCaption)) << line;
    }
    EXPECT_EQ(lines, 1) << run.out;
  }
  EXPECT_NE(states.find("No button plays states 0, 9, 13, 14, 17-29.\n"), std::string::npos)
      << states;
}

}  // namespace
}  // namespace patapata
