#pragma once

#include "character/character_lint.h"
#include "common/message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace patapata {

/// An automatic reload that failed, as the status line tells it until the next good load.
struct ReloadFailure {
  std::string file;  ///< the file that failed, bytes as the file system takes them
  int32_t line = 0;  ///< the character file's line; 0 for a sheet, or a file not read at all
  Message message;
  std::optional<Message> hint;  ///< the error's second line, if it has one

  friend bool operator==(const ReloadFailure&, const ReloadFailure&) = default;
};

/// What the window shows that the core decides beyond the character and the player: the core
/// writes it, the window renders it after every handler and tick, the batch check reports it.
/// Texts are UTF-8.
struct DisplayState {
  /// The name label, UTF-8; none for its default, "名前". A load that gives no name keeps the
  /// one shown.
  std::optional<std::string> characterName;
  bool patternCheckEnabled = false;
  /// The reload and sheet reload buttons.
  bool reloadEnabled = false;
  std::optional<ReloadFailure> reloadFailure;
  /// What the check found in the character file as last loaded: legal, but likely mistakes.
  std::vector<LintWarning> warnings;

  friend bool operator==(const DisplayState&, const DisplayState&) = default;
};

}  // namespace patapata
