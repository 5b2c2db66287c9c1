#include "character/frame_interval.h"

#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/int_conversion.h"

namespace patapata {

void Edit1Change(ViewerState& state, const Controls& controls) {
  const int32_t value = StrToIntDef(controls.text(ControlId::Edit1), 0);
  if (value > 0) state.FrameInterval = value;
}

}  // namespace patapata
