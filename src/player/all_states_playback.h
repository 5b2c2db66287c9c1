#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace patapata {

struct Character;

/// Where one state of the all-states view is: the frame it shows, and how many more ticks it
/// rests there after a pass.
struct StatePlay {
  int32_t state = 0;
  int32_t frame = 1;
  int32_t restTicks = 0;

  friend bool operator==(const StatePlay&, const StatePlay&) = default;
};

/// Every state of one character playing at once, each on its own, moved by the window's tick.
/// Looping states loop; a one-shot, and the pattern check, rests on its last frame for about
/// kRestMs after each pass and then starts again, so that it can be watched; none returns.
class AllStatesPlayback {
 public:
  /// The rest after a one-shot's pass, in milliseconds; counted in ticks of the interval.
  static constexpr int32_t kRestMs = 600;
  /// The longest rest in ticks, for intervals of a millisecond or none.
  static constexpr int32_t kMaxRestTicks = 600;

  /// Brings the states in line with `character`: every state that has entries, in the order of
  /// the window's buttons and then by number, the pattern-check state last and only while
  /// `checkPlaying`. A state that stays keeps its frame (from frame 1 again when its sequence no
  /// longer reaches it); a new one starts at frame 1. True when the states changed. Allocates
  /// only when there are more states than ever before.
  bool follow(const Character& character, bool checkPlaying);

  /// One tick of every state.
  void advance(const Character& character);

  const std::vector<StatePlay>& plays() const { return plays_; }

  /// The ticks a one-shot rests at `intervalMs` per frame: at least one.
  static int32_t restTicksAt(int32_t intervalMs);

 private:
  std::vector<StatePlay> plays_;
};

}  // namespace patapata
