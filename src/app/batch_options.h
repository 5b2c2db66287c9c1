#pragma once

#include "surfaces/pixel_format.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

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

/// The value of `--depth`: "32" (XRGB) or "16" (5-6-5). Throws UsageError.
PixelFormat parseDepth(const std::string& value);

}  // namespace patapata::app
