#include "character/character_lint.h"

#include "character/viewer_state.h"
#include "common/encoding.h"
#include "common/int_conversion.h"
#include "common/text.h"
#include "surfaces/surface.h"

#include <algorithm>
#include <array>
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
  if (!line.empty() && static_cast<unsigned char>(line[0]) <= 32 && !trim(line).empty() &&
      trim(line)[0] == '#') {
    warn("the line is indented, so it is ignored: '" + excerpt(trim(line)) +
         "' (a keyword or cel line must begin at the first character)");
    return;
  }
  const bool keyword = std::any_of(kKeywords.begin(), kKeywords.end(),
                                   [&](std::string_view k) { return startsWithKeyword(line, k); });
  if (!keyword) {
    const std::string_view meant = likelyKeyword(line);
    if (!meant.empty()) {
      warn("'" + excerpt(token(line)) + "' is no keyword, so the line is ignored (" +
           std::string(meant) + "?)");
    }
    return;
  }
  if (startsWithKeyword(line, "#CHARNAME")) nameRead_ = true;
  if (startsWithKeyword(line, "#DATA") && text::upperAscii(trim(copy(line, 6, 4))) != "16") {
    const std::string_view value = trim(from(line, 6));
    if (value == "16") {
      warn("#DATA 16 has no effect: at most two blanks may stand before the 16");
    } else {
      warn("#DATA '" + excerpt(value) +
           "' has no effect: only 16 switches cel numbers to hexadecimal");
    }
  }
  if (startsWithKeyword(line, "#PATERN")) checkSequenceLine("#PATERN", trim(from(line, 8)), false);
  if (startsWithKeyword(line, "#LAYER")) checkSequenceLine("#LAYER", trim(from(line, 7)), true);
}

void CharacterLint::checkSequenceLine(std::string_view keyword, std::string_view rest, bool layer) {
  const auto state = tryParseInt(trim(copy(rest, 1, 2)));
  if (!state) return;  // the load stops here with its own message
  if (*state < 0 || *state >= kStateCount) {
    warn(std::string(keyword) + " of state " + std::to_string(*state) +
         ", which lies outside 0..30: the line is ignored");
    return;
  }
  rest = trim(from(rest, 3));
  if (!layer) {
    checkSequence("the pattern", token(rest), false);
    return;
  }
  checkSequence("the layer", token(rest), false);
  checkSequence("the destination", token(text::afterToken(rest)), true);
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
  definedCels_[cel] = lastLine_;
}

void CharacterLint::finish(const ViewerState& viewer) {
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
  std::stable_sort(warnings_.begin(), warnings_.end(),
                   [](const LintWarning& a, const LintWarning& b) { return a.line < b.line; });
}

}  // namespace patapata
