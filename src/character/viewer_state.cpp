#include "character/viewer_state.h"

#include "surfaces/surface.h"

namespace patapata {

ViewerState::ViewerState() = default;
ViewerState::~ViewerState() = default;

}  // namespace patapata
