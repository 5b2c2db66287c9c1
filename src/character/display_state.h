#pragma once

#include "character/character_lint.h"
#include "character/state_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace patapata {

/// An automatic reload that failed, as the status line tells it until the next good load.
struct ReloadFailure {
  std::string file;     ///< the file that failed, bytes as the file system takes them
  int32_t line = 0;     ///< the character file's line; 0 for a sheet, or a file not read at all
  std::string message;  ///< the system's message, UTF-8

  friend bool operator==(const ReloadFailure&, const ReloadFailure&) = default;
};

/// What the window shows that the core decides: the core writes it, the window renders it
/// after every handler and tick, the batch check reports it. Texts are UTF-8.
struct DisplayState {
  std::string characterName = "名前";
  std::string stateCaption = "状態";
  /// "entry/entries" beside the pattern, layer and destination edits.
  std::string patternCounter = "0/0";
  std::string layerCounter = "0/0";
  std::string destinationCounter = "0/0";
  /// The state buttons, by the state each selects. The pattern-check button has its own flag.
  std::array<bool, kStateCount> stateButtonEnabled{};
  bool patternCheckEnabled = false;
  /// The reload and sheet reload buttons.
  bool reloadEnabled = false;
  std::optional<ReloadFailure> reloadFailure;
  /// What the check found in the character file as last loaded: legal, but likely mistakes.
  std::vector<LintWarning> warnings;

  friend bool operator==(const DisplayState&, const DisplayState&) = default;
};

}  // namespace patapata
