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
  return viewer.PatternSeq[state][frame] == kEmptyCel && viewer.LayerSeq[state][frame] == kEmptyCel;
}

const char* captionOf(int32_t state) {
  const StateEntry* entry = stateEntry(state);
  return entry != nullptr ? entry->caption : "";
}

void selectState(ViewerState& viewer, Controls& controls, int32_t state) {
  viewer.AnimFrame = 0;
  viewer.AnimState = state;
  controls.setCaption(ControlId::Label2, captionOf(state));
}

void rememberReturnTarget(ViewerState& viewer, const Controls& controls) {
  viewer.ReturnState = viewer.AnimState;
  viewer.ReturnCaption = controls.caption(ControlId::Label2);
}

void selectOneShot(ViewerState& viewer, Controls& controls, int32_t state) {
  if (isRememberedByOneShot(viewer.AnimState)) rememberReturnTarget(viewer, controls);
  selectState(viewer, controls, state);
}

void returnToBase(ViewerState& viewer, Controls& controls) {
  viewer.AnimState = viewer.ReturnState;
  controls.setCaption(ControlId::Label2, viewer.ReturnCaption);
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

void Button1Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 1);
}
void Button2Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 2);
}
void Button14Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 3);
}
void Button5Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 5);
}
void Button3Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 15);
}
void Button4Click(ViewerState& state, Controls& controls) {
  selectState(state, controls, 16);
}

void Button6Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 6);
}
void Button7Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 7);
}
void Button8Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 8);
}
void Button9Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 10);
}
void Button10Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 11);
}
void Button11Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 12);
}
void Button12Click(ViewerState& state, Controls& controls) {
  selectOneShot(state, controls, 4);
}

bool clickStateButton(ControlId button, ViewerState& state, Controls& controls) {
  using Handler = void (*)(ViewerState&, Controls&);
  struct Binding {
    ControlId button;
    Handler handler;
  };
  static constexpr Binding kBindings[] = {
      {ControlId::Button1, Button1Click},   {ControlId::Button2, Button2Click},
      {ControlId::Button3, Button3Click},   {ControlId::Button4, Button4Click},
      {ControlId::Button5, Button5Click},   {ControlId::Button6, Button6Click},
      {ControlId::Button7, Button7Click},   {ControlId::Button8, Button8Click},
      {ControlId::Button9, Button9Click},   {ControlId::Button10, Button10Click},
      {ControlId::Button11, Button11Click}, {ControlId::Button12, Button12Click},
      {ControlId::Button14, Button14Click},
  };
  for (const Binding& b : kBindings) {
    if (b.button == button) {
      b.handler(state, controls);
      return true;
    }
  }
  return false;
}

void selectCheckState(ViewerState& state, Controls& controls) {
  if (isRememberedByCheck(state.AnimState)) rememberReturnTarget(state, controls);
  selectState(state, controls, CheckState);
}

void advanceAndEnd(ViewerState& state, Controls& controls) {
  state.AnimFrame += 1;
  if (!isEmptySlot(state, state.AnimState, state.AnimFrame)) return;
  // The loop boxes are read now, at the end, so a change while the state plays decides it.
  if (state.AnimState == CheckState) {
    if (!controls.isChecked(ControlId::CheckBox1)) returnToBase(state, controls);
  } else if (isOneShot(state.AnimState)) {
    if (!controls.isChecked(ControlId::CheckBox2)) returnToBase(state, controls);
  }
  state.AnimFrame = 1;
}

int32_t sequenceLength(const ViewerState& viewer, int32_t state) {
  int32_t frame = 1;
  while (!isEmptySlot(viewer, state, frame)) ++frame;
  return std::max(frame - 1, 1);
}

}  // namespace patapata
