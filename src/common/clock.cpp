#include "common/clock.h"

#include <chrono>

namespace patapata {

uint32_t millisecondsNow() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace patapata
