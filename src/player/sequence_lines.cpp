#include "player/sequence_lines.h"

#include "character/state_table.h"
#include "common/controls.h"
#include "player/animation.h"
#include "player/pattern_check.h"
#include "player/player.h"

#include <algorithm>
#include <cstdio>

namespace patapata {

int32_t checkReturnState(Player player) {
  if (player.state != kCheckState) rememberReturnForCheck(player);
  return player.returnState;
}

std::string sequenceLines(int32_t state, std::string_view pattern, std::string_view layer,
                          std::string_view destination) {
  char number[8];
  std::snprintf(number, sizeof number, "%02d", static_cast<int>(state));
  std::string lines = std::string("#PATERN ") + number + ' ' + std::string(pattern) + '\n';
  if (!layer.empty() || !destination.empty()) {
    lines += std::string("#LAYER ") + number + ' ' + std::string(layer) + ' ' +
             std::string(destination) + '\n';
  }
  return lines;
}

std::string sequenceLines(int32_t state, const Controls& controls) {
  return sequenceLines(state, controls.text(Edit::Pattern), controls.text(Edit::Layer),
                       controls.text(Edit::Destination));
}

void repeatLayerForEveryFrame(Controls& controls) {
  // A file stores no more entries than the check plays.
  const int32_t frames = std::min(entryCount(controls.text(Edit::Pattern)), kMaxCheckEntries);
  for (const Edit edit : {Edit::Layer, Edit::Destination}) {
    const std::string text = controls.text(edit);
    if (text.size() != 2 || frames < 2) continue;
    std::string repeated;
    repeated.reserve(text.size() * static_cast<std::size_t>(frames));
    for (int32_t i = 0; i < frames; ++i) repeated += text;
    controls.setText(edit, repeated);
  }
}

}  // namespace patapata
