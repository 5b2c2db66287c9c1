#include "character/state_table.h"

#include <algorithm>

namespace patapata {

const StateInfo* stateInfo(int32_t state) {
  const auto it = std::find_if(kStates.begin(), kStates.end(),
                               [state](const StateInfo& s) { return s.state == state; });
  return it == kStates.end() ? nullptr : &*it;
}

int32_t buttonEnabledByRow(int32_t row) {
  if (row < 0) return -1;
  for (const StateInfo& s : kStates) {
    if (std::find(s.enablingRows.begin(), s.enablingRows.end(), row) != s.enablingRows.end()) {
      return s.state;
    }
  }
  return -1;
}

}  // namespace patapata
