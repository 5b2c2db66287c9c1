#include "character/line_grammar.h"

#include "common/int_conversion.h"
#include "common/text.h"

namespace patapata::grammar {

using text::afterToken;
using text::copy;
using text::from;
using text::startsWithKeyword;
using text::token;
using text::trim;

namespace {

void splitSequences(Line& line, const Keyword& keyword) {
  line.value = trim(from(line.text, keyword.valueColumn));
  line.stateText = trim(copy(line.value, 1, kStateWidth));
  line.sequencesText = trim(from(line.value, kStateWidth + 1));
  line.sequences[0] = token(line.sequencesText);
  if (line.kind == LineKind::Layer) {
    line.afterLayer = afterToken(line.sequencesText);
    line.sequences[1] = token(line.afterLayer);
  }
}

void splitCel(Line& line, bool hexCelNumbers) {
  line.hexCelNumber = hexCelNumbers;
  if (!hexCelNumbers) {
    line.celNumberText = trim(copy(line.text, kCelNumberColumn, kCelNumberWidth));
  } else if (trim(copy(line.text, kCelNumberColumn, kHexCelNumberWindow)).size() ==
             static_cast<std::size_t>(kCelNumberWidth)) {
    line.celNumberText = copy(line.text, kCelNumberColumn, kCelNumberWidth);
  }
  // Any number of blanks separates the values; a token also ends at the end of the line.
  std::string_view rest = trim(from(line.text, kCelValuesColumn));
  for (std::string_view& value : line.celValues) {
    value = token(rest);
    rest = trim(afterToken(rest));
  }
}

}  // namespace

Line parseLine(std::string_view text, bool hexCelNumbers) {
  Line line;
  line.text = text;
  if (startsWithKeyword(text, kName.text)) {
    line.kind = LineKind::Name;
    line.value = trim(from(text, kName.valueColumn));
    line.name = token(line.value);
  } else if (startsWithKeyword(text, kInterval.text)) {
    line.kind = LineKind::Interval;
    line.value = trim(from(text, kInterval.valueColumn));
  } else if (startsWithKeyword(text, kNumbering.text)) {
    line.kind = LineKind::Numbering;
    line.value = trim(from(text, kNumbering.valueColumn));
    line.switchesToHex =
        text::upperAscii(trim(copy(text, kNumbering.valueColumn, kNumberingWindow))) == "16";
  } else if (startsWithKeyword(text, kSheet.text)) {
    line.kind = LineKind::Sheet;
    line.value = trim(from(text, kSheet.valueColumn));
    line.name = token(line.value);
  } else if (startsWithKeyword(text, kPattern.text)) {
    line.kind = LineKind::Pattern;
    splitSequences(line, kPattern);
  } else if (startsWithKeyword(text, kLayer.text)) {
    line.kind = LineKind::Layer;
    splitSequences(line, kLayer);
  } else if (text.starts_with('#')) {
    line.kind = LineKind::Cel;
    splitCel(line, hexCelNumbers);
  }
  return line;
}

std::optional<int32_t> celNumber(const Line& line) {
  if (line.kind != LineKind::Cel || line.celNumberText.empty()) return std::nullopt;
  const int32_t cel =
      line.hexCelNumber ? hexPair(line.celNumberText) : parseIntOr(line.celNumberText, -1);
  if (cel < 1 || cel > 255) return std::nullopt;
  return cel;
}

std::optional<int32_t> celNumberValue(const Line& line) {
  if (line.kind != LineKind::Cel || line.celNumberText.empty()) return std::nullopt;
  if (!line.hexCelNumber) return tryParseInt(line.celNumberText);
  return tryParseInt("$" + std::string(trim(line.celNumberText)));
}

int32_t stateNumber(const Line& line) {
  return parseInt(line.stateText);
}

int64_t entryCount(std::string_view sequence) {
  return static_cast<int64_t>(trim(sequence).size() / 2);
}

std::string_view entryText(std::string_view sequence, int64_t k) {
  return copy(trim(sequence), 2 * k - 1, 2);
}

}  // namespace patapata::grammar
