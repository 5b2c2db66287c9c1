#include "player/animation.h"

#include "character/state_table.h"
#include "character/viewer_state.h"
#include "common/controls.h"

#include <algorithm>

namespace patapata {
namespace {

StateKind kindOf(int32_t state) {
  const StateInfo* info = stateInfo(state);
  // A state no button selects loops like a base state, but nothing remembers it.
  return info != nullptr ? info->kind : StateKind::Base;
}

bool isBaseStateWithButton(int32_t state) {
  const StateInfo* info = stateInfo(state);
  return info != nullptr && info->kind == StateKind::Base;
}

bool isEmptySlot(const ViewerState& viewer, int32_t state, int32_t frame) {
  // A row outside the tables, or an index past 255, has nothing in it.
  if (state < 0 || state >= kStateCount || frame < 0 || frame >= kFrameSlots) return true;
  return viewer.pattern[state][frame] == kEmptyCel && viewer.layer[state][frame] == kEmptyCel;
}

void rememberReturnTarget(ViewerState& viewer) {
  viewer.returnState = viewer.state;
  viewer.returnCaption = viewer.display.stateCaption;
}

void returnToBase(ViewerState& viewer) {
  viewer.state = viewer.returnState;
  viewer.display.stateCaption = viewer.returnCaption;
}

}  // namespace

void rememberReturnForCheck(ViewerState& viewer) {
  if (isBaseStateWithButton(viewer.state) && stateInfo(viewer.state)->patternCheckReturnsHere) {
    rememberReturnTarget(viewer);
  }
}

void selectState(ViewerState& viewer, int32_t state) {
  const StateInfo* info = stateInfo(state);
  if (info == nullptr) return;
  if (info->kind == StateKind::OneShot && isBaseStateWithButton(viewer.state)) {
    rememberReturnTarget(viewer);
  } else if (info->kind == StateKind::PatternCheck) {
    rememberReturnForCheck(viewer);
  }
  viewer.frame = 0;
  viewer.state = state;
  viewer.display.stateCaption = info->caption;
}

void advanceAndEnd(ViewerState& viewer, const Controls& controls) {
  viewer.frame += 1;
  if (!isEmptySlot(viewer, viewer.state, viewer.frame)) return;
  // The loop switches are read now, at the end, so a change while the state plays decides it.
  switch (kindOf(viewer.state)) {
    case StateKind::PatternCheck:
      if (!controls.isChecked(Switch::PatternLoop)) returnToBase(viewer);
      break;
    case StateKind::OneShot:
      if (!controls.isChecked(Switch::OneShotLoop)) returnToBase(viewer);
      break;
    case StateKind::Base:
      break;
  }
  viewer.frame = 1;
}

int32_t sequenceLength(const ViewerState& viewer, int32_t state) {
  int32_t frame = 1;
  while (!isEmptySlot(viewer, state, frame)) ++frame;
  return std::max(frame - 1, 1);
}

}  // namespace patapata
