#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The character file's grammar: how a line is split into what the reader interprets. Every
// column of the grammar is named here once; the reader and the check both read lines through
// it. Columns count bytes from 1.
namespace patapata::grammar {

/// A keyword and the column its value starts at.
struct Keyword {
  std::string_view text;  ///< upper case; a line matches it in any case
  int64_t valueColumn;
};

inline constexpr Keyword kName{"#CHARNAME", 10};
inline constexpr Keyword kInterval{"#ANIME", 7};
/// "#DATA 16" switches cel numbers to hexadecimal; the 16 is looked for in a window of
/// characters 6..9, so at most two blanks may stand before it.
inline constexpr Keyword kNumbering{"#DATA", 6};
inline constexpr int64_t kNumberingWindow = 4;
inline constexpr Keyword kSheet{"#CHARBMP", 9};
inline constexpr Keyword kPattern{"#PATERN", 8};
inline constexpr Keyword kLayer{"#LAYER", 7};
inline constexpr std::array<Keyword, 6> kKeywords{kName,  kInterval, kNumbering,
                                                  kSheet, kPattern,  kLayer};
/// The state number of a sequence line: always the first two characters of its value.
inline constexpr int64_t kStateWidth = 2;
/// A cel line: "#", the cel number from character 2 (two characters; after "#DATA 16" a window
/// of three that must trim to two), then x, y, width and height from character 4.
inline constexpr int64_t kCelNumberColumn = 2;
inline constexpr int64_t kCelNumberWidth = 2;
inline constexpr int64_t kHexCelNumberWindow = 3;
inline constexpr int64_t kCelValuesColumn = 4;

enum class LineKind {
  Note,       ///< no keyword and no '#' at the start: ignored
  Name,       ///< "#CHARNAME"
  Interval,   ///< "#ANIME"
  Numbering,  ///< "#DATA"
  Sheet,      ///< "#CHARBMP"
  Pattern,    ///< "#PATERN"
  Layer,      ///< "#LAYER"
  Cel,        ///< any other line beginning with '#'
};

/// A line as the grammar splits it, before any number in it is converted. The views point into
/// the line.
struct Line {
  LineKind kind = LineKind::Note;
  std::string_view text;
  /// A keyword line's value: the trimmed text from the keyword's value column.
  std::string_view value;
  /// "#CHARNAME" and "#CHARBMP": the value's first token, which is what the reader takes.
  std::string_view name;
  /// "#DATA": its window reads 16.
  bool switchesToHex = false;
  /// "#PATERN" and "#LAYER": the state number's characters, trimmed, and the trimmed rest.
  std::string_view stateText;
  std::string_view sequencesText;
  /// The pattern sequence, or the layer and the destination sequence.
  std::array<std::string_view, 2> sequences;
  /// "#LAYER": what follows the one blank that ended the layer sequence, untrimmed; a second
  /// blank leaves the destination empty.
  std::string_view afterLayer;
  /// A cel line: the characters the cel number is read from, and whether they are read as
  /// hexadecimal; `celNumberText` is empty when a hexadecimal number's window is not two
  /// characters wide, which makes the line no cel.
  std::string_view celNumberText;
  bool hexCelNumber = false;
  /// The tokens for x, y, width and height; empty where the line has fewer.
  std::array<std::string_view, 4> celValues;
};

/// Splits a line; `hexCelNumbers` tells whether a "#DATA 16" line came before it.
Line parseLine(std::string_view text, bool hexCelNumbers);

/// The cel number of a cel line, or nothing when the line stores no cel (a number that does
/// not read, or lies outside 1..255). Throws Error at a hexadecimal number that is no number.
std::optional<int32_t> celNumber(const Line& line);
/// The number a cel line's number characters read as, in or out of 1..255; nothing when they
/// are no number. Never throws.
std::optional<int32_t> celNumberValue(const Line& line);

/// The state number of a sequence line; throws Error when it is no number.
int32_t stateNumber(const Line& line);

/// The entries a sequence stores from: the sequence trimmed, two characters per entry; a last
/// odd character is no entry.
int64_t entryCount(std::string_view sequence);
/// Entry `k` (from 1) of a sequence, as its two characters stand.
std::string_view entryText(std::string_view sequence, int64_t k);

}  // namespace patapata::grammar
