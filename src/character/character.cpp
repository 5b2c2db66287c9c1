#include "character/character.h"

#include "common/int_conversion.h"

#include <algorithm>
#include <cstdint>

namespace patapata {

std::optional<Rect> CelRect::rect() const {
  if (!fitsInt32(right()) || !fitsInt32(bottom())) return std::nullopt;
  return Rect{x, y, static_cast<int32_t>(right()), static_cast<int32_t>(bottom())};
}

Character::Character() {
  for (SequenceTable* t : {&pattern, &layer, &layerDest}) {
    for (SequenceRow& row : *t) row.fill(kEmptyCel);
  }
}

const SequenceTable& Character::table(Sequence sequence) const {
  switch (sequence) {
    case Sequence::Layer:
      return layer;
    case Sequence::Destination:
      return layerDest;
    case Sequence::Pattern:
      break;
  }
  return pattern;
}

int32_t Character::entry(Sequence sequence, int32_t state, int32_t frame) const {
  if (!isState(state) || !isFrameSlot(frame)) return kEmptyCel;
  return table(sequence)[state][frame];
}

bool Character::endsAt(int32_t state, int32_t frame) const {
  return entry(Sequence::Pattern, state, frame) == kEmptyCel &&
         entry(Sequence::Layer, state, frame) == kEmptyCel;
}

bool Character::hasEntries(int32_t state) const {
  if (!isState(state)) return false;
  // The window of every state asks it of each state at each tick, and most states are empty:
  // a row whose every slot is empty has every bit set in all of them, which one pass over the
  // whole row tells, vectorised; the others stop at their first entry.
  static_assert(kEmptyCel == -1);
  const auto filled = [](const SequenceRow& row) {
    int32_t all = kEmptyCel;
    for (const int32_t cel : row) all &= cel;
    return all != kEmptyCel &&
           std::any_of(row.begin() + 1, row.end(), [](int32_t cel) { return cel != kEmptyCel; });
  };
  return filled(pattern[state]) || filled(layer[state]);
}

int32_t Character::sequenceLength(int32_t state) const {
  int32_t frame = 1;
  while (!endsAt(state, frame)) ++frame;
  return std::max(frame - 1, 1);
}

bool Character::enablesButton(int32_t state) const {
  for (int32_t row = 0; row < kStateCount; ++row) {
    if (stateNamed[row] && buttonEnabledByRow(row) == state) return true;
  }
  return false;
}

}  // namespace patapata
