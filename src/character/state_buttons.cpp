#include "character/state_buttons.h"

namespace patapata {

std::optional<ControlId> buttonEnabledByState(int32_t state) {
  switch (state) {
    case 1:
    case 9:
      return ControlId::stateButton1;
    case 2:
      return ControlId::stateButton2;
    case 3:
      return ControlId::stateButton3;
    case 4:
      return ControlId::stateButton4;
    case 5:
      return ControlId::stateButton5;
    case 6:
      return ControlId::stateButton6;
    case 7:
      return ControlId::stateButton7;
    case 8:
      return ControlId::stateButton8;
    case 10:
      return ControlId::stateButton10;
    case 11:
      return ControlId::stateButton11;
    case 12:
      return ControlId::stateButton12;
    case 15:
      return ControlId::stateButton15;
    case 16:
      return ControlId::stateButton16;
    default:
      return std::nullopt;
  }
}

const char* controlName(ControlId id) {
  switch (id) {
    case ControlId::stateButton1:
      return "Button1";
    case ControlId::stateButton2:
      return "Button2";
    case ControlId::stateButton15:
      return "Button3";
    case ControlId::stateButton16:
      return "Button4";
    case ControlId::stateButton5:
      return "Button5";
    case ControlId::stateButton6:
      return "Button6";
    case ControlId::stateButton7:
      return "Button7";
    case ControlId::stateButton8:
      return "Button8";
    case ControlId::stateButton10:
      return "Button9";
    case ControlId::stateButton11:
      return "Button10";
    case ControlId::stateButton12:
      return "Button11";
    case ControlId::stateButton4:
      return "Button12";
    case ControlId::stateButton3:
      return "Button14";
    case ControlId::patternCheckButton:
      return "buttonck";
    case ControlId::reloadButton:
      return "reload";
    case ControlId::copyPatternButton:
      return "clipper";
    case ControlId::sheetReloadButton:
      return "CGreload";
    case ControlId::nameLabel:
      return "Label1";
    case ControlId::stateCaptionLabel:
      return "Label2";
    case ControlId::intervalLabel:
      return "Label3";
    case ControlId::layerLabel:
      return "Label4";
    case ControlId::destinationLabel:
      return "Label5";
    case ControlId::patternCounter:
      return "Label6";
    case ControlId::layerCounter:
      return "Label7";
    case ControlId::destinationCounter:
      return "Label8";
    case ControlId::intervalEdit:
      return "Edit1";
    case ControlId::patternEdit:
      return "Edit2";
    case ControlId::layerEdit:
      return "Edit3";
    case ControlId::destinationEdit:
      return "Edit4";
    case ControlId::patternLoopBox:
      return "CheckBox1";
    case ControlId::oneShotLoopBox:
      return "CheckBox2";
    case ControlId::autoSheetReload:
      return "autocgload";
  }
  return "";
}

}  // namespace patapata
