#pragma once

#include "character/character.h"
#include "character/character_lint.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the sheet view asks of a character's cels: which one a click means, which ones the check
// warns about, and which numbers the file's cel lines take.
namespace patapata::sheet_cels {

/// The cel a click on the sheet pixel (x, y) means: of the cels 1..255 whose rectangle holds
/// it, the smallest (a sparkle drawn over a whole frame), the lower number of two of one size;
/// kEmptyCel when none holds it.
int32_t celToPick(const std::array<CelRect, kCelCount>& cels, int32_t x, int32_t y);

/// The cels whose rectangle `warnings` say is not drawn: outside the sheet, of no size, or
/// larger than the view.
std::bitset<kCelCount> warnedCels(std::span<const LintWarning> warnings);

/// The cel numbers the cel lines of the character file at `path` store, as the file is now,
/// in ascending order; nothing when the file cannot be read or is no character file. The sheet
/// it names is not read.
std::optional<std::vector<int32_t>> celLinesOf(const std::string& path);

}  // namespace patapata::sheet_cels
