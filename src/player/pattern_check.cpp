#include "player/pattern_check.h"

#include "character/character.h"
#include "common/controls.h"
#include "common/int_conversion.h"
#include "common/text.h"
#include "player/animation.h"
#include "player/player.h"

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

constexpr std::array<Edit, 3> kTrackedEdits{Edit::Pattern, Edit::Layer, Edit::Destination};

}  // namespace

int32_t entryCount(std::string_view sequenceText) {
  // Edits have no length limit; counting in 64 bits keeps a huge text from wrapping.
  return static_cast<int32_t>(std::min<std::size_t>(sequenceText.size() / 2, INT32_MAX));
}

void startPatternCheck(Character& character, Player& player, const Controls& controls) {
  character.layerOn[kCheckState] = false;
  const std::array<SequenceRow*, 3> rows{&character.pattern[kCheckState],
                                         &character.layer[kCheckState],
                                         &character.layerDest[kCheckState]};
  // Slot 0 keeps what caret tracking put there; it is never shown. Entries of earlier caret
  // tracking beyond the typed ones would play as empty frames.
  for (SequenceRow* row : rows) std::fill(row->begin() + 1, row->end(), kEmptyCel);

  storeEntries(controls.text(Edit::Pattern), *rows[0]);
  const std::string layer = controls.text(Edit::Layer);
  if (entryCount(layer) > 0) character.layerOn[kCheckState] = true;
  storeEntries(layer, *rows[1]);
  storeEntries(controls.text(Edit::Destination), *rows[2]);

  selectState(player, kCheckState);
}

void showEntryAt(int32_t pos, Character& character, Player& player, const Controls& controls) {
  const std::array<SequenceRow*, 3> rows{&character.pattern[kCheckState],
                                         &character.layer[kCheckState],
                                         &character.layerDest[kCheckState]};
  const int32_t k = pos / 2;
  for (std::size_t i = 0; i < kTrackedEdits.size(); ++i) {
    const std::string sequence = controls.text(kTrackedEdits[i]);
    if (pos < 0 || sequence.size() <= static_cast<std::size_t>(pos)) continue;
    // Entry k is the two bytes from byte 2k + 1, or one when the text ends after it.
    rows[i]->fill(hexPairUntrimmed(text::copy(sequence, int64_t{2} * k + 1, 2)));
  }
  character.layerOn[kCheckState] = true;
  // Remembered as the check button does, so that a check typed and then started returns to
  // the base state it was typed over instead of to whatever was remembered before.
  rememberReturnForCheck(player);
  player.frame = 0;
  player.state = kCheckState;
}

void trackCarets(PatternCheckCarets& carets, Character& character, Player& player,
                 const Controls& controls) {
  for (std::size_t tracked = 0; tracked < kTrackedEdits.size(); ++tracked) {
    const int32_t pos = controls.caretPosition(kTrackedEdits[tracked]);
    if (pos == carets.positions[tracked]) continue;
    carets.positions[tracked] = pos;
    showEntryAt(pos, character, player, controls);
    const std::string sequence = controls.text(kTrackedEdits[tracked]);
    carets.counters[tracked] = std::to_string(pos / 2) + "/" + std::to_string(entryCount(sequence));
  }
}

void copyPatternToClipboard(Controls& controls) {
  controls.selectAllAndCopy(Edit::Pattern);
}

}  // namespace patapata
