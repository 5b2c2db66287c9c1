#include "character/frame_interval.h"

#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/int_conversion.h"

namespace patapata {

void applyIntervalText(ViewerState& viewer, const Controls& controls) {
  const int32_t value = parseIntOr(controls.text(Edit::Interval), 0);
  if (value > 0) viewer.frameIntervalMs = value;
}

}  // namespace patapata
