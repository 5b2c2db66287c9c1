#pragma once

#include "character/sheet_slicing.h"
#include "surfaces/geometry.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace patapata {

/// A character file made from a sliced sheet.
struct NewCharacter {
  std::string name;       ///< for "#CHARNAME", bytes as the file name gives them
  std::string sheetName;  ///< for "#CHARBMP": the sheet's path from the character file's folder
  std::span<const Rect> cels;  ///< in the order they are numbered
  int32_t firstCel = 1;
  sheet_slicing::CelBase base = sheet_slicing::CelBase::Decimal;
};

/// The text of the new character file, lines ended by CR LF as the Windows tools write them:
/// "#CHARNAME", "#ANIME 100", "#CHARBMP", "#DATA 16" when the cels are numbered in
/// hexadecimal, a cel line for each rectangle that gets a number (from `firstCel` on, up to the
/// last the base can write), and state 1 playing those cels in order. Blanks in the name become
/// full-width spaces in UTF-8 ("_" in other bytes), which keep it whole; control bytes "_".
std::string newCharacterText(const NewCharacter& character);

/// The character's name a new file takes from its path: the file name without its extension.
std::string characterNameOf(std::string_view path);

/// True when a "#CHARBMP" line can name `sheetName`: the reader takes the name up to its first
/// blank, so a name with one (or with a control byte) cannot be written.
bool isWritableSheetName(std::string_view sheetName);

}  // namespace patapata
