#include "app/batch_options.h"

#include "character/state_table.h"

#include <charconv>

namespace patapata::app {

std::optional<int32_t> decimal(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

int32_t parseState(const std::string& value) {
  const auto state = decimal(value);
  if (!state) throw UsageError("--state " + value + " is not a number");
  if (stateInfo(*state) == nullptr) throw UsageError("no button selects state " + value);
  return *state;
}

PixelFormat parseDepth(const std::string& value) {
  if (value == "32") return PixelFormat::xrgb8888();
  if (value == "16") return PixelFormat::rgb565();
  throw UsageError("--depth takes 32 or 16");
}

}  // namespace patapata::app
