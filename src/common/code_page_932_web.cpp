// Code page 932 in the browser build, where the C library's iconv knows only plain Shift-JIS:
// the characters come from the page's TextDecoder("shift_jis"), whose table is Windows' own,
// and the rules around them (bytes it takes one by one, the replacement for a bad byte, which
// of two byte sequences a character is written as) are those of the desktop's iconv.
#include "common/code_page_932.h"
#include "common/encoding.h"

#include <emscripten.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// Fills `table` (65536 entries, zero) with the code point TextDecoder gives each byte from 0x80
// and each two-byte sequence with a lead byte from 0x81 to 0xFC: entry `byte` and entry
// `lead << 8 | trail`; a sequence that is no single character leaves its entry at zero.
// Pointers reach JavaScript as signed numbers, hence the unsigned shift.
//
// All sequences are decoded in one call, each followed by a line feed: a line feed is never a
// trail byte, and a decoder that refuses a sequence gives U+FFFD (and the trail byte again when it
// is ASCII, never a line feed), so each line is one sequence's text. One call takes a
// millisecond or two where 24,000 calls took a fifth of a second, which the page's first load of
// a Shift-JIS file waited for.
// clang-format off
EM_JS(void, patapata_code_page_932_table, (uint32_t* table), {
  const at = table >>> 2;
  const sequences = [];
  for (let b = 0x80; b <= 0xFF; ++b) sequences.push(b);
  for (let lead = 0x81; lead <= 0xFC; ++lead) {
    for (let trail = 0x40; trail <= 0xFC; ++trail) sequences.push(lead << 8 | trail);
  }
  const bytes = new Uint8Array(sequences.length * 3);
  let n = 0;
  for (const sequence of sequences) {
    if (sequence > 0xFF) bytes[n++] = sequence >> 8;
    bytes[n++] = sequence & 0xFF;
    bytes[n++] = 0x0A;
  }
  const lines = new TextDecoder("shift_jis").decode(bytes.subarray(0, n)).split("\n");
  sequences.forEach((sequence, i) => {
    const text = lines[i];
    const code = text.codePointAt(0);
    const one = code !== 0xFFFD && text.length === (code > 0xFFFF ? 2 : 1);
    HEAPU32[at + sequence] = one ? code : 0;
  });
});
// clang-format on

namespace patapata::code_page_932 {

namespace {

struct Tables {
  /// As patapata_code_page_932_table fills it.
  std::vector<uint32_t> decode;
  /// The bytes each code point is written as: one byte when below 0x100, else lead and trail.
  std::unordered_map<char32_t, uint16_t> encode;
};

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

Tables build() {
  Tables t;
  t.decode.assign(std::size_t{1} << 16, 0);
  patapata_code_page_932_table(t.decode.data());
  for (uint32_t b = 0x80; b <= 0xFF; ++b) {
    if (t.decode[b] != 0) t.encode.emplace(t.decode[b], static_cast<uint16_t>(b));
  }
  for (uint32_t sequence = 0x8100; sequence <= 0xFCFF; ++sequence) {
    if (sequence >= kNecSelectionFirst && sequence <= kNecSelectionLast) continue;
    if (t.decode[sequence] != 0) t.encode.emplace(t.decode[sequence], sequence);
  }
  for (const auto& [code, bytes] : kJisForms) t.encode.emplace(code, bytes);
  return t;
}

// Built once, on first use, from one call of the decoder.
const Tables& tables() {
  static const Tables t = build();
  return t;
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

}  // namespace

std::string decode(std::string_view bytes) {
  const std::vector<uint32_t>& table = tables().decode;
  std::string out;
  out.reserve(bytes.size() * 2);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    // Below 0x80 code page 932 is ASCII. (Node's decoder swaps three control codes there.)
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (table[b] != 0) {
      encoding::appendUtf8(out, table[b]);
      ++i;
    } else if (i + 1 < bytes.size() &&
               table[std::size_t{b} << 8 | static_cast<unsigned char>(bytes[i + 1])] != 0) {
      encoding::appendUtf8(out,
                           table[std::size_t{b} << 8 | static_cast<unsigned char>(bytes[i + 1])]);
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
  const auto& encode = tables().encode;
  const auto found = encode.find(code);
  if (found == encode.end()) return std::string(character);
  const uint16_t bytes = found->second;
  if (bytes < 0x100) return std::string(1, static_cast<char>(bytes));
  return {static_cast<char>(bytes >> 8), static_cast<char>(bytes & 0xFF)};
}

}  // namespace patapata::code_page_932
