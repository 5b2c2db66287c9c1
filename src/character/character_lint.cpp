#include "character/character_lint.h"

#include "character/viewer_state.h"
#include "common/encoding.h"
#include "common/int_conversion.h"
#include "common/text.h"
#include "surfaces/surface.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

namespace patapata {

namespace {

using text::copy;
using text::from;
using text::startsWithKeyword;
using text::token;
using text::trim;

constexpr std::array<std::string_view, 6> kKeywords{"#CHARNAME", "#ANIME",  "#DATA",
                                                    "#CHARBMP",  "#PATERN", "#LAYER"};

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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
  for (std::string_view keyword : kKeywords) {
    const int32_t d = editDistance(word, keyword);
    const bool shortened = keyword.starts_with(word);
    if (d < bestDistance || (shortened && best.empty())) {
      best = keyword;
      bestDistance = std::min(d, bestDistance);
    }
  }
  return best;
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

// The entries of a sequence the reader stores: two characters each, at most 255.
int32_t storedEntries(std::string_view sequence) {
  return static_cast<int32_t>(std::min<std::size_t>(trim(sequence).size() / 2, kFrameSlots - 1));
}

// The entries in slots 1.. of a row up to the first empty one.
int32_t rowLength(const SequenceRow& row) {
  std::size_t end = 1;
  while (end < row.size() && row[end] != kEmptyCel) ++end;
  return static_cast<int32_t>(end - 1);
}

// "frame 3 shows" or "frames 3–5 show": `verbs` holds the verb for one frame, then for more.
std::string frames(int32_t first, int32_t last, std::array<std::string_view, 2> verbs) {
  if (first == last) return "frame " + std::to_string(first) + " " + std::string(verbs[0]);
  return "frames " + std::to_string(first) + "–" + std::to_string(last) + " " +
         std::string(verbs[1]);
}

// "2 entries against 3".
std::string entriesAgainst(int32_t entries, int32_t other) {
  return std::to_string(entries) + (entries == 1 ? " entry" : " entries") + " against " +
         std::to_string(other);
}

// The x, y, width and height a cel line gives from byte 4 on, read as the reader reads them;
// empty when one of them is no number (the load stops there with its own message).
std::string celValues(std::string_view line) {
  constexpr std::array<std::string_view, 4> kNames{"x ", "y ", "width ", "height "};
  std::string_view rest = trim(from(line, 4));
  std::string out;
  for (std::string_view name : kNames) {
    const auto value = tryParseInt(trim(token(rest)));
    if (!value) return {};
    out += (out.empty() ? "" : ", ") + std::string(name) + std::to_string(*value);
    rest = trim(text::afterToken(rest));
  }
  return out;
}

std::string quoted(std::string_view bytes) {
  return "'" + excerpt(bytes) + "'";
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

// The hint after "write the entries without blanks", when the text is nothing but entries.
std::string joinedHint(std::string_view sequences) {
  const bool onlyEntries = std::all_of(sequences.begin(), sequences.end(),
                                       [](char c) { return isHexDigit(c) || isBlank(c); });
  return onlyEntries ? ": " + excerpt(withoutBlanks(sequences)) : std::string();
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

void CharacterLint::warn(std::string message) {
  warnings_.push_back(LintWarning{lastLine_, std::move(message)});
}

void CharacterLint::lineStarted(int32_t number, std::string_view line) {
  lastLine_ = number;
  if (number == 1 && line.starts_with(kUtf8Bom) && line.substr(kUtf8Bom.size()).starts_with('#')) {
    warn("the file begins with a UTF-8 byte-order mark, so its first line, " +
         quoted(line.substr(kUtf8Bom.size())) +
         ", does not begin with '#' and is ignored (save the file as UTF-8 without a BOM)");
    return;
  }
  if (!line.empty() && static_cast<unsigned char>(line[0]) <= 32 && !trim(line).empty() &&
      trim(line)[0] == '#') {
    warn("the line is indented, so it is ignored: '" + excerpt(trim(line)) +
         "' (a keyword or cel line must begin at the first character)");
    return;
  }
  const bool keyword = std::any_of(kKeywords.begin(), kKeywords.end(),
                                   [&](std::string_view k) { return startsWithKeyword(line, k); });
  if (keyword) {
    checkKeywordLine(line);
    return;
  }
  const std::string_view meant = likelyKeyword(line);
  if (!meant.empty()) {
    warn("'" + excerpt(token(line)) + "' is no keyword, so the line is ignored (" +
         std::string(meant) + "?)");
  } else if (line.starts_with('#')) {
    checkCelLine(line);
  }
}

void CharacterLint::checkKeywordLine(std::string_view line) {
  if (startsWithKeyword(line, "#CHARNAME")) {
    nameRead_ = true;
    const std::string_view value = trim(from(line, 10));
    if (token(value).size() < value.size()) {
      warn("the name is cut at the first blank: " + quoted(token(value)) + " is shown, " +
           quoted(trim(text::afterToken(value))) +
           " is left out (a full-width space keeps the name whole)");
    }
  }
  if (startsWithKeyword(line, "#ANIME")) {
    const auto interval = tryParseInt(trim(from(line, 7)));
    if (interval && *interval <= 0) {
      warn("the frame interval " + std::to_string(*interval) +
           " is not positive: the viewer then draws frames as fast as it can and keeps a "
           "processor busy (#ANIME gives the milliseconds per frame, e.g. #ANIME 100)");
    }
  }
  if (startsWithKeyword(line, "#DATA")) {
    if (text::upperAscii(trim(copy(line, 6, 4))) == "16") {
      hexCelNumbers_ = true;
    } else {
      const std::string_view value = trim(from(line, 6));
      if (value == "16") {
        warn("#DATA 16 has no effect: at most two blanks may stand before the 16");
      } else {
        warn("#DATA '" + excerpt(value) +
             "' has no effect: only 16 switches cel numbers to hexadecimal");
      }
    }
  }
  if (startsWithKeyword(line, "#CHARBMP")) {
    const std::string_view value = trim(from(line, 9));
    const std::string_view name = token(value);
    if (name.empty()) {
      warn(
          "#CHARBMP names no picture (write the sheet's file name after it, e.g. "
          "#CHARBMP chara.bmp)");
    } else if (name.size() < value.size()) {
      warn("the sheet name " + quoted(value) + " has a blank: the reader looks for " +
           quoted(name) + " only (rename the picture without blanks, and this line with it)");
    }
    if (sheetLine_ != 0) {
      warn("a second #CHARBMP (the first is on line " + std::to_string(sheetLine_) +
           "): the viewer keeps one sheet, so " + quoted(name) + " replaces " + quoted(sheetName_) +
           " for every cel");
    } else {
      sheetLine_ = lastLine_;
    }
    sheetName_ = std::string(name);
  }
  if (startsWithKeyword(line, "#PATERN")) checkSequenceLine("#PATERN", trim(from(line, 8)), false);
  if (startsWithKeyword(line, "#LAYER")) checkSequenceLine("#LAYER", trim(from(line, 7)), true);
}

// A line that begins with '#' and is no keyword: the reader takes it for a cel line and stores
// the cel only when its number reads as one, so a cel line with a number it cannot read is
// dropped without a word. Lines that do not look like cel lines are notes, as the reader
// treats them.
void CharacterLint::checkCelLine(std::string_view line) {
  const std::string_view written = token(trim(from(line, 2)));
  const std::string_view values = trim(text::afterToken(trim(from(line, 2))));
  const bool looksLikeCel =
      (line.size() > 1 && isDigit(line[1])) ||
      ((consistsOf(written, isHexDigit) || tryParseInt(written)) && tryParseInt(token(values)));
  if (!looksLikeCel) return;
  const bool blankAfterHash = line.size() > 1 && isBlank(line[1]);

  if (!hexCelNumbers_) {
    const auto cel = tryParseInt(trim(copy(line, 2, 2)));
    if (cel && *cel >= 1 && *cel < kCelCount) {
      if (written.size() > 2 && consistsOf(written, isDigit)) {
        const auto meant = tryParseInt(written);
        std::string hint = "cels go up to 255";
        if (meant && *meant <= 255) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(*meant));
          hint =
              "numbers above 99 need a '#DATA 16' line first; from there on every cel number "
              "is two hexadecimal digits, " +
              std::string(written) + " being " + hex;
        }
        const std::string digits = written.size() == 3 ? "three" : std::to_string(written.size());
        const std::string values = celValues(line);
        warn("the cel number " + quoted(written) + " has " + digits +
             " digits, but only two are read: the line defines cel " + std::to_string(*cel) +
             (values.empty() ? "" : " at " + values) + " (" + hint + ")");
      }
      return;
    }
    if (blankAfterHash) {
      warn(
          "a blank stands between '#' and the cel number, so the line is ignored (write the "
          "number right after the '#')");
    } else if (cel) {
      warn("cel " + std::to_string(*cel) +
           " cannot be stored, so the line is ignored (cels are numbered 1 to 255)");
    } else if (consistsOf(written, isHexDigit)) {
      warn(quoted(written) +
           " is no decimal cel number, so the line is ignored (hexadecimal cel numbers need a "
           "'#DATA 16' line before them)");
    } else {
      warn(quoted(token(line)) +
           " is no cel line, so it is ignored (after the '#' come the cel number, then x, y, "
           "width and height, each after a blank)");
    }
    return;
  }

  if (trim(copy(line, 2, 3)).size() == 2 && !blankAfterHash) {
    const auto cel = tryParseInt("$" + std::string(trim(copy(line, 2, 2))));
    // Any other value is stored, or stops the load with its own message.
    if (cel && *cel == 0) {
      warn("cel 00 cannot be stored, so the line is ignored (cels are numbered 01 to FF)");
    }
    return;
  }
  if (blankAfterHash) {
    warn(
        "a blank stands between '#' and the cel number, so the line is ignored (write the "
        "number right after the '#')");
    return;
  }
  std::string hint = "cels are numbered 01 to FF";
  if (written.size() == 1 && written != "0") hint = "write #0" + std::string(written);
  warn("after #DATA 16 a cel number is two hexadecimal digits, so " + quoted(written) +
       " is ignored with its line (" + hint + ")");
}

void CharacterLint::checkSequenceLine(std::string_view keyword, std::string_view rest, bool layer) {
  definesSomething_ = true;
  const auto state = tryParseInt(trim(copy(rest, 1, 2)));
  if (!state) return;  // the load stops here with its own message
  if (*state < 0 || *state >= kStateCount) {
    warn(std::string(keyword) + " of state " + std::to_string(*state) +
         ", which lies outside 0..30: the line is ignored");
    return;
  }
  checkState(*state);
  rest = trim(from(rest, 3));
  const std::string_view first = token(rest);
  if (first.empty()) {
    warn(std::string(keyword) + " of state " + std::to_string(*state) + " has no sequence" +
         (layer ? ", so no layer is drawn" : ", so the state shows cel 1 alone") +
         " (the cels follow the state number, two hexadecimal digits each)");
    return;
  }
  const auto index = static_cast<std::size_t>(*state);
  if (!layer) {
    checkSequence("the pattern", first, false);
    const std::string_view ignored = trim(text::afterToken(rest));
    // Other text after the sequence is taken for a note.
    if (consistsOf(token(ignored), isHexDigit)) {
      warn("blanks split the pattern sequence: only " + quoted(first) + " is read, " +
           quoted(ignored) + " is ignored (write the entries without blanks" + joinedHint(rest) +
           ")");
    }
    checkRepeatedRow(keyword, *state, patternRows_[index], {first, {}}, false);
    return;
  }
  const std::string_view after = text::afterToken(rest);
  const std::string_view second = token(after);
  checkSequence("the layer", first, false);
  checkSequence("the destination", second, true);
  checkLayerSequences(first, after);
  checkRepeatedRow(keyword, *state, layerRows_[index], {first, second}, true);
}

void CharacterLint::checkState(int32_t state) {
  if (state == kCheckState) {
    warn("no button plays state 30 from the file: the pattern check button (" +
         std::string(stateInfo(kCheckState)->buttonCaption) +
         ") plays the sequences typed in the window instead (only --render and --export play "
         "this row)");
    return;
  }
  if (stateInfo(state) != nullptr) return;
  const std::string number = std::to_string(state);
  const StateInfo* lit = stateInfo(buttonEnabledByRow(state));
  if (lit != nullptr) {
    const std::string own = (lit->state < 10 ? "0" : "") + std::to_string(lit->state);
    warn("no button plays state " + number + ": this row lights up the " + lit->buttonCaption +
         " button, but that button plays state " + std::to_string(lit->state) +
         " (its row is #PATERN " + own + ")");
  } else if (state == 0) {
    warn(
        "no button plays state 0: the viewer falls back to it only when a state ends with no "
        "base state to return to (the states with buttons are " +
        statesWithButtons() + ")");
  } else {
    warn("no button plays state " + number +
         ", so the window does not show this row (the states with buttons are " +
         statesWithButtons() + ")");
  }
}

void CharacterLint::checkLayerSequences(std::string_view layer, std::string_view after) {
  const std::string_view destination = token(after);
  if (destination.empty()) {
    if (!trim(after).empty()) {
      warn(
          "two blanks stand between the layer and the destination sequence, so the "
          "destination is read as empty and the layer is never drawn (separate them by one "
          "blank)");
    } else {
      warn(
          "the layer has no destination sequence, so it is never drawn (after the layer "
          "sequence and one blank come the cels whose places the layer cels go to)");
    }
    return;
  }
  const std::string_view ignored = trim(text::afterToken(after));
  if (consistsOf(token(ignored), isHexDigit)) {
    warn("blanks split the sequences: the layer is read as " + quoted(layer) +
         " and the destination as " + quoted(destination) + ", " + quoted(ignored) +
         " is ignored (one blank between the layer and the destination sequence, none inside "
         "them)");
    return;
  }
  const int32_t layers = storedEntries(layer);
  const int32_t destinations = storedEntries(destination);
  const std::string counts = ", " + entriesAgainst(destinations, layers) + ": ";
  if (destinations < layers) {
    warn("the destination sequence is shorter than the layer" + counts +
         frames(destinations + 1, layers,
                {"has no destination, so its layer cel is not drawn",
                 "have no destination, so their layer cels are not drawn"}));
  } else if (destinations > layers) {
    const int32_t unused = destinations - layers;
    warn("the destination sequence is longer than the layer" + counts +
         (unused == 1 ? std::string("its last entry is never used")
                      : "its last " + std::to_string(unused) + " are never used"));
  }
}

void CharacterLint::checkRepeatedRow(std::string_view keyword, int32_t state, RowText& row,
                                     const std::array<std::string_view, 2>& entries, bool layer) {
  std::array<std::string, 2> now;
  std::array<std::string, 2> merged;
  bool partly = false;
  for (std::size_t i = 0; i < 2; ++i) {
    now[i] = std::string(
        trim(entries[i]).substr(0, 2 * static_cast<std::size_t>(storedEntries(entries[i]))));
    merged[i] = now[i];
    // The reader writes the entries it has and leaves the rest of the row alone.
    if (row.entries[i].size() > now[i].size()) {
      merged[i] += row.entries[i].substr(now[i].size());
      partly = true;
    }
  }
  if (row.line != 0) {
    std::string message = "a second " + std::string(keyword) + " for state " +
                          std::to_string(state) + " (the first is on line " +
                          std::to_string(row.line) + ")";
    if (!partly) {
      message += " replaces the first";
    } else if (!layer) {
      message += " is shorter and replaces only the start of it: state " + std::to_string(state) +
                 " plays " + excerpt(merged[0]);
    } else {
      message += " is shorter and replaces only the start of it: the layer plays " +
                 excerpt(merged[0]) + ", the destination " + excerpt(merged[1]);
    }
    warn(message + " (keep one line per state)");
  }
  row.line = lastLine_;
  row.entries = merged;
}

void CharacterLint::checkSequence(std::string_view what, std::string_view sequence,
                                  bool destination) {
  const std::string_view seq = trim(sequence);
  const std::size_t pairs = seq.size() / 2;
  if (seq.size() % 2 != 0) {
    warn(std::string(what) + " sequence has an odd length (" + std::to_string(seq.size()) +
         " characters): its last character '" + excerpt(seq.substr(seq.size() - 1)) +
         "' is ignored");
  }
  if (pairs > static_cast<std::size_t>(kFrameSlots - 1)) {
    warn(std::string(what) + " sequence has " + std::to_string(pairs) +
         " entries: only the first 255 are stored");
  }
  const std::size_t stored = std::min<std::size_t>(pairs, kFrameSlots - 1);
  for (std::size_t k = 0; k < stored; ++k) {
    const auto cel = tryParseInt("$" + std::string(trim(seq.substr(2 * k, 2))));
    if (!cel) break;  // the load stops at this pair
    if (*cel != 0) references_.push_back(CelReference{lastLine_, *cel, destination});
  }
}

void CharacterLint::celDefined(int32_t cel) {
  definesSomething_ = true;
  const auto earlier = definedCels_.find(cel);
  if (earlier != definedCels_.end() && earlier->second != lastLine_) {
    warn("cel " + std::to_string(cel) + " is defined again (the first is on line " +
         std::to_string(earlier->second) + "): this line replaces it");
  }
  definedCels_[cel] = lastLine_;
}

void CharacterLint::checkLayerLengths(const ViewerState& viewer) {
  for (std::size_t s = 0; s < layerRows_.size(); ++s) {
    if (layerRows_[s].line == 0) continue;
    const int32_t patterns = rowLength(viewer.pattern[s]);
    const int32_t layers = rowLength(viewer.layer[s]);
    // A state of layer cels alone may be meant so.
    if (patterns == 0 || layers == 0 || patterns == layers) continue;
    std::string message = "the layer of state " + std::to_string(s);
    message += layers < patterns ? " is shorter" : " is longer";
    message += " than its pattern, " + entriesAgainst(layers, patterns) + ": ";
    if (layers < patterns) {
      message += frames(layers + 1, patterns, {"shows", "show"}) + " no layer cel";
    } else {
      message += "the state plays " + std::to_string(layers) + " frames, and ";
      message += frames(patterns + 1, layers, {"shows", "show"}) + " no pattern cel";
    }
    warnings_.push_back(LintWarning{layerRows_[s].line, message + " (give both as many entries)"});
  }
}

void CharacterLint::finish(const ViewerState& viewer, bool loadCompleted) {
  std::set<std::pair<int32_t, int32_t>> reported;
  for (const CelReference& ref : references_) {
    if (definedCels_.contains(ref.cel) || !reported.insert({ref.line, ref.cel}).second) continue;
    warnings_.push_back(LintWarning{
        ref.line, "cel " + std::to_string(ref.cel) + " is used, but no cel line defines it"});
  }
  const int32_t width = viewer.sheet ? viewer.sheet->width() : 0;
  const int32_t height = viewer.sheet ? viewer.sheet->height() : 0;
  // A cel used only as a destination names a place in the view, which may lie anywhere.
  std::set<int32_t> onlyDestinations;
  for (const CelReference& ref : references_) {
    if (ref.destination) onlyDestinations.insert(ref.cel);
  }
  for (const CelReference& ref : references_) {
    if (!ref.destination) onlyDestinations.erase(ref.cel);
  }
  if (width > 0 && height > 0) {
    for (const auto& [cel, line] : definedCels_) {
      if (onlyDestinations.contains(cel)) continue;
      const int64_t x = viewer.celX[cel];
      const int64_t y = viewer.celY[cel];
      const int64_t w = viewer.celW[cel];
      const int64_t h = viewer.celH[cel];
      if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > width || y + h > height) {
        warnings_.push_back(
            LintWarning{line, "cel " + std::to_string(cel) + " (" + std::to_string(x) + ", " +
                                  std::to_string(y) + ", " + std::to_string(w) + " × " +
                                  std::to_string(h) + ") does not lie within the sheet (" +
                                  std::to_string(width) + " × " + std::to_string(height) + ")"});
      }
    }
  }
  checkLayerLengths(viewer);
  // An empty file is a mistake of its own; a file that cuts cels needs a picture to cut.
  if (loadCompleted && sheetLine_ == 0 && definesSomething_) {
    warnings_.push_back(LintWarning{
        0,
        "no #CHARBMP line names the sprite sheet, so the cels have no picture and the view "
        "stays black, or keeps the sheet of the file shown before (add a line such as "
        "#CHARBMP chara.bmp)"});
  }
  std::stable_sort(warnings_.begin(), warnings_.end(),
                   [](const LintWarning& a, const LintWarning& b) { return a.line < b.line; });
}

}  // namespace patapata
