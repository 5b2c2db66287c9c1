#pragma once

#include "app/batch_error.h"
#include "common/errors.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// Option values shared by the batch modes.
namespace patapata::app {

/// A command line the mode cannot run; exit status 2.
class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// A plain decimal integer, the whole text; nothing otherwise.
std::optional<int32_t> decimal(const std::string& text);

/// The value of `--state`: a state some button selects. Throws UsageError.
int32_t parseState(const std::string& value);

/// Parses a mode's arguments and runs it. A UsageError prints the reason and `usage` and
/// gives 2; an error while running (a stopped load among them) prints its message and gives 1.
template <typename Options, typename Parse, typename Run>
int runBatchMode(std::string_view mode, std::string_view usage, std::span<const std::string> args,
                 Parse parse, Run run) {
  Options options;
  try {
    options = parse(args);
  } catch (const UsageError& e) {
    std::cerr << "patapata " << mode << ": " << e.what() << '\n' << usage << '\n';
    return 2;
  }
  try {
    return run(options);
  } catch (const Error& e) {
    std::cerr << "patapata: " << errorBoxText(e.what()) << '\n';
    return 1;
  } catch (const BatchError& e) {
    std::cerr << "patapata: " << errorBoxText(e.what()) << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "patapata: " << e.what() << '\n';
    return 1;
  }
}

/// The value of `--depth`: "32" (XRGB) or "16" (5-6-5). Throws UsageError.
PixelFormat parseDepth(const std::string& value);

}  // namespace patapata::app
