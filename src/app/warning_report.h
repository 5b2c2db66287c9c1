#pragma once

#include "character/character_lint.h"

#include <ostream>
#include <span>
#include <string>

namespace patapata::app {

/// Prints the check's warnings about the character file `file`, one a line, as
/// "patapata: FILE, line N: warning: ..." ("patapata: FILE: warning: ..." for the file as a
/// whole), so that a mode that writes pictures does not leave a missing cel unexplained.
void printWarnings(std::ostream& out, const std::string& file,
                   std::span<const LintWarning> warnings);

/// With --strict, warnings stop a mode before it writes anything; throws BatchError then.
void refuseWarningsWhenStrict(bool strict, std::span<const LintWarning> warnings);

}  // namespace patapata::app
