#include "character/character_reader.h"

#include "character/sheet_path.h"
#include "character/state_buttons.h"
#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_age.h"
#include "common/file_read.h"
#include "common/int_conversion.h"
#include "common/messages.h"
#include "common/text.h"
#include "surfaces/direct_draw_surface.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace patapata {

namespace {

using text::afterToken;
using text::copy;
using text::from;
using text::startsWithKeyword;
using text::token;
using text::trim;

bool isState(int32_t state) {
  return state >= 0 && state < kStateCount;
}

// Stores the pairs of a sequence from frame 1 on. Every pair is converted, so a bad one
// stops the load wherever it stands, but only rows 0..30 and frames 1..255 are written.
void storePairs(SequenceTable& table, int32_t state, std::string_view sequence) {
  const std::string_view seq = trim(sequence);
  const auto pairs = static_cast<int64_t>(seq.size() / 2);
  for (int64_t k = 1; k <= pairs; ++k) {
    const int32_t cel = hexPair(copy(seq, 2 * k - 1, 2));
    if (isState(state) && k < kFrameSlots) table[state][k] = cel;
  }
}

// The state number of a "#PATERN" or "#LAYER" value: always its first two characters.
int32_t stateNumber(std::string_view value) {
  return StrToInt(trim(copy(value, 1, 2)));
}

void enableStateButton(Controls& controls, int32_t state) {
  if (!isState(state)) return;
  if (const auto button = buttonEnabledByState(state)) controls.setEnabled(*button, true);
}

struct Load {
  ViewerState& state;
  Controls& controls;
  const std::string& fileName;
  ReaderObserver* observer;
  bool HexIndexMode = false;

  void line(std::string_view line) {
    if (startsWithKeyword(line, "#CHARNAME")) charName(line);
    if (startsWithKeyword(line, "#ANIME")) anime(line);
    if (startsWithKeyword(line, "#DATA")) data(line);
    if (startsWithKeyword(line, "#CHARBMP")) charBmp(line);
    if (startsWithKeyword(line, "#PATERN")) patern(line);
    if (startsWithKeyword(line, "#LAYER")) layer(line);
    if (startsWithKeyword(line, "#")) cel(line);
  }

  void charName(std::string_view line) {
    const std::string_view name = token(trim(from(line, 10)));
    controls.setCaption(ControlId::Label1, encoding::toDisplayText(name));
  }

  void anime(std::string_view line) {
    const int32_t value = StrToInt(trim(from(line, 7)));
    state.FrameInterval = value;
    controls.setText(ControlId::Edit1, std::to_string(value));
  }

  void data(std::string_view line) {
    if (text::upperAscii(trim(copy(line, 6, 4))) == "16") HexIndexMode = true;
  }

  void charBmp(std::string_view line) {
    const std::string_view name = token(trim(from(line, 9)));
    const std::string path = resolveSheetPath(fileName, name);
    if (!state.CGSurface) {
      throw EDirectDrawSurfaceError(
          formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
    }
    state.CGSurface->LoadImageFile(path);
    state.CGFileName = path;
    state.CGFileAge = fileAge(path);
  }

  void patern(std::string_view line) {
    std::string_view rest = trim(from(line, 8));
    const int32_t number = stateNumber(rest);
    rest = trim(from(rest, 3));
    storePairs(state.PatternSeq, number, token(rest));
    enableStateButton(controls, number);
  }

  void layer(std::string_view line) {
    std::string_view rest = trim(from(line, 7));
    const int32_t number = stateNumber(rest);
    rest = trim(from(rest, 3));
    // The destination follows the one blank that ended the layer sequence; a second blank
    // leaves it empty.
    const std::string_view after = afterToken(rest);
    storePairs(state.LayerSeq, number, token(rest));
    storePairs(state.LayerDestSeq, number, token(after));
    enableStateButton(controls, number);
    if (isState(number)) state.LayerOn[number] = 1;
  }

  void cel(std::string_view line) {
    int32_t e = -1;
    if (!HexIndexMode) {
      e = StrToIntDef(trim(copy(line, 2, 2)), -1);
    } else if (trim(copy(line, 2, 3)).size() == 2) {
      e = hexPair(copy(line, 2, 2));
    }
    if (e < 1 || e >= kCelCount) return;

    std::string_view rest = trim(from(line, 4));
    std::string_view tokens[4];
    for (std::string_view& t : tokens) {
      t = token(rest);
      rest = trim(afterToken(rest));
    }
    const int32_t h = StrToInt(trim(tokens[3]));
    const int32_t w = StrToInt(trim(tokens[2]));
    const int32_t y = StrToInt(trim(tokens[1]));
    const int32_t x = StrToInt(trim(tokens[0]));
    // Right and bottom wrap as 32-bit values; no range check relates cels to the sheet.
    state.CelRects[e] =
        TRect{x, y, static_cast<int32_t>(int64_t{x} + w), static_cast<int32_t>(int64_t{y} + h)};
    state.CelX[e] = x;
    state.CelY[e] = y;
    state.CelW[e] = w;
    state.CelH[e] = h;
    if (observer) observer->celDefined(e);
  }
};

// Calls `fn` with each line in turn, split as splitLines does. The reader interprets lines
// as they are found: a list of them would cost 16 bytes per line, sixteen times the size of
// a file of nothing but line ends.
template <typename Fn>
void forEachLine(std::string_view bytes, Fn&& fn) {
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      fn(bytes.substr(start));
      break;
    }
    fn(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
}

std::vector<uint8_t> readCharacterFile(const std::string& FileName) {
  const std::string shown = encoding::toDisplayText(FileName);
  std::error_code ec;
  const auto size = std::filesystem::file_size(std::filesystem::path(FileName), ec);
  if (!ec && size > static_cast<uintmax_t>(kMaxCharacterFileBytes)) {
    throw EReadError(formatMessage(messages::kCannotLoad, shown));
  }
  auto bytes = readWholeFile(FileName);
  if (!bytes) throw EFOpenError(formatMessage(messages::kCannotOpenFile, shown));
  return std::move(*bytes);
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  forEachLine(bytes, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

void ResetCharacter(ViewerState& state, Controls& controls) {
  state.CelRects.fill(TRect{});
  for (SequenceTable* table : {&state.PatternSeq, &state.LayerSeq, &state.LayerDestSeq}) {
    for (SequenceRow& row : *table) row.fill(kEmptyCel);
  }
  state.LayerOn.fill(0);
  state.FrameInterval = 100;
  state.AnimState = 1;
  for (ControlId button : kStateButtons) controls.setEnabled(button, false);
  controls.setText(ControlId::Edit1, "100");
  controls.setCaption(ControlId::Label2, "状態");
}

void fileload(ViewerState& state, Controls& controls, const std::string& FileName) {
  fileload(state, controls, FileName, nullptr);
}

void fileload(ViewerState& state, Controls& controls, const std::string& FileName,
              ReaderObserver* observer) {
  ResetCharacter(state, controls);
  Load load{state, controls, FileName, observer};
  {
    const std::vector<uint8_t> bytes = readCharacterFile(FileName);
    int32_t number = 0;
    forEachLine(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                [&](std::string_view line) {
                  if (observer) observer->lineStarted(++number, line);
                  load.line(line);
                });
  }
  state.CharLoaded = true;
  if (state.CGSurface) {
    TDirectDrawSurface& sheet = *state.CGSurface;
    sheet.SetSourceKey(sheet.PixelValue(sheet.Width() - 1, sheet.Height() - 1));
  }
}

}  // namespace patapata
