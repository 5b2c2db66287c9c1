#pragma once

#include <string>
#include <vector>

namespace patapata::testing {

struct ProcessResult {
  int exitCode = -1;  ///< -1 when the process crashed or did not finish
  std::string out;
  std::string err;
};

/// Runs the patapata executable as authors do, with no display at all; its standard output
/// goes to `outputTo` when one is named (then `out` stays empty).
ProcessResult runPatapata(const std::vector<std::string>& args, const std::string& outputTo = {});

}  // namespace patapata::testing
