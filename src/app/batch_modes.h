#pragma once

#include <span>
#include <string>

// The command-line modes that run without a window. Each takes the arguments after its
// option and returns the process exit status: 0 done, 1 the load stopped, 2 usage error.
namespace patapata::app {

int runCheckMode(std::span<const std::string> args);
int runRenderMode(std::span<const std::string> args);

}  // namespace patapata::app
