#include "player/playback.h"

#include "character/viewer_state.h"
#include "player/animation.h"

namespace patapata {

void Playback::noticeMoves(const ViewerState& viewer) {
  if (viewer.state == afterState_ && viewer.frame == afterFrame_ &&
      viewer.returnState == afterReturnState_) {
    return;
  }
  origin_ = Position{viewer.state, viewer.frame, viewer.returnState, viewer.returnCaption,
                     viewer.display.stateCaption};
  advances_ = 0;
}

void Playback::rememberAfter(const ViewerState& viewer) {
  afterState_ = viewer.state;
  afterFrame_ = viewer.frame;
  afterReturnState_ = viewer.returnState;
}

void Playback::advance(ViewerState& viewer, const Controls& controls) {
  noticeMoves(viewer);
  advanceAndEnd(viewer, controls);
  ++advances_;
  rememberAfter(viewer);
}

bool Playback::stepBack(ViewerState& viewer, const Controls& controls) {
  noticeMoves(viewer);
  // The origin itself (frame 0 after a button) was never shown.
  if (advances_ < 2) return false;
  viewer.state = origin_.state;
  viewer.frame = origin_.frame;
  viewer.returnState = origin_.returnState;
  viewer.returnCaption = origin_.returnCaption;
  viewer.display.stateCaption = origin_.caption;
  const int64_t replay = advances_ - 1;
  for (int64_t i = 0; i < replay; ++i) advanceAndEnd(viewer, controls);
  advances_ = replay;
  rememberAfter(viewer);
  return true;
}

}  // namespace patapata
