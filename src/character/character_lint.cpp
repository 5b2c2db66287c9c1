#include "character/character_lint.h"

#include "character/line_grammar.h"
#include "character/sheet_slicing.h"
#include "common/encoding.h"
#include "common/int_conversion.h"
#include "common/text.h"
#include "surfaces/sheet_picture.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace patapata {

namespace {

using grammar::Line;
using grammar::LineKind;
using text::afterToken;
using text::from;
using text::token;
using text::trim;

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// True when `s` is not empty and every byte of it passes `pred`.
template <typename Pred>
bool consistsOf(std::string_view s, Pred pred) {
  return !s.empty() && std::all_of(s.begin(), s.end(), pred);
}

std::string number(int64_t value) {
  return std::to_string(value);
}

// A piece of the file for a message: shown as text, and cut when it is long.
std::string excerpt(std::string_view bytes) {
  constexpr std::size_t kMax = 40;
  if (bytes.size() <= kMax) return encoding::toDisplayText(bytes);
  std::size_t cut = kMax;
  // Do not split a Shift-JIS double-byte character or a UTF-8 sequence.
  if (encoding::isValidUtf8(bytes)) {
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  } else {
    for (std::size_t i = 0; i < kMax; ++i) {
      if (text::isShiftJisLeadByte(static_cast<unsigned char>(bytes[i]))) {
        if (i + 1 >= kMax) {
          cut = i;
          break;
        }
        ++i;
      }
    }
  }
  return encoding::toDisplayText(bytes.substr(0, cut)) + "…";
}

// The keyword a misspelt one was probably meant to be, or empty.
std::string_view likelyKeyword(std::string_view line) {
  if (line.size() < 2 || line[0] != '#' || !isLetter(line[1])) return {};
  std::size_t end = 1;
  while (end < line.size() && isLetter(line[end])) ++end;
  const std::string word = "#" + text::upperAscii(line.substr(1, end - 1));
  // Two letters can be a hexadecimal cel number; "#" and three letters or more cannot.
  if (word.size() < 4) return {};
  std::string_view best;
  int32_t bestDistance = 3;
  for (const grammar::Keyword& keyword : grammar::kKeywords) {
    const int32_t d = editDistance(word, keyword.text);
    const bool shortened = keyword.text.starts_with(word);
    if (d < bestDistance || (shortened && best.empty())) {
      best = keyword.text;
      bestDistance = std::min(d, bestDistance);
    }
  }
  return best;
}

// The entries the reader stores of a sequence: at most 255.
int32_t storedEntries(std::string_view sequence) {
  return static_cast<int32_t>(std::min<int64_t>(grammar::entryCount(sequence), kFrameSlots - 1));
}

// The entries in slots 1.. of a row up to the first empty one.
int32_t rowLength(const SequenceRow& row) {
  std::size_t end = 1;
  while (end < row.size() && row[end] != kEmptyCel) ++end;
  return static_cast<int32_t>(end - 1);
}

// "1–8, 10–12, 15, 16": the states whose buttons play them, from the state table.
std::string statesWithButtons() {
  std::vector<int32_t> states;
  for (const StateInfo& info : kStates) {
    if (info.state != kCheckState) states.push_back(info.state);
  }
  std::sort(states.begin(), states.end());
  return text::numberRuns(states, "–");
}

std::string withoutBlanks(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (!isBlank(c)) out += c;
  }
  return out;
}

std::string joined(const std::vector<std::string>& entries) {
  std::string out;
  for (const std::string& e : entries) out += e;
  return out;
}

// The x, y, width and height of a cel line as the reader reads them; empty when one of them
// is no number (the load stops there with its own message).
std::vector<std::string> celValues(const Line& line) {
  std::vector<std::string> out;
  for (const std::string_view value : line.celValues) {
    const auto v = tryParseInt(trim(value));
    if (!v) return {};
    out.push_back(number(*v));
  }
  return out;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

int32_t editDistance(std::string_view a, std::string_view b) {
  std::vector<int32_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int32_t>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    int32_t diagonal = row[0];
    row[0] = static_cast<int32_t>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int32_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

void CharacterLint::add(LintWarning warning) {
  if (warnings_.size() < kMostWarnings) {
    warnings_.push_back(std::move(warning));
  } else {
    ++unlisted_;
  }
}

void CharacterLint::warn(MessageId id, std::vector<std::string> arguments) {
  add(LintWarning{lastLine_, Message{id, std::move(arguments)}});
}

void CharacterLint::lineRead(int32_t number, const Line& line) {
  lastLine_ = number;
  storedByLine_.fill(0);
  const std::string_view text = line.text;
  switch (line.kind) {
    case LineKind::Note:
      if (number == 1 && text.starts_with(kUtf8Bom) &&
          text.substr(kUtf8Bom.size()).starts_with('#')) {
        warn(MessageId::ByteOrderMark, {excerpt(text.substr(kUtf8Bom.size()))});
      } else if (!text.empty() && isBlank(text[0]) && trim(text).starts_with('#')) {
        warn(MessageId::IndentedLine, {excerpt(trim(text))});
      }
      return;
    case LineKind::Cel: {
      const std::string_view meant = likelyKeyword(text);
      if (meant.empty()) {
        checkCelLine(line);
      } else {
        warn(MessageId::MisspeltKeyword, {excerpt(token(text)), std::string(meant)});
      }
      return;
    }
    default:
      checkKeywordLine(line);
  }
}

void CharacterLint::checkKeywordLine(const Line& line) {
  const std::string_view value = line.value;
  switch (line.kind) {
    case LineKind::Name:
      if (line.name.size() < value.size()) {
        warn(MessageId::NameCutAtBlank, {excerpt(line.name), excerpt(trim(afterToken(value)))});
      }
      return;
    case LineKind::Interval:
      if (const auto interval = tryParseInt(value); interval && *interval <= 0) {
        warn(MessageId::IntervalNotPositive, {number(*interval)});
      }
      return;
    case LineKind::Numbering:
      if (line.switchesToHex) return;
      if (value == "16") {
        warn(MessageId::NumberingBlanks);
      } else {
        warn(MessageId::NumberingNot16, {excerpt(value)});
      }
      return;
    case LineKind::Sheet:
      if (line.name.empty()) {
        warn(MessageId::SheetNameMissing);
      } else if (line.name.size() < value.size()) {
        warn(MessageId::SheetNameBlank, {excerpt(value), excerpt(line.name)});
      }
      if (sheetLine_ != 0) {
        warn(MessageId::SecondSheet, {number(sheetLine_), excerpt(line.name), excerpt(sheetName_)});
      } else {
        sheetLine_ = lastLine_;
      }
      sheetName_ = std::string(line.name);
      return;
    case LineKind::Pattern:
    case LineKind::Layer:
      checkSequenceLine(line);
      return;
    default:
      return;
  }
}

// A line that begins with '#' and is no keyword: the reader takes it for a cel line and stores
// the cel only when its number reads as one, so a cel line with a number it cannot read is
// dropped without a word. Lines that do not look like cel lines are notes, as the reader
// treats them.
void CharacterLint::checkCelLine(const Line& line) {
  const std::string_view text = line.text;
  const std::string_view afterHash = trim(from(text, grammar::kCelNumberColumn));
  const std::string_view written = token(afterHash);
  const std::string_view values = trim(afterToken(afterHash));
  const bool looksLikeCel =
      (text.size() > 1 && isDigit(text[1])) ||
      ((consistsOf(written, isHexDigit) || tryParseInt(written)) && tryParseInt(token(values)));
  if (!looksLikeCel) return;
  const bool blankAfterHash = text.size() > 1 && isBlank(text[1]);
  const std::optional<int32_t> cel = grammar::celNumberValue(line);

  if (!line.hexCelNumber) {
    if (cel && *cel >= 1 && *cel < kCelCount) {
      if (written.size() > 2 && consistsOf(written, isDigit)) warnCelNumberDigits(line, *cel);
      return;
    }
    if (blankAfterHash) {
      warn(MessageId::BlankAfterHash);
    } else if (cel) {
      warn(MessageId::CelNumberOutOfRange, {number(*cel)});
    } else if (consistsOf(written, isHexDigit)) {
      warn(MessageId::HexCelNumberBeforeNumbering, {excerpt(written)});
    } else {
      warn(MessageId::NoCelLine, {excerpt(token(text))});
    }
    return;
  }

  if (!line.celNumberText.empty() && !blankAfterHash) {
    // Any other value is stored, or stops the load with its own message.
    if (cel && *cel == 0) warn(MessageId::HexCelZero);
    return;
  }
  if (blankAfterHash) {
    warn(MessageId::BlankAfterHash);
  } else if (written.size() == 1 && written != "0") {
    warn(MessageId::HexCelNumberOneDigit, {excerpt(written)});
  } else {
    warn(MessageId::HexCelNumberWidth, {excerpt(written)});
  }
}

// A decimal cel number of three digits or more: only the first two are read.
void CharacterLint::warnCelNumberDigits(const Line& line, int32_t cel) {
  const std::string_view written = token(trim(from(line.text, grammar::kCelNumberColumn)));
  const auto meant = tryParseInt(written);
  const bool hexHint = meant && *meant <= 255;
  const bool three = written.size() == 3;
  const std::vector<std::string> values = celValues(line);
  std::vector<std::string> arguments{excerpt(written)};
  if (!three) arguments.push_back(number(static_cast<int64_t>(written.size())));
  arguments.push_back(number(cel));
  arguments.insert(arguments.end(), values.begin(), values.end());
  if (hexHint) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(*meant));
    arguments.emplace_back(hex);
  }
  static constexpr MessageId kIds[2][2][2] = {
      // [three][hexHint][values]
      {{MessageId::ManyDigitsTooLargeNoValues, MessageId::ManyDigitsTooLarge},
       {MessageId::ManyDigitsHexHintNoValues, MessageId::ManyDigitsHexHint}},
      {{MessageId::ThreeDigitsTooLargeNoValues, MessageId::ThreeDigitsTooLarge},
       {MessageId::ThreeDigitsHexHintNoValues, MessageId::ThreeDigitsHexHint}},
  };
  warn(kIds[three][hexHint][!values.empty()], std::move(arguments));
}

void CharacterLint::checkSequenceLine(const Line& line) {
  definesSomething_ = true;
  const bool layer = line.kind == LineKind::Layer;
  const auto state = tryParseInt(line.stateText);
  if (!state) return;  // the load stops here with its own message
  if (!isState(*state)) {
    warn(MessageId::StateOutOfTables,
         {std::string(layer ? grammar::kLayer.text : grammar::kPattern.text), number(*state)});
    return;
  }
  checkState(*state);
  const std::string_view first = line.sequences[0];
  if (first.empty()) {
    warn(layer ? MessageId::LayerWithoutSequence : MessageId::PatternWithoutSequence,
         {number(*state)});
    return;
  }
  if (!layer) {
    checkSequence(Sequence::Pattern, first);
    const std::string_view ignored = trim(afterToken(line.sequencesText));
    // Other text after the sequence is taken for a note.
    if (consistsOf(token(ignored), isHexDigit)) {
      const std::string_view all = line.sequencesText;
      const bool onlyEntries =
          std::all_of(all.begin(), all.end(), [](char c) { return isHexDigit(c) || isBlank(c); });
      if (onlyEntries) {
        warn(MessageId::PatternSplitJoined,
             {excerpt(first), excerpt(ignored), excerpt(withoutBlanks(all))});
      } else {
        warn(MessageId::PatternSplit, {excerpt(first), excerpt(ignored)});
      }
    }
    return;
  }
  checkSequence(Sequence::Layer, first);
  checkSequence(Sequence::Destination, line.sequences[1]);
  checkLayerSequences(first, line.afterLayer);
}

void CharacterLint::checkState(int32_t state) {
  if (state == kCheckState) {
    warn(MessageId::StateThirty, {stateInfo(kCheckState)->buttonCaption});
    return;
  }
  if (stateInfo(state) != nullptr) return;
  const StateInfo* lit = stateInfo(buttonEnabledByRow(state));
  if (lit != nullptr) {
    const std::string own = (lit->state < 10 ? "0" : "") + number(lit->state);
    warn(MessageId::StateLightsOtherButton,
         {number(state), lit->buttonCaption, number(lit->state), own});
  } else if (state == 0) {
    warn(MessageId::StateZero, {statesWithButtons()});
  } else {
    warn(MessageId::StateWithoutButton, {number(state), statesWithButtons()});
  }
}

void CharacterLint::checkLayerSequences(std::string_view layer, std::string_view after) {
  const std::string_view destination = token(after);
  if (destination.empty()) {
    warn(trim(after).empty() ? MessageId::LayerWithoutDestination
                             : MessageId::LayerDestinationEmpty);
    return;
  }
  const std::string_view ignored = trim(afterToken(after));
  if (consistsOf(token(ignored), isHexDigit)) {
    warn(MessageId::LayerSequencesSplit, {excerpt(layer), excerpt(destination), excerpt(ignored)});
    return;
  }
  const int32_t layers = storedEntries(layer);
  const int32_t destinations = storedEntries(destination);
  if (destinations < layers) {
    // Frames destinations + 1 .. layers have no destination.
    const int32_t first = destinations + 1;
    const bool oneFrame = first == layers;
    if (destinations == 1) {
      warn(oneFrame ? MessageId::DestinationShorterOneEntryOneFrame
                    : MessageId::DestinationShorterOneEntryFrames,
           {number(layers), number(first), number(layers)});
    } else {
      warn(oneFrame ? MessageId::DestinationShorterOneFrame : MessageId::DestinationShorterFrames,
           {number(destinations), number(layers), number(first), number(layers)});
    }
  } else if (destinations > layers) {
    const int32_t unused = destinations - layers;
    if (destinations == 1) {
      warn(MessageId::DestinationLongerOneEntry, {number(layers)});
    } else if (unused == 1) {
      warn(MessageId::DestinationLongerOneUnused, {number(destinations), number(layers)});
    } else {
      warn(MessageId::DestinationLongerUnused,
           {number(destinations), number(layers), number(unused)});
    }
  }
}

void CharacterLint::checkSequence(Sequence sequence, std::string_view text) {
  static constexpr MessageId kOdd[] = {MessageId::PatternOddLength, MessageId::LayerOddLength,
                                       MessageId::DestinationOddLength};
  static constexpr MessageId kLong[] = {MessageId::PatternTooLong, MessageId::LayerTooLong,
                                        MessageId::DestinationTooLong};
  const auto which = static_cast<std::size_t>(sequence);
  const std::string_view seq = trim(text);
  if (seq.size() % 2 != 0) {
    warn(kOdd[which],
         {number(static_cast<int64_t>(seq.size())), excerpt(seq.substr(seq.size() - 1))});
  }
  if (const int64_t entries = grammar::entryCount(seq); entries > kFrameSlots - 1) {
    warn(kLong[which], {number(entries)});
  }
}

void CharacterLint::entryStored(Sequence sequence, int32_t state, int32_t slot,
                                std::string_view written, int32_t cel) {
  ++storedByLine_[static_cast<std::size_t>(sequence)];
  if (cel != 0) {
    references_.push_back(CelReference{lastLine_, cel, sequence == Sequence::Destination});
  }
  StoredRow& row = sequence == Sequence::Pattern ? patternRows_[state] : layerRows_[state];
  std::vector<std::string>& entries = row.entries[sequence == Sequence::Destination ? 1 : 0];
  const auto index = static_cast<std::size_t>(slot - 1);
  if (entries.size() <= index) entries.resize(index + 1);
  entries[index] = std::string(written);
}

void CharacterLint::celStored(int32_t cel) {
  definesSomething_ = true;
  const auto earlier = definedCels_.find(cel);
  if (earlier != definedCels_.end() && earlier->second != lastLine_) {
    warn(MessageId::CelDefinedAgain, {number(cel), number(earlier->second)});
  }
  definedCels_[cel] = lastLine_;
}

void CharacterLint::lineDone(int32_t /*number*/, const Line& line) {
  if (line.kind == LineKind::Pattern || line.kind == LineKind::Layer) checkRepeatedRow(line);
}

// A second row for a state: the reader writes the entries it has and leaves the rest of the row
// alone, so a shorter line replaces only the start of the first.
void CharacterLint::checkRepeatedRow(const Line& line) {
  const auto state = tryParseInt(line.stateText);
  if (!state || !isState(*state) || line.sequences[0].empty()) return;
  const bool layer = line.kind == LineKind::Layer;
  StoredRow& row = layer ? layerRows_[*state] : patternRows_[*state];
  if (row.line != 0 && row.line != lastLine_) {
    const std::array<int32_t, 2> now{
        storedByLine_[static_cast<std::size_t>(layer ? Sequence::Layer : Sequence::Pattern)],
        storedByLine_[static_cast<std::size_t>(Sequence::Destination)]};
    bool partly = false;
    for (std::size_t i = 0; i < (layer ? 2 : 1); ++i) {
      partly = partly || row.entries[i].size() > static_cast<std::size_t>(now[i]);
    }
    const std::string keyword(layer ? grammar::kLayer.text : grammar::kPattern.text);
    if (!partly) {
      warn(MessageId::SecondRowReplaces, {keyword, number(*state), number(row.line)});
    } else if (!layer) {
      warn(MessageId::SecondRowPartlyPattern,
           {keyword, number(*state), number(row.line), excerpt(joined(row.entries[0]))});
    } else {
      warn(MessageId::SecondRowPartlyLayer,
           {keyword, number(*state), number(row.line), excerpt(joined(row.entries[0])),
            excerpt(joined(row.entries[1]))});
    }
  }
  row.line = lastLine_;
}

void CharacterLint::checkLayerLengths(const Character& character) {
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (layerRows_[s].line == 0) continue;
    const int32_t patterns = rowLength(character.pattern[s]);
    const int32_t layers = rowLength(character.layer[s]);
    // A state of layer cels alone may be meant so.
    if (patterns == 0 || layers == 0 || patterns == layers) continue;
    const bool shorter = layers < patterns;
    const int32_t first = (shorter ? layers : patterns) + 1;
    const int32_t last = shorter ? patterns : layers;
    const bool oneFrame = first == last;
    MessageId id = oneFrame ? MessageId::LayerLongerOneFrame : MessageId::LayerLongerFrames;
    std::vector<std::string> arguments{number(s)};
    if (shorter && layers == 1) {
      id = oneFrame ? MessageId::LayerShorterOneEntryOneFrame
                    : MessageId::LayerShorterOneEntryFrames;
    } else {
      if (shorter) id = oneFrame ? MessageId::LayerShorterOneFrame : MessageId::LayerShorterFrames;
      arguments.push_back(number(layers));
    }
    arguments.push_back(number(patterns));
    arguments.push_back(number(first));
    if (!oneFrame) arguments.push_back(number(last));
    add(LintWarning{layerRows_[s].line, Message{id, std::move(arguments)}});
  }
}

void CharacterLint::finish(const Character& character, bool loadCompleted) {
  // A cel is named as the file's cel lines write it: two hexadecimal digits after "#DATA 16".
  const auto cel = [hex = character.hexCelNumbers](int32_t n) {
    return hex ? sheet_slicing::celNumberText(n, sheet_slicing::CelBase::Hexadecimal).value()
               : number(n);
  };
  // The warnings about a cel's rectangle, which the sheet view marks.
  const auto warnCel = [&](int32_t line, MessageId id, int32_t n, const CelRect& r,
                           std::vector<std::string> more) {
    std::vector<std::string> arguments{cel(n), number(r.x), number(r.y), number(r.width),
                                       number(r.height)};
    arguments.insert(arguments.end(), more.begin(), more.end());
    add(LintWarning{line, Message{id, std::move(arguments)}, n});
  };
  std::set<std::pair<int32_t, int32_t>> reported;
  for (const CelReference& ref : references_) {
    if (definedCels_.contains(ref.cel) || !reported.insert({ref.line, ref.cel}).second) continue;
    add(LintWarning{ref.line, Message{MessageId::CelUndefined, {cel(ref.cel)}}});
  }
  const SheetPicture* sheet = character.sheet.picture.get();
  const int64_t width = sheet != nullptr ? sheet->width() : 0;
  const int64_t height = sheet != nullptr ? sheet->height() : 0;
  // A cel used only as a destination names a place in the view, which may lie anywhere.
  std::set<int32_t> onlyDestinations;
  for (const CelReference& ref : references_) {
    if (ref.destination) onlyDestinations.insert(ref.cel);
  }
  for (const CelReference& ref : references_) {
    if (!ref.destination) onlyDestinations.erase(ref.cel);
  }
  // A cel of no size that a pattern or layer shows leaves its frame empty.
  std::set<int32_t> drawn;
  for (const CelReference& ref : references_) {
    if (!ref.destination) drawn.insert(ref.cel);
  }
  for (const auto& [n, line] : definedCels_) {
    const CelRect& r = character.cels[n];
    if (drawn.contains(n) && (r.width == 0 || r.height == 0)) {
      warnCel(line, MessageId::CelWithoutSize, n, r, {});
    }
  }
  // The background and the pattern cels are copied whole to the view's corner, and a copy
  // that leaves the view draws nothing; layer cels are cut to the view.
  std::set<int32_t> whole{1};
  for (const SequenceRow& row : character.pattern) {
    for (std::size_t f = 1; f < row.size(); ++f) {
      if (row[f] != kEmptyCel) whole.insert(row[f]);
    }
  }
  for (const auto& [n, line] : definedCels_) {
    const CelRect& r = character.cels[n];
    if (whole.contains(n) && (r.width > kViewWidth || r.height > kViewHeight)) {
      warnCel(line, MessageId::CelLargerThanView, n, r, {number(kViewWidth), number(kViewHeight)});
    }
  }
  if (width > 0 && height > 0) {
    for (const auto& [n, line] : definedCels_) {
      if (onlyDestinations.contains(n)) continue;
      const CelRect& r = character.cels[n];
      if (r.x < 0 || r.y < 0 || r.width < 0 || r.height < 0 || r.right() > width ||
          r.bottom() > height) {
        warnCel(line, MessageId::CelOutsideSheet, n, r, {number(width), number(height)});
      }
    }
  }
  // An empty sheet reads as a save not finished: the window waits for it, a render draws black.
  if (loadCompleted && sheetLine_ != 0 && !character.sheet.path.empty() &&
      (sheet == nullptr || width == 0 || height == 0)) {
    add(LintWarning{sheetLine_, Message{MessageId::SheetEmpty,
                                        {encoding::toDisplayText(character.sheet.path)}}});
  }
  checkLayerLengths(character);
  // An empty file is a mistake of its own; a file that cuts cels needs a picture to cut.
  if (loadCompleted && sheetLine_ == 0 && definesSomething_) {
    add(LintWarning{0, Message{MessageId::NoSheetLine, {}}});
  }
  std::stable_sort(warnings_.begin(), warnings_.end(),
                   [](const LintWarning& a, const LintWarning& b) { return a.line < b.line; });
  if (unlisted_ > 0) {
    warnings_.push_back(LintWarning{0, Message{MessageId::MoreWarnings, {number(unlisted_)}}});
  }
}

}  // namespace patapata
