#include "player/all_states_playback.h"

#include "character/character.h"
#include "character/state_table.h"

#include <algorithm>

namespace patapata {

namespace {

// The order of the view: the buttons' states as the state table lists them, then the states no
// button selects, by number, then the pattern check, which comes and goes.
constexpr std::array<int32_t, kStateCount> kViewOrder = [] {
  std::array<int32_t, kStateCount> order{};
  std::size_t n = 0;
  for (const StateInfo& info : kStates) {
    if (info.state != kCheckState) order[n++] = info.state;
  }
  for (int32_t state = 0; state < kStateCount; ++state) {
    bool hasButton = false;
    for (const StateInfo& info : kStates) hasButton = hasButton || info.state == state;
    if (!hasButton) order[n++] = state;
  }
  order[n++] = kCheckState;
  return order;
}();

bool restsAfterPass(int32_t state) {
  const StateInfo* info = stateInfo(state);
  return info != nullptr && info->kind != StateKind::Base;
}

}  // namespace

int32_t AllStatesPlayback::restTicksAt(int32_t intervalMs) {
  if (intervalMs <= 0) return kMaxRestTicks;
  return std::clamp((kRestMs + intervalMs - 1) / intervalMs, 1, kMaxRestTicks);
}

bool AllStatesPlayback::follow(const Character& character, bool checkPlaying) {
  std::array<int32_t, kStateCount> wanted{};
  std::size_t count = 0;
  for (int32_t state : kViewOrder) {
    if (state == kCheckState && !checkPlaying) continue;
    if (character.hasEntries(state)) wanted[count++] = state;
  }
  bool same = count == plays_.size();
  for (std::size_t i = 0; same && i < count; ++i) same = plays_[i].state == wanted[i];
  if (!same) {
    std::vector<StatePlay> kept(plays_);
    plays_.clear();
    for (std::size_t i = 0; i < count; ++i) {
      const auto old = std::find_if(kept.begin(), kept.end(),
                                    [&](const StatePlay& p) { return p.state == wanted[i]; });
      plays_.push_back(old != kept.end() ? *old : StatePlay{.state = wanted[i]});
    }
  }
  // A reload may have shortened a sequence below the frame shown.
  for (StatePlay& play : plays_) {
    if (character.endsAt(play.state, play.frame)) play = StatePlay{.state = play.state};
  }
  return !same;
}

void AllStatesPlayback::advance(const Character& character) {
  for (StatePlay& play : plays_) {
    if (play.restTicks > 0) {
      if (--play.restTicks == 0) play.frame = 1;
      continue;
    }
    const int32_t next = play.frame + 1;
    if (!character.endsAt(play.state, next)) {
      play.frame = next;
    } else if (restsAfterPass(play.state)) {
      play.restTicks = restTicksAt(character.frameIntervalMs);
    } else {
      play.frame = 1;
    }
  }
}

}  // namespace patapata
