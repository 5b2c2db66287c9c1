#include "character/state_buttons.h"

namespace patapata {

std::optional<ControlId> buttonEnabledByState(int32_t state) {
  switch (state) {
    case 1:
    case 9:
      return ControlId::Button1;
    case 2:
      return ControlId::Button2;
    case 3:
      return ControlId::Button14;
    case 4:
      return ControlId::Button12;
    case 5:
      return ControlId::Button5;
    case 6:
      return ControlId::Button6;
    case 7:
      return ControlId::Button7;
    case 8:
      return ControlId::Button8;
    case 10:
      return ControlId::Button9;
    case 11:
      return ControlId::Button10;
    case 12:
      return ControlId::Button11;
    case 15:
      return ControlId::Button3;
    case 16:
      return ControlId::Button4;
    default:
      return std::nullopt;
  }
}

const char* controlName(ControlId id) {
  switch (id) {
    case ControlId::Button1:
      return "Button1";
    case ControlId::Button2:
      return "Button2";
    case ControlId::Button3:
      return "Button3";
    case ControlId::Button4:
      return "Button4";
    case ControlId::Button5:
      return "Button5";
    case ControlId::Button6:
      return "Button6";
    case ControlId::Button7:
      return "Button7";
    case ControlId::Button8:
      return "Button8";
    case ControlId::Button9:
      return "Button9";
    case ControlId::Button10:
      return "Button10";
    case ControlId::Button11:
      return "Button11";
    case ControlId::Button12:
      return "Button12";
    case ControlId::Button14:
      return "Button14";
    case ControlId::buttonck:
      return "buttonck";
    case ControlId::reload:
      return "reload";
    case ControlId::clipper:
      return "clipper";
    case ControlId::CGreload:
      return "CGreload";
    case ControlId::Label1:
      return "Label1";
    case ControlId::Label2:
      return "Label2";
    case ControlId::Label3:
      return "Label3";
    case ControlId::Label4:
      return "Label4";
    case ControlId::Label5:
      return "Label5";
    case ControlId::Label6:
      return "Label6";
    case ControlId::Label7:
      return "Label7";
    case ControlId::Label8:
      return "Label8";
    case ControlId::Edit1:
      return "Edit1";
    case ControlId::Edit2:
      return "Edit2";
    case ControlId::Edit3:
      return "Edit3";
    case ControlId::Edit4:
      return "Edit4";
    case ControlId::CheckBox1:
      return "CheckBox1";
    case ControlId::CheckBox2:
      return "CheckBox2";
    case ControlId::autocgload:
      return "autocgload";
  }
  return "";
}

}  // namespace patapata
