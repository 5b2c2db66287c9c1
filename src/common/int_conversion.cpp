#include "common/int_conversion.h"

#include "common/encoding.h"
#include "common/errors.h"
#include "common/text.h"

#include <string>

namespace patapata {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<int32_t> parseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    const int d = hexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<int32_t> parseDecimal(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> tryParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string_view rest = text.substr(i);
  if (rest.empty()) return std::nullopt;
  if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') return parseHex(rest.substr(1));
  if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    return parseHex(rest.substr(2));
  }
  bool negative = false;
  if (rest[0] == '+' || rest[0] == '-') {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  return parseDecimal(rest, negative);
}

int32_t parseInt(std::string_view text) {
  if (auto value = tryParseInt(text)) return *value;
  throw Error(MessageId::NotANumber, encoding::toDisplayText(text));
}

int32_t parseIntOr(std::string_view text, int32_t fallback) {
  return tryParseInt(text).value_or(fallback);
}

int32_t hexPair(std::string_view pair) {
  return hexPairUntrimmed(text::trim(pair));
}

int32_t hexPairUntrimmed(std::string_view pair) {
  std::string prefixed = "$";
  prefixed += pair;
  return parseInt(prefixed);
}

}  // namespace patapata
