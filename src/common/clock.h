#pragma once

#include <cstdint>

namespace patapata {

/// Milliseconds from a monotonic clock, as a 32-bit count that wraps.
uint32_t millisecondsNow();

}  // namespace patapata
