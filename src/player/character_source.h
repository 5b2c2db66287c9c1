#pragma once

#include "character/aseprite_import.h"
#include "character/character_lint.h"
#include "character/character_reader.h"
#include "common/new_file.h"

#include <string>
#include <string_view>
#include <vector>

// The files the viewer takes a character from: a character file, or the JSON that Aseprite
// writes beside an exported sprite sheet, which plays converted in memory as the character file
// it makes, and which the author can save as that file.
namespace patapata {

/// Whether `path` names an Aseprite sheet's JSON rather than a character file: its extension
/// is .json, in any case.
bool isAsepriteJson(std::string_view path);

/// A load of a file the author opened, with what the viewer tells of it.
struct SourceLoad {
  CharacterLoad load;
  /// When the load completed: the check's findings in a character file, or the import's
  /// warnings (at line 0, as the JSON has no lines the author would look up).
  std::vector<LintWarning> warnings;
};

/// Loads the file at `path` into a new character that starts from `sheet`. A character file is
/// read as loadCharacterFile does and checked by the lint. An Aseprite JSON is imported and the
/// character file it makes is read; an import that fails is a load that could not read the
/// file (line 0, the character reset), and a failure of the text made from it (its sheet, say)
/// is located at line 0 of the JSON too. The stamp is the file's, taken before it was read.
SourceLoad loadCharacterSource(const std::string& path, const SheetLoader& loadSheet,
                               CharacterSheet sheet);

/// Writes the character file that the Aseprite JSON at `jsonPath` makes to `destination`,
/// naming the sheet relative to the destination's folder, through a NewFile with `replace`.
/// Refuses with AsepriteOutputIsSource a destination that is the JSON or its sheet, which the
/// author's tools own, and with AsepriteSheetNotFound a sheet that is not there. Throws what
/// importAsepriteFile and NewFile throw; gives the import's warnings.
std::vector<Message> saveAsCharacterFile(const std::string& jsonPath,
                                         const std::string& destination, Replace replace,
                                         AsepriteOptions options = {});

}  // namespace patapata
