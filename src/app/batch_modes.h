#pragma once

#include "app/batch_options.h"

#include <optional>
#include <span>
#include <string>

// The command-line modes that run without a window. Each takes the options its command line
// gave (batch_command_line.h reads them) and returns the process exit status: 0 done, 1 the
// load or the mode's work failed.
namespace patapata::app {

int runCheckMode(const CheckOptions& options);
int runRenderMode(const RenderOptions& options);
int runExportMode(const ExportOptions& options);
int runImportMode(const ImportOptions& options);

/// Runs the mode the first argument names (a batch mode, --help, --version) and gives its
/// exit status, 2 for a usage error; nothing when the arguments are for the window.
std::optional<int> runCommandLine(std::span<const std::string> args);

}  // namespace patapata::app
