#pragma once

namespace patapata {

struct ViewerState;
class Controls;

/// Change handler of the frame-interval edit: a text that converts (leniently,
/// default 0) to a value above 0 becomes `frameIntervalMs`; anything else changes nothing.
/// Cannot fail.
void applyIntervalText(ViewerState& viewer, const Controls& controls);

}  // namespace patapata
