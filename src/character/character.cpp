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
  for (int32_t frame = 1; frame < kFrameSlots; ++frame) {
    if (!endsAt(state, frame)) return true;
  }
  return false;
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
