#include "character/viewer_state.h"

#include "surfaces/direct_draw_surface.h"

namespace patapata {

ViewerState::ViewerState() = default;
ViewerState::~ViewerState() = default;

}  // namespace patapata
