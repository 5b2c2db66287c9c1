#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Text helpers on byte strings. Positions count bytes from 1; Shift-JIS double-byte
// characters pass through untouched.
namespace patapata::text {

/// Removes leading and trailing bytes of value 32 or less.
std::string_view trim(std::string_view s);

/// The bytes before the first space or tab, or all of `s` when there is none.
std::string_view token(std::string_view s);

/// The text after the token: it starts right after the one space or tab that ended the
/// token, and is empty when the token ran to the end.
std::string_view afterToken(std::string_view s);

/// Up to `count` bytes of `s` starting at byte `index` (counted from 1); empty when
/// `index` lies past the end. An index below 1 counts as 1.
std::string_view copy(std::string_view s, int64_t index, int64_t count);

/// The value window of a line: bytes index .. index + 1023.
inline std::string_view from(std::string_view s, int64_t index) {
  return copy(s, index, 1024);
}

/// Folds a–z to upper case; every other byte is kept.
std::string upperAscii(std::string_view s);

/// True when `s` begins with `keyword` (given in upper case), comparing a–z without case.
bool startsWithKeyword(std::string_view s, std::string_view keyword);

/// Ascending numbers as runs, "1–8, 10–12, 15, 16" with `dash` "–": two neighbours stay a
/// list, three or more become a range.
std::string numberRuns(std::span<const int32_t> ascending, std::string_view dash);

/// True when the byte is the first byte of a Shift-JIS double-byte character.
inline bool isShiftJisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace patapata::text
