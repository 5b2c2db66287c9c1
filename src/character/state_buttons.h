#pragma once

#include "common/controls.h"

#include <array>
#include <cstdint>
#include <optional>

namespace patapata {

/// The thirteen state buttons, in the order a reset disables them.
inline constexpr std::array<ControlId, 13> kStateButtons{
    ControlId::stateButton1,  ControlId::stateButton2,  ControlId::stateButton15,
    ControlId::stateButton16, ControlId::stateButton5,  ControlId::stateButton6,
    ControlId::stateButton7,  ControlId::stateButton8,  ControlId::stateButton10,
    ControlId::stateButton11, ControlId::stateButton12, ControlId::stateButton4,
    ControlId::stateButton3};

/// The button a "#PATERN" or "#LAYER" line of a state enables; none for states no button
/// plays (state 9 enables Button1, the button of state 1).
std::optional<ControlId> buttonEnabledByState(int32_t state);

/// The design name of a control ("Button1", "Edit2", …).
const char* controlName(ControlId id);

}  // namespace patapata
