#include "player/frame_strip.h"

#include "character/character.h"
#include "character/state_table.h"

#include <algorithm>

namespace patapata {

namespace {

// Caret tracking fills every slot of the check row with the entry under the caret; a check the
// button starts, or a file's row, leaves slot 0 and the slots after the sequence empty.
bool isCaretStill(const Character& character, int32_t state) {
  if (state != kCheckState) return false;
  const SequenceRow& row = character.pattern[kCheckState];
  return row[0] != kEmptyCel &&
         std::all_of(row.begin(), row.end(), [&](int32_t entry) { return entry == row[0]; });
}

}  // namespace

void stripFrames(const Character& character, int32_t state, std::vector<StripFrame>& out) {
  out.clear();
  if (out.capacity() < static_cast<std::size_t>(kFrameSlots)) out.reserve(kFrameSlots);
  const auto add = [&](int32_t shown, int32_t frame) {
    out.push_back(StripFrame{.frame = shown,
                             .patternCel = character.entry(Sequence::Pattern, state, frame),
                             .recipe = recipeOf(character, state, frame)});
  };
  if (isCaretStill(character, state)) {
    add(0, 1);
    return;
  }
  const int32_t length = character.sequenceLength(state);
  for (int32_t frame = 1; frame <= length; ++frame) add(frame, frame);
}

int32_t stripIndexOf(const std::vector<StripFrame>& frames, int32_t frame) {
  if (frames.size() == 1 && frames.front().frame == 0) return 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].frame == frame) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace patapata
