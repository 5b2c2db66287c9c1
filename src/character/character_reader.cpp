#include "character/character_reader.h"

#include "character/sheet_path.h"
#include "character/state_table.h"
#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_read.h"
#include "common/file_stamp.h"
#include "common/int_conversion.h"
#include "common/messages.h"
#include "common/text.h"
#include "surfaces/surface.h"

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
  return parseInt(trim(copy(value, 1, 2)));
}

void enableStateButton(DisplayState& display, int32_t row) {
  if (!isState(row)) return;
  const int32_t button = buttonEnabledByRow(row);
  if (button >= 0) display.stateButtonEnabled[button] = true;
}

// The name a "#CHARBMP" line gives.
std::string_view sheetName(std::string_view line) {
  return token(trim(from(line, 9)));
}

struct Load {
  ViewerState& viewer;
  Controls& controls;
  const std::string& characterPath;
  ReaderObserver* observer;
  bool hexCelNumbers = false;

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
    viewer.display.characterName = encoding::toDisplayText(name);
  }

  void anime(std::string_view line) {
    const int32_t value = parseInt(trim(from(line, 7)));
    viewer.frameIntervalMs = value;
    controls.setText(Edit::Interval, std::to_string(value));
  }

  void data(std::string_view line) {
    if (text::upperAscii(trim(copy(line, 6, 4))) == "16") hexCelNumbers = true;
  }

  void charBmp(std::string_view line) {
    const std::string path = resolveSheetPath(characterPath, sheetName(line));
    if (!viewer.sheet) {
      throw SurfaceError(formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
    }
    // The stamp is taken before the read: a save that lands during the read then shows as a
    // change, and the picture is read again.
    const FileStamp stamp = fileStamp(path);
    viewer.sheet->loadImageFile(path);
    viewer.sheetPath = path;
    viewer.sheetStamp = stamp;
  }

  void patern(std::string_view line) {
    std::string_view rest = trim(from(line, 8));
    const int32_t number = stateNumber(rest);
    rest = trim(from(rest, 3));
    storePairs(viewer.pattern, number, token(rest));
    enableStateButton(viewer.display, number);
  }

  void layer(std::string_view line) {
    std::string_view rest = trim(from(line, 7));
    const int32_t number = stateNumber(rest);
    rest = trim(from(rest, 3));
    // The destination follows the one blank that ended the layer sequence; a second blank
    // leaves it empty.
    const std::string_view after = afterToken(rest);
    storePairs(viewer.layer, number, token(rest));
    storePairs(viewer.layerDest, number, token(after));
    enableStateButton(viewer.display, number);
    if (isState(number)) viewer.layerOn[number] = 1;
  }

  void cel(std::string_view line) {
    int32_t e = -1;
    if (!hexCelNumbers) {
      e = parseIntOr(trim(copy(line, 2, 2)), -1);
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
    const int32_t h = parseInt(trim(tokens[3]));
    const int32_t w = parseInt(trim(tokens[2]));
    const int32_t y = parseInt(trim(tokens[1]));
    const int32_t x = parseInt(trim(tokens[0]));
    // Right and bottom wrap as 32-bit values; no range check relates cels to the sheet.
    viewer.celRects[e] =
        Rect{x, y, static_cast<int32_t>(int64_t{x} + w), static_cast<int32_t>(int64_t{y} + h)};
    viewer.celX[e] = x;
    viewer.celY[e] = y;
    viewer.celW[e] = w;
    viewer.celH[e] = h;
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

std::vector<uint8_t> readCharacterFile(const std::string& path) {
  const std::string shown = encoding::toDisplayText(path);
  std::error_code ec;
  const auto size = std::filesystem::file_size(std::filesystem::path(path), ec);
  if (!ec && size > static_cast<uintmax_t>(kMaxCharacterFileBytes)) {
    throw ReadError(formatMessage(messages::kCannotLoad, shown));
  }
  const auto bytes = readWholeFile(path);
  if (!bytes) throw FileOpenError(formatMessage(messages::kCannotOpenFile, shown));
  return {bytes->begin(), bytes->end()};
}

// "UTF-16" or "UTF-32" when `bytes` begin with that encoding's byte-order mark, else null.
// Such text has a NUL after nearly every character, where the reader's text ends.
const char* unicodeEncoding(std::string_view bytes) {
  // The UTF-32 marks first: the little-endian one begins with the UTF-16 one.
  if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
      bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    return "UTF-32";
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return "UTF-16";
  return nullptr;
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  forEachLine(bytes, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

void resetCharacter(ViewerState& viewer, Controls& controls) {
  viewer.celRects.fill(Rect{});
  for (SequenceTable* table : {&viewer.pattern, &viewer.layer, &viewer.layerDest}) {
    for (SequenceRow& row : *table) row.fill(kEmptyCel);
  }
  viewer.layerOn.fill(0);
  viewer.frameIntervalMs = 100;
  viewer.state = 1;
  viewer.display.stateButtonEnabled.fill(false);
  controls.setText(Edit::Interval, "100");
  viewer.display.stateCaption = "状態";
}

void loadCharacterFile(ViewerState& viewer, Controls& controls, const std::string& path) {
  loadCharacterFile(viewer, controls, path, nullptr);
}

void loadCharacterFile(ViewerState& viewer, Controls& controls, const std::string& path,
                       ReaderObserver* observer) {
  resetCharacter(viewer, controls);
  Load load{viewer, controls, path, observer};
  {
    // Taken before the read, as for the sheet; also when the read fails, so that the poll does
    // not read again a version the author has already seen fail.
    viewer.characterStamp = fileStamp(path);
    std::vector<uint8_t> bytes;
    try {
      bytes = readCharacterFile(path);
    } catch (Exception& e) {
      e.setLocation(FileLocation{path, 0});
      throw;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (const char* unicode = unicodeEncoding(text)) {
      ReadError e(formatMessage(messages::kUnicodeText, unicode));
      // Line 1, where the mark stands: the file was read, and line 0 means it could not be.
      e.setLocation(FileLocation{path, 1});
      throw e;
    }
    int32_t number = 0;
    forEachLine(text, [&](std::string_view line) {
      ++number;
      if (observer) observer->lineStarted(number, line);
      try {
        load.line(line);
      } catch (Exception& e) {
        // The error says where the load stopped, so nobody reads the file again
        // to find out.
        e.setLocation(FileLocation{path, number});
        throw;
      }
    });
  }
  viewer.characterLoaded = true;
  viewer.display.reloadFailure.reset();
  if (viewer.sheet) {
    Surface& sheet = *viewer.sheet;
    sheet.setSourceKey(sheet.pixelValue(sheet.width() - 1, sheet.height() - 1));
  }
}

std::optional<std::string> firstSheetPath(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = readCharacterFile(path);
  } catch (const Exception&) {
    return std::nullopt;  // the load reports it
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (const std::string_view line : splitLines(text)) {
    if (startsWithKeyword(line, "#CHARBMP")) return resolveSheetPath(path, sheetName(line));
  }
  return std::nullopt;
}

}  // namespace patapata
