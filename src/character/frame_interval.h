#pragma once

namespace patapata {

struct ViewerState;
class Controls;

/// Change handler of the frame-interval edit `Edit1`: a text that converts (leniently,
/// default 0) to a value above 0 becomes `FrameInterval`; anything else changes nothing.
/// Cannot fail.
void Edit1Change(ViewerState& state, const Controls& controls);

}  // namespace patapata
