#pragma once

#include <optional>
#include <span>
#include <string>

// The command-line modes that run without a window. Each takes the arguments after its
// option and returns the process exit status: 0 done, 1 the load or the mode's work failed,
// 2 usage error.
namespace patapata::app {

int runCheckMode(std::span<const std::string> args);
int runRenderMode(std::span<const std::string> args);
int runExportMode(std::span<const std::string> args);

/// Runs the mode the first argument names (a batch mode, --help, --version) and gives its
/// exit status; nothing when the arguments are for the window.
std::optional<int> runCommandLine(std::span<const std::string> args);

}  // namespace patapata::app
