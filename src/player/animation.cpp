#include "player/animation.h"

#include "character/viewer_state.h"

#include <algorithm>

namespace patapata {
namespace {

bool isRememberedByOneShot(int32_t state) {
  switch (state) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 15:
    case 16:
      return true;
    default:
      return false;
  }
}

// The pattern check remembers the same base states as the one-shots, except state 3.
bool isRememberedByCheck(int32_t state) {
  return state != 3 && isRememberedByOneShot(state);
}

bool isOneShot(int32_t state) {
  switch (state) {
    case 4:
    case 6:
    case 7:
    case 8:
    case 10:
    case 11:
    case 12:
      return true;
    default:
      return false;
  }
}

bool isEmptySlot(const ViewerState& viewer, int32_t state, int32_t frame) {
  // A row outside the tables, or an index past 255, has nothing in it.
  if (state < 0 || state >= kStateCount || frame < 0 || frame >= kFrameSlots) return true;
  return viewer.pattern[state][frame] == kEmptyCel && viewer.layer[state][frame] == kEmptyCel;
}

const char* captionOf(int32_t state) {
  const StateEntry* entry = stateEntry(state);
  return entry != nullptr ? entry->caption : "";
}

void selectState(ViewerState& viewer, Controls& controls, int32_t state) {
  viewer.frame = 0;
  viewer.state = state;
  controls.setCaption(ControlId::stateCaptionLabel, captionOf(state));
}

void rememberReturnTarget(ViewerState& viewer, const Controls& controls) {
  viewer.returnState = viewer.state;
  viewer.returnCaption = controls.caption(ControlId::stateCaptionLabel);
}

void selectOneShot(ViewerState& viewer, Controls& controls, int32_t state) {
  if (isRememberedByOneShot(viewer.state)) rememberReturnTarget(viewer, controls);
  selectState(viewer, controls, state);
}

void returnToBase(ViewerState& viewer, Controls& controls) {
  viewer.state = viewer.returnState;
  controls.setCaption(ControlId::stateCaptionLabel, viewer.returnCaption);
}

}  // namespace

const StateEntry* stateEntry(int32_t state) {
  const auto it = std::find_if(kStateTable.begin(), kStateTable.end(),
                               [state](const StateEntry& e) { return e.state == state; });
  return it == kStateTable.end() ? nullptr : &*it;
}

std::optional<ControlId> buttonSelectingState(int32_t state) {
  const StateEntry* entry = stateEntry(state);
  if (entry == nullptr) return std::nullopt;
  return entry->button;
}

void Button1Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 1);
}
void Button2Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 2);
}
void Button14Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 3);
}
void Button5Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 5);
}
void Button3Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 15);
}
void Button4Click(ViewerState& viewer, Controls& controls) {
  selectState(viewer, controls, 16);
}

void Button6Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 6);
}
void Button7Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 7);
}
void Button8Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 8);
}
void Button9Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 10);
}
void Button10Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 11);
}
void Button11Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 12);
}
void Button12Click(ViewerState& viewer, Controls& controls) {
  selectOneShot(viewer, controls, 4);
}

bool clickStateButton(ControlId button, ViewerState& viewer, Controls& controls) {
  using Handler = void (*)(ViewerState&, Controls&);
  struct Binding {
    ControlId button;
    Handler handler;
  };
  static constexpr Binding kBindings[] = {
      {ControlId::stateButton1, Button1Click},   {ControlId::stateButton2, Button2Click},
      {ControlId::stateButton15, Button3Click},  {ControlId::stateButton16, Button4Click},
      {ControlId::stateButton5, Button5Click},   {ControlId::stateButton6, Button6Click},
      {ControlId::stateButton7, Button7Click},   {ControlId::stateButton8, Button8Click},
      {ControlId::stateButton10, Button9Click},  {ControlId::stateButton11, Button10Click},
      {ControlId::stateButton12, Button11Click}, {ControlId::stateButton4, Button12Click},
      {ControlId::stateButton3, Button14Click},
  };
  for (const Binding& b : kBindings) {
    if (b.button == button) {
      b.handler(viewer, controls);
      return true;
    }
  }
  return false;
}

void selectCheckState(ViewerState& viewer, Controls& controls) {
  if (isRememberedByCheck(viewer.state)) rememberReturnTarget(viewer, controls);
  selectState(viewer, controls, kCheckState);
}

void advanceAndEnd(ViewerState& viewer, Controls& controls) {
  viewer.frame += 1;
  if (!isEmptySlot(viewer, viewer.state, viewer.frame)) return;
  // The loop boxes are read now, at the end, so a change while the viewer plays decides it.
  if (viewer.state == kCheckState) {
    if (!controls.isChecked(ControlId::patternLoopBox)) returnToBase(viewer, controls);
  } else if (isOneShot(viewer.state)) {
    if (!controls.isChecked(ControlId::oneShotLoopBox)) returnToBase(viewer, controls);
  }
  viewer.frame = 1;
}

int32_t sequenceLength(const ViewerState& viewer, int32_t state) {
  int32_t frame = 1;
  while (!isEmptySlot(viewer, state, frame)) ++frame;
  return std::max(frame - 1, 1);
}

}  // namespace patapata
