#pragma once

#include "common/controls.h"

#include <array>
#include <cstdint>
#include <optional>

namespace patapata {

/// The thirteen state buttons, in the order a reset disables them.
inline constexpr std::array<ControlId, 13> kStateButtons{
    ControlId::Button1, ControlId::Button2,  ControlId::Button3,  ControlId::Button4,
    ControlId::Button5, ControlId::Button6,  ControlId::Button7,  ControlId::Button8,
    ControlId::Button9, ControlId::Button10, ControlId::Button11, ControlId::Button12,
    ControlId::Button14};

/// The button a "#PATERN" or "#LAYER" line of a state enables; none for states no button
/// plays (state 9 enables Button1, the button of state 1).
std::optional<ControlId> buttonEnabledByState(int32_t state);

/// The design name of a control ("Button1", "Edit2", …).
const char* controlName(ControlId id);

}  // namespace patapata
