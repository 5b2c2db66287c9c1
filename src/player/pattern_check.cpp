#include "player/pattern_check.h"

#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/int_conversion.h"
#include "common/text.h"
#include "player/animation.h"

#include <algorithm>
#include <string>

namespace patapata {

namespace {

/// Stores the entries of `sequence` in slots 1..n of `row`, trimmed, up to slot 255.
void storeEntries(std::string_view sequence, SequenceRow& row) {
  const int32_t n = std::min(entryCount(sequence), kMaxCheckEntries);
  for (int32_t i = 1; i <= n; ++i) {
    row[static_cast<std::size_t>(i)] = hexPair(text::copy(sequence, 2 * i - 1, 2));
  }
}

struct TrackedEdit {
  Edit edit;
  std::string DisplayState::*counter;
  int32_t ViewerState::*savedPosition;
};

constexpr TrackedEdit kTrackedEdits[] = {
    {Edit::Pattern, &DisplayState::patternCounter, &ViewerState::patternCaret},
    {Edit::Layer, &DisplayState::layerCounter, &ViewerState::layerCaret},
    {Edit::Destination, &DisplayState::destinationCounter, &ViewerState::destinationCaret},
};

}  // namespace

int32_t entryCount(std::string_view sequenceText) {
  // Edits have no length limit; counting in 64 bits keeps a huge text from wrapping.
  return static_cast<int32_t>(std::min<std::size_t>(sequenceText.size() / 2, INT32_MAX));
}

void startPatternCheck(ViewerState& viewer, Controls& controls) {
  viewer.layerOn[kCheckState] = 0;
  SequenceRow& pattern = viewer.pattern[kCheckState];
  // Slot 0 keeps what caret tracking put there; it is never shown.
  std::fill(pattern.begin() + 1, pattern.end(), kEmptyCel);

  storeEntries(controls.text(Edit::Pattern), pattern);

  const std::string layer = controls.text(Edit::Layer);
  if (entryCount(layer) > 0) viewer.layerOn[kCheckState] = 1;
  storeEntries(layer, viewer.layer[kCheckState]);

  storeEntries(controls.text(Edit::Destination), viewer.layerDest[kCheckState]);

  selectState(viewer, kCheckState);
}

void trackCarets(ViewerState& viewer, Controls& controls) {
  for (const TrackedEdit& tracked : kTrackedEdits) {
    const int32_t pos = controls.caretPosition(tracked.edit);
    if (pos == viewer.*tracked.savedPosition) continue;
    viewer.*tracked.savedPosition = pos;

    const int32_t k = pos / 2;
    const std::pair<Edit, SequenceRow*> rows[] = {
        {Edit::Pattern, &viewer.pattern[kCheckState]},
        {Edit::Layer, &viewer.layer[kCheckState]},
        {Edit::Destination, &viewer.layerDest[kCheckState]},
    };
    for (const auto& [edit, row] : rows) {
      const std::string sequence = controls.text(edit);
      if (pos < 0 || sequence.size() <= static_cast<std::size_t>(pos)) continue;
      // Entry k is the two bytes from byte 2k + 1, or one when the text ends after it.
      row->fill(hexPairUntrimmed(text::copy(sequence, int64_t{2} * k + 1, 2)));
    }

    viewer.layerOn[kCheckState] = 1;
    // Remembered as the check button does, so that a check typed and then started returns to
    // the base state it was typed over instead of to whatever was remembered before.
    rememberReturnForCheck(viewer);
    viewer.frame = 0;
    viewer.state = kCheckState;
    const std::string sequence = controls.text(tracked.edit);
    viewer.display.*tracked.counter =
        std::to_string(k) + "/" + std::to_string(entryCount(sequence));
  }
}

void copyPatternToClipboard(Controls& controls) {
  controls.selectAllAndCopy(Edit::Pattern);
}

}  // namespace patapata
