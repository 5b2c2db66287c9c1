#include "player/pattern_check.h"

#include "character/viewer_state.h"
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
  ControlId edit;
  ControlId counter;
  int32_t ViewerState::*savedPosition;
};

constexpr TrackedEdit kTrackedEdits[] = {
    {ControlId::Edit2, ControlId::Label6, &ViewerState::PatternCaretPos},
    {ControlId::Edit3, ControlId::Label7, &ViewerState::LayerCaretPos},
    {ControlId::Edit4, ControlId::Label8, &ViewerState::LayerDestCaretPos},
};

}  // namespace

int32_t entryCount(std::string_view sequenceText) {
  // Edits have no length limit; counting in 64 bits keeps a huge text from wrapping.
  return static_cast<int32_t>(std::min<std::size_t>(sequenceText.size() / 2, INT32_MAX));
}

void buttonckClick(ViewerState& state, Controls& controls) {
  state.LayerOn[CheckState] = 0;
  SequenceRow& pattern = state.PatternSeq[CheckState];
  // Slot 0 keeps what caret tracking put there; it is never shown.
  std::fill(pattern.begin() + 1, pattern.end(), kEmptyCel);

  storeEntries(controls.text(ControlId::Edit2), pattern);

  const std::string layer = controls.text(ControlId::Edit3);
  if (entryCount(layer) > 0) state.LayerOn[CheckState] = 1;
  storeEntries(layer, state.LayerSeq[CheckState]);

  storeEntries(controls.text(ControlId::Edit4), state.LayerDestSeq[CheckState]);

  selectCheckState(state, controls);
}

void trackCarets(ViewerState& state, Controls& controls) {
  for (const TrackedEdit& tracked : kTrackedEdits) {
    const int32_t pos = controls.caretPosition(tracked.edit);
    if (pos == state.*tracked.savedPosition) continue;
    state.*tracked.savedPosition = pos;

    const int32_t k = pos / 2;
    const std::pair<ControlId, SequenceRow*> rows[] = {
        {ControlId::Edit2, &state.PatternSeq[CheckState]},
        {ControlId::Edit3, &state.LayerSeq[CheckState]},
        {ControlId::Edit4, &state.LayerDestSeq[CheckState]},
    };
    for (const auto& [edit, row] : rows) {
      const std::string sequence = controls.text(edit);
      if (pos < 0 || sequence.size() <= static_cast<std::size_t>(pos)) continue;
      // Entry k is the two bytes from byte 2k + 1, or one when the text ends after it.
      row->fill(hexPairUntrimmed(text::copy(sequence, int64_t{2} * k + 1, 2)));
    }

    state.LayerOn[CheckState] = 1;
    state.AnimFrame = 0;
    state.AnimState = CheckState;
    const std::string sequence = controls.text(tracked.edit);
    controls.setCaption(tracked.counter,
                        std::to_string(k) + "/" + std::to_string(entryCount(sequence)));
  }
}

void clipperClick(Controls& controls) {
  controls.selectAllAndCopy(ControlId::Edit2);
}

}  // namespace patapata
