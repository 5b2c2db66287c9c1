// Code page 932 in the browser build, where the C library's iconv knows only plain Shift-JIS:
// the characters come from the page's TextDecoder("shift_jis"), whose table is Windows' own,
// and the rules around them (bytes it takes one by one, the replacement for a bad byte, which
// of two byte sequences a character is written as) are those of the desktop's iconv.
#include "common/code_page_932.h"
#include "common/encoding.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Decodes `size` bytes at `bytes` with TextDecoder and writes the text as UTF-8 at `out`, which
// holds `capacity` bytes; returns the number of bytes written. Code page 932 decodes every byte
// to at most one character of the BMP, three bytes of UTF-8, so three bytes of room per byte
// suffice (a text cut short would only leave characters undecoded). Pointers reach JavaScript
// as signed numbers, hence the unsigned shifts. The text is taken apart by the module's code:
// a loop over it in JavaScript runs as cold code, which the page's first open waited for.
// clang-format off
EM_JS(int, patapata_code_page_932_decode, (const uint8_t* bytes, int size, uint8_t* out, int capacity), {
  const text = new TextDecoder("shift_jis").decode(HEAPU8.subarray(bytes >>> 0, (bytes >>> 0) + size));
  return new TextEncoder().encodeInto(text, HEAPU8.subarray(out >>> 0, (out >>> 0) + capacity)).written;
});
// clang-format on

namespace patapata::code_page_932 {

namespace {

// Code page 932 repeats IBM's extensions at 0xED40-0xEEFC (NEC's selection of them) and some
// characters of JIS X 0208 row 2 among NEC's in row 13; a character is written as its first
// sequence outside NEC's selection, as Windows and iconv write it.
constexpr uint16_t kNecSelectionFirst = 0xED40;
constexpr uint16_t kNecSelectionLast = 0xEEFC;

// iconv also writes nine characters as the JIS X 0208 cells that code page 932 reads as other
// code points (the backslash and tilde bytes, and fullwidth forms for the rest).
constexpr std::pair<char32_t, uint16_t> kJisForms[] = {
    {U'\u00A2', 0x8191}, {U'\u00A3', 0x8192}, {U'\u00A5', 0x5C},
    {U'\u00AC', 0x81CA}, {U'\u2014', 0x815C}, {U'\u2016', 0x8161},
    {U'\u203E', 0x7E},   {U'\u2212', 0x817C}, {U'\u301C', 0x8160}};

// The tag characters, which iconv drops without a trace.
constexpr char32_t kTagsFirst = 0xE0000;
constexpr char32_t kTagsLast = 0xE007F;

// The lead bytes and trail bytes of the two-byte sequences.
constexpr uint32_t kLeadFirst = 0x81;
constexpr uint32_t kLeadLast = 0xFC;
constexpr uint32_t kTrailFirst = 0x40;
constexpr uint32_t kTrailLast = 0xFC;

/// Which lead bytes' sequences a table holds: entry `lead` is set for each.
using LeadBytes = std::array<bool, 256>;

/// What TextDecoder gives each byte from 0x80 and each two-byte sequence of some lead bytes;
/// zero where that is no single character.
struct Sequences {
  /// The row in `codes` of each lead byte's sequences, from 1; 0 for a lead byte not decoded.
  std::array<uint16_t, 256> rowOf{};
  /// Row 0: the single bytes, by their value; then a row of 256 per lead byte, by trail byte.
  std::vector<uint32_t> codes;

  uint32_t single(unsigned char b) const { return codes[b]; }
  uint32_t pair(unsigned char lead, unsigned char trail) const {
    return rowOf[lead] == 0 ? 0 : codes[std::size_t{rowOf[lead]} * 256 + trail];
  }
};

template <typename Visit>
void forEachSequence(const LeadBytes& leads, Visit visit) {
  for (uint32_t b = 0x80; b <= 0xFF; ++b) visit(b);
  for (uint32_t lead = kLeadFirst; lead <= kLeadLast; ++lead) {
    if (!leads[lead]) continue;
    for (uint32_t trail = kTrailFirst; trail <= kTrailLast; ++trail) visit(lead << 8 | trail);
  }
}

// The code point of a well-formed UTF-8 sequence of two to four bytes.
char32_t codePoint(std::string_view utf8) {
  const auto lead = static_cast<unsigned char>(utf8[0]);
  char32_t code = lead & (0x7F >> utf8.size());
  for (std::size_t i = 1; i < utf8.size(); ++i) {
    code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  }
  return code;
}

// The one character that `line` (UTF-8) is, or zero when it is none, several, or U+FFFD.
char32_t onlyCharacter(std::string_view line) {
  if (line.empty()) return 0;
  const auto lead = static_cast<unsigned char>(line[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (line.size() != length) return 0;
  const char32_t code = length == 1 ? lead : codePoint(line);
  return code == 0xFFFD ? 0 : code;
}

// The sequences of `leads`, decoded at once, each followed by a line feed: a line feed is never
// a trail byte, and a decoder that refuses a sequence gives U+FFFD (and the trail byte again when
// it is ASCII, never a line feed), so each line is one sequence's text. Only the lead bytes a
// text holds are decoded for it, a few hundred sequences where all are some 24,000.
Sequences decodeSequences(const LeadBytes& leads) {
  Sequences table;
  std::vector<uint8_t> bytes;
  uint16_t rows = 0;
  forEachSequence(leads, [&](uint32_t sequence) {
    if (sequence > 0xFF) {
      const uint32_t lead = sequence >> 8;
      if (table.rowOf[lead] == 0) table.rowOf[lead] = ++rows;
      bytes.push_back(static_cast<uint8_t>(lead));
    }
    bytes.push_back(static_cast<uint8_t>(sequence & 0xFF));
    bytes.push_back('\n');
  });
  std::string text(bytes.size() * 3, '\0');
  const int written = patapata_code_page_932_decode(bytes.data(), static_cast<int>(bytes.size()),
                                                    reinterpret_cast<uint8_t*>(text.data()),
                                                    static_cast<int>(text.size()));
  const std::string_view lines(text.data(), static_cast<std::size_t>(std::max(written, 0)));

  table.codes.assign((std::size_t{rows} + 1) * 256, 0);
  std::size_t at = 0;
  forEachSequence(leads, [&](uint32_t sequence) {
    if (at > lines.size()) return;  // the text ended early: the rest stays zero
    const std::size_t end = std::min(lines.find('\n', at), lines.size());
    const char32_t code = onlyCharacter(lines.substr(at, end - at));
    at = end + 1;
    if (sequence <= 0xFF) {
      table.codes[sequence] = code;
    } else {
      table.codes[std::size_t{table.rowOf[sequence >> 8]} * 256 + (sequence & 0xFF)] = code;
    }
  });
  return table;
}

// The bytes each code point is written as: one byte when below 0x100, else lead and trail.
std::unordered_map<char32_t, uint16_t> buildEncodeTable() {
  LeadBytes all{};
  for (uint32_t lead = kLeadFirst; lead <= kLeadLast; ++lead) all[lead] = true;
  const Sequences decoded = decodeSequences(all);
  std::unordered_map<char32_t, uint16_t> encode;
  for (uint32_t b = 0x80; b <= 0xFF; ++b) {
    if (decoded.single(b) != 0) encode.emplace(decoded.single(b), static_cast<uint16_t>(b));
  }
  for (uint32_t lead = kLeadFirst; lead <= kLeadLast; ++lead) {
    for (uint32_t trail = kTrailFirst; trail <= kTrailLast; ++trail) {
      const uint32_t sequence = lead << 8 | trail;
      if (sequence >= kNecSelectionFirst && sequence <= kNecSelectionLast) continue;
      const uint32_t code = decoded.pair(lead, trail);
      if (code != 0) encode.emplace(code, static_cast<uint16_t>(sequence));
    }
  }
  for (const auto& [code, bytes] : kJisForms) encode.emplace(code, bytes);
  return encode;
}

// Built once, when something is first written.
const std::unordered_map<char32_t, uint16_t>& encodeTable() {
  static const std::unordered_map<char32_t, uint16_t> table = buildEncodeTable();
  return table;
}

}  // namespace

std::string decode(std::string_view bytes) {
  LeadBytes leads{};
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= kLeadFirst && b <= kLeadLast) leads[b] = true;
  }
  const Sequences table = decodeSequences(leads);
  std::string out;
  out.reserve(bytes.size() * 2);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    // Below 0x80 code page 932 is ASCII. (Node's decoder swaps three control codes there.)
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (table.single(b) != 0) {
      encoding::appendUtf8(out, table.single(b));
      ++i;
    } else if (i + 1 < bytes.size() &&
               table.pair(b, static_cast<unsigned char>(bytes[i + 1])) != 0) {
      encoding::appendUtf8(out, table.pair(b, static_cast<unsigned char>(bytes[i + 1])));
      i += 2;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string encodeCharacter(std::string_view character) {
  const char32_t code = codePoint(character);
  if (code >= kTagsFirst && code <= kTagsLast) return {};
  const auto& encode = encodeTable();
  const auto found = encode.find(code);
  if (found == encode.end()) return std::string(character);
  const uint16_t bytes = found->second;
  if (bytes < 0x100) return std::string(1, static_cast<char>(bytes));
  return {static_cast<char>(bytes >> 8), static_cast<char>(bytes & 0xFF)};
}

}  // namespace patapata::code_page_932
