#pragma once

#include <optional>
#include <span>
#include <string>

// The batch modes' command lines: one table of the modes and their options, read with CLI11,
// from which --help and each mode's usage are written as well.
namespace patapata::app {

/// Reads the options of the batch mode `args[0]` names (--check, --render, --export,
/// --import-aseprite) and runs it: its exit status, 2 after a usage error, which prints the
/// reason and the mode's usage.
/// Nothing when `args[0]` names no batch mode.
std::optional<int> runBatchMode(std::span<const std::string> args);

/// Each batch mode's synopsis, what it does and its options with what they mean, as --help
/// lists them.
std::string batchModesHelp();

}  // namespace patapata::app
