#include "character/character_reader.h"

#include "character/line_grammar.h"
#include "character/sheet_path.h"
#include "common/encoding.h"
#include "common/file_read.h"
#include "common/int_conversion.h"
#include "common/text.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace patapata {

namespace {

using grammar::Line;
using grammar::LineKind;

struct Reading {
  Character& character;
  const std::string& path;
  const SheetLoader& loadSheet;
  ReaderObserver* observer;

  void interpret(const Line& line) {
    switch (line.kind) {
      case LineKind::Note:
        return;
      case LineKind::Name:
        character.name = encoding::toDisplayText(line.name);
        return;
      case LineKind::Interval:
        character.frameIntervalMs = parseInt(line.value);
        return;
      case LineKind::Numbering:
        // There is no way back to decimal within a file.
        if (line.switchesToHex) character.hexCelNumbers = true;
        return;
      case LineKind::Sheet:
        readSheet(line);
        return;
      case LineKind::Pattern: {
        const int32_t state = grammar::stateNumber(line);
        store(Sequence::Pattern, state, line.sequences[0]);
        if (isState(state)) character.stateNamed[state] = true;
        return;
      }
      case LineKind::Layer: {
        const int32_t state = grammar::stateNumber(line);
        store(Sequence::Layer, state, line.sequences[0]);
        store(Sequence::Destination, state, line.sequences[1]);
        if (isState(state)) character.stateNamed[state] = character.layerOn[state] = true;
        return;
      }
      case LineKind::Cel:
        try {
          readCel(line);
        } catch (Error& e) {
          // A note written after a '#' is read as a cel line, and its words fail as numbers.
          e.setHint(Message{MessageId::HashLineIsInstruction, {}});
          throw;
        }
        return;
    }
  }

  void readSheet(const Line& line) {
    const std::string sheetPath = resolveSheetPath(path, line.name);
    if (!loadSheet) throw Error(MessageId::SurfaceNotCreated);
    // The stamp is taken before the read: a save that lands during the read then shows as a
    // change, and the picture is read again.
    const FileStamp stamp = fileStamp(sheetPath);
    character.sheet = CharacterSheet{sheetPath, stamp, loadSheet(sheetPath)};
  }

  // Every entry is converted, so a bad one stops the load wherever it stands, but only rows
  // 0..30 and frames 1..255 are written.
  void store(Sequence sequence, int32_t state, std::string_view text) {
    SequenceTable& table = sequence == Sequence::Pattern ? character.pattern
                           : sequence == Sequence::Layer ? character.layer
                                                         : character.layerDest;
    const int64_t entries = grammar::entryCount(text);
    for (int64_t k = 1; k <= entries; ++k) {
      const std::string_view written = grammar::entryText(text, k);
      const int32_t cel = hexPair(written);
      if (!isState(state) || k >= kFrameSlots) continue;
      table[state][k] = cel;
      if (observer) observer->entryStored(sequence, state, static_cast<int32_t>(k), written, cel);
    }
  }

  void readCel(const Line& line) {
    const std::optional<int32_t> cel = grammar::celNumber(line);
    if (!cel) return;
    // All four are converted before anything is stored, the last first, so that of several
    // bad ones the error names the last in the line.
    const int32_t h = parseInt(text::trim(line.celValues[3]));
    const int32_t w = parseInt(text::trim(line.celValues[2]));
    const int32_t y = parseInt(text::trim(line.celValues[1]));
    const int32_t x = parseInt(text::trim(line.celValues[0]));
    // No range check relates cels to the sheet.
    character.cels[*cel] = CelRect{x, y, w, h};
    if (observer) observer->celStored(*cel);
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

FileBytes readCharacterBytes(const std::string& path) {
  const std::string shown = encoding::toDisplayText(path);
  std::error_code ec;
  const auto size = std::filesystem::file_size(std::filesystem::path(path), ec);
  if (!ec && size > static_cast<uintmax_t>(kMaxCharacterFileBytes)) {
    throw Error(MessageId::FileTooLarge, shown);
  }
  auto bytes = readWholeFile(path);
  if (!bytes) throw Error(MessageId::CannotOpenFile, shown);
  return std::move(*bytes);
}

std::string_view asText(const FileBytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
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

// True when `bytes` begin as a picture file does: a character file names its sheet, and an
// author who drops the sheet itself has to be told so.
bool looksLikePicture(std::string_view bytes) {
  constexpr std::string_view kSignatures[] = {std::string_view("\x89PNG\r\n\x1A\n", 8), "GIF87a",
                                              "GIF89a", std::string_view("\xFF\xD8\xFF", 3)};
  for (const std::string_view signature : kSignatures) {
    if (bytes.starts_with(signature)) return true;
  }
  if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP") return true;
  // "BM" alone could begin a note; the size of the header that follows makes it a bitmap.
  if (bytes.size() < 18 || !bytes.starts_with("BM")) return false;
  const auto byte = [&](std::size_t at) { return static_cast<uint32_t>(uint8_t(bytes[at])); };
  const uint32_t header = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
  return header == 12 || (header >= 16 && header <= 64) || header == 108 || header == 124;
}

Error locatedError(Error error, const std::string& path, int32_t line) {
  error.setLocation(FileLocation{path, line});
  return error;
}

}  // namespace

std::optional<Error> notCharacterText(std::string_view bytes, const std::string& path) {
  const std::string shown =
      encoding::toDisplayText(std::filesystem::path(path).filename().string());
  std::optional<Error> refusal;
  if (looksLikePicture(bytes)) {
    refusal = Error(MessageId::PictureNotCharacter, shown);
  } else if (bytes.find('\0') != std::string_view::npos) {
    refusal = Error(MessageId::BinaryNotCharacter, shown);
  }
  if (refusal) refusal->setLocation(FileLocation{path, 0});
  return refusal;
}

bool isNotCharacterFile(const Error& error) {
  return error.id() == MessageId::PictureNotCharacter ||
         error.id() == MessageId::BinaryNotCharacter;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  forEachLine(bytes, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

CharacterLoad readCharacter(std::string_view bytes, const std::string& path,
                            const SheetLoader& loadSheet, CharacterSheet sheet,
                            ReaderObserver* observer) {
  CharacterLoad load;
  load.character.sheet = std::move(sheet);
  Reading reading{load.character, path, loadSheet, observer};
  int32_t number = 0;
  try {
    forEachLine(bytes, [&](std::string_view text) {
      ++number;
      const Line line = grammar::parseLine(text, load.character.hexCelNumbers);
      if (observer) observer->lineRead(number, line);
      reading.interpret(line);
      if (observer) observer->lineDone(number, line);
    });
  } catch (const Error& e) {
    // The error says where the load stopped, so nobody reads the file again to find out.
    load.error = locatedError(e, path, number);
  }
  return load;
}

CharacterLoad loadCharacterFile(const std::string& path, const SheetLoader& loadSheet,
                                CharacterSheet sheet, ReaderObserver* observer) {
  // Taken before the read, as for the sheet; also when the read fails, so that the poll does
  // not read again a version the author has already seen fail.
  const FileStamp stamp = fileStamp(path);
  FileBytes bytes;
  std::optional<Error> refused;
  try {
    bytes = readCharacterBytes(path);
  } catch (const Error& e) {
    refused = locatedError(e, path, 0);
  }
  bool notCharacterFile = false;
  if (!refused) {
    if (const char* unicode = unicodeEncoding(asText(bytes))) {
      // Line 1, where the mark stands: the file was read, and line 0 means it could not be.
      refused = locatedError(Error(MessageId::UnicodeText, unicode), path, 1);
    } else if (refused = notCharacterText(asText(bytes), path); refused) {
      notCharacterFile = true;
    }
  }
  if (refused) {
    CharacterLoad load;
    load.character.sheet = std::move(sheet);
    load.stamp = stamp;
    load.error = std::move(refused);
    load.notCharacterFile = notCharacterFile;
    return load;
  }
  CharacterLoad load = readCharacter(asText(bytes), path, loadSheet, std::move(sheet), observer);
  load.stamp = stamp;
  return load;
}

std::optional<std::string> firstSheetPath(const std::string& path) {
  FileBytes bytes;
  try {
    bytes = readCharacterBytes(path);
  } catch (const Error&) {
    return std::nullopt;  // the load reports it
  }
  for (const std::string_view text : splitLines(asText(bytes))) {
    const Line line = grammar::parseLine(text, false);
    if (line.kind == LineKind::Sheet) return resolveSheetPath(path, line.name);
  }
  return std::nullopt;
}

}  // namespace patapata
