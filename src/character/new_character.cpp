#include "character/new_character.h"

#include "common/encoding.h"

#include <algorithm>

namespace patapata {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string wholeName(std::string_view name) {
  // U+3000, which the reader keeps inside a name; only in a name that is UTF-8 already.
  const std::string_view space = encoding::isValidUtf8(name) ? "\xE3\x80\x80" : "_";
  std::string out;
  for (const char c : name) {
    if (c == ' ' || c == '\t') {
      out += space;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += '_';  // a line end would end the line
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string newCharacterText(const NewCharacter& character) {
  using sheet_slicing::CelBase;
  std::string out;
  const auto line = [&out](std::string_view text) {
    out += text;
    out += kLineEnd;
  };
  line("#CHARNAME " + wholeName(character.name));
  line("#ANIME 100");
  line("#CHARBMP " + character.sheetName);
  if (character.base == CelBase::Hexadecimal) line("#DATA 16");
  const sheet_slicing::CelNumbers numbers =
      sheet_slicing::numberCels(character.cels.size(), character.firstCel, character.base);
  std::string pattern = "#PATERN 01 ";
  for (std::size_t i = 0; i < numbers.numbers.size(); ++i) {
    const int32_t cel = numbers.numbers[i];
    if (const auto cel_line = sheet_slicing::celLine(cel, character.cels[i], character.base)) {
      line(*cel_line);
    }
    // Sequences are two hexadecimal digits an entry, whatever the cel lines' base.
    pattern += *sheet_slicing::celNumberText(cel, CelBase::Hexadecimal);
  }
  if (!numbers.numbers.empty()) line(pattern);
  return out;
}

std::string characterNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

bool isWritableSheetName(std::string_view sheetName) {
  // Control bytes too: a line end in a file name would end the line.
  return !sheetName.empty() && std::none_of(sheetName.begin(), sheetName.end(), [](char c) {
    return static_cast<unsigned char>(c) <= 0x20;
  });
}

}  // namespace patapata
