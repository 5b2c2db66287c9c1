#include "player/animation.h"

#include "character/character.h"
#include "common/controls.h"

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

void rememberReturnTarget(Player& player) {
  player.returnState = player.state;
  player.returnCaption = player.caption;
}

void returnToBase(Player& player) {
  player.state = player.returnState;
  player.caption = player.returnCaption;
}

}  // namespace

LoopSwitches loopSwitchesOf(const Controls& controls) {
  return LoopSwitches{.patternCheck = controls.isChecked(Switch::PatternLoop),
                      .oneShot = controls.isChecked(Switch::OneShotLoop)};
}

void rememberReturnForCheck(Player& player) {
  if (isBaseStateWithButton(player.state) &&
      stateInfo(player.state)->checkReturn == CheckReturn::Here) {
    rememberReturnTarget(player);
  }
}

void selectState(Player& player, int32_t state) {
  const StateInfo* info = stateInfo(state);
  if (info == nullptr) return;
  if (info->kind == StateKind::OneShot && isBaseStateWithButton(player.state)) {
    rememberReturnTarget(player);
  } else if (info->kind == StateKind::PatternCheck) {
    rememberReturnForCheck(player);
  }
  player.frame = 0;
  player.state = state;
  player.caption = info->caption;
}

void advanceAndEnd(Player& player, const Character& character, LoopSwitches loops) {
  player.frame += 1;
  if (!character.endsAt(player.state, player.frame)) return;
  switch (kindOf(player.state)) {
    case StateKind::PatternCheck:
      if (!loops.patternCheck) returnToBase(player);
      break;
    case StateKind::OneShot:
      if (!loops.oneShot) returnToBase(player);
      break;
    case StateKind::Base:
      break;
  }
  player.frame = 1;
}

void resetForLoad(Player& player) {
  player.state = 1;
  player.caption = kNoStateCaption;
}

}  // namespace patapata
