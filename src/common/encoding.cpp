#include "common/encoding.h"

#include "common/code_page_932.h"

namespace patapata::encoding {

namespace {

std::size_t utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t n = utf8SequenceLength(lead);
    if (n == 0 || i + n > bytes.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    if (n >= 3) {
      const auto second = static_cast<unsigned char>(bytes[i + 1]);
      if (lead == 0xE0 && second < 0xA0) return false;  // overlong
      if (lead == 0xED && second > 0x9F) return false;  // surrogates
      if (lead == 0xF0 && second < 0x90) return false;  // overlong
      if (lead == 0xF4 && second > 0x8F) return false;  // past U+10FFFF
    }
    i += n;
  }
  return true;
}

std::string toDisplayText(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  return code_page_932::decode(bytes);
}

std::string toShiftJis(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::string(utf8);
  std::string out;
  std::size_t i = 0;
  // Per character, so that a character without a Shift-JIS form keeps its own bytes.
  while (i < utf8.size()) {
    const std::size_t n = utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
    const std::string_view ch = utf8.substr(i, n);
    if (n == 1) {
      out += ch;
    } else {
      const std::string converted = code_page_932::encodeCharacter(ch);
      out += converted.empty() ? std::string(ch) : converted;
    }
    i += n;
  }
  return out;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace patapata::encoding
