#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace patapata {

/// True when a 64-bit sum of file values can be held in 32 bits again.
constexpr bool fitsInt32(int64_t value) {
  return value >= INT32_MIN && value <= INT32_MAX;
}

/// Parses an integer: optional leading spaces, then a decimal number with an optional sign
/// in the signed 32-bit range, or a hexadecimal number after "$", "x", "X", "0x" or "0X"
/// (no sign; at most 32 bits; 80000000 and above wrap to negative). Nothing may follow.
std::optional<int32_t> tryParseInt(std::string_view text);

/// As tryParseInt; throws Error "'<text>' は数値ではありません" on failure.
int32_t parseInt(std::string_view text);

/// As tryParseInt, giving `fallback` on failure.
int32_t parseIntOr(std::string_view text, int32_t fallback);

/// A two-character entry of a sequence text: trimmed, "$" put in front, converted.
int32_t hexPair(std::string_view pair);

/// Like hexPair but without trimming the entry first.
int32_t hexPairUntrimmed(std::string_view pair);

}  // namespace patapata
