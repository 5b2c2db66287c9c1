#pragma once

#include "character/character.h"
#include "common/errors.h"
#include "common/file_stamp.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

namespace grammar {
struct Line;
}

/// Follows a load line by line: the check listens here to what the reader sees and does, so
/// that the grammar exists once.
class ReaderObserver {
 public:
  virtual ~ReaderObserver() = default;
  /// Line `number` (counted from 1) as the grammar splits it, before it is interpreted.
  virtual void lineRead(int32_t number, const grammar::Line& line) = 0;
  /// Entry `slot` of `sequence` of `state` was stored: cel `cel`, from the two characters
  /// `written`.
  virtual void entryStored(Sequence sequence, int32_t state, int32_t slot, std::string_view written,
                           int32_t cel) = 0;
  /// A cel line stored cel `cel` (1..255).
  virtual void celStored(int32_t cel) = 0;
  /// The line was interpreted to its end.
  virtual void lineDone(int32_t number, const grammar::Line& line) = 0;
};

/// Reads the picture a "#CHARBMP" line names. Empty where there is no display to read it for.
using SheetLoader = std::function<std::shared_ptr<const SheetPicture>(const std::string& path)>;

/// What a load made of a character file.
struct CharacterLoad {
  /// What the lines read made of the character: all of them when the load completed.
  Character character;
  /// The character file's stamp, taken before it was read (also when that failed).
  FileStamp stamp{};
  /// Why the load stopped, with the file and the line; nothing when it completed.
  std::optional<Error> error;
  /// The file is not a character file (a picture, or not text): nothing of it was read, and
  /// nothing of the character open before should change.
  bool notCharacterFile = false;

  bool completed() const { return !error.has_value(); }
};

/// The largest character file the reader takes, in bytes. Only the first 1024 bytes of a
/// line are ever looked at, so a larger file is not a character file.
inline constexpr std::int64_t kMaxCharacterFileBytes = std::int64_t{64} << 20;

/// Why `bytes`, read from `path`, are no character file at all, located at line 0: a picture's
/// signature (PNG, BMP, GIF, JPEG, WebP) gives "%1 は画像で、…", any NUL byte "%1 はテキストでは
/// ないので、…", %1 being the file's name. Nothing for text.
std::optional<Error> notCharacterText(std::string_view bytes, const std::string& path);

/// True for the errors of notCharacterText.
bool isNotCharacterFile(const Error& error);

/// Splits a file's bytes into lines at CR LF, a lone CR and a lone LF. A NUL byte ends the
/// text; a last line without a line end counts; no bytes give no lines. The views point
/// into `bytes`.
std::vector<std::string_view> splitLines(std::string_view bytes);

/// Interprets the lines of a character file's `bytes`, read from `path`, into a new
/// character that starts from no cels and empty sequences and from `sheet`, which a file
/// without a "#CHARBMP" line keeps. A "#CHARBMP" line reads its picture through `loadSheet`.
/// The load stops at the first error: a number that is no number ("'%1' は数値ではありません"),
/// the sheet's errors, and, without a loader, "IDirectDrawSurface は作成されていません"; what
/// the lines before it did stays in the character. Touches nothing else.
CharacterLoad readCharacter(std::string_view bytes, const std::string& path,
                            const SheetLoader& loadSheet, CharacterSheet sheet,
                            ReaderObserver* observer = nullptr);

/// Reads the character file at `path` and interprets it as readCharacter does. Before any
/// line: "ファイル %1 は開けません" when it cannot be read (line 0), "%1 を読み込めません" when
/// it is too large (line 0), the Unicode text error for a UTF-16 or UTF-32 byte-order mark
/// (line 1), and notCharacterText's refusals, which set `notCharacterFile`.
CharacterLoad loadCharacterFile(const std::string& path, const SheetLoader& loadSheet,
                                CharacterSheet sheet, ReaderObserver* observer = nullptr);

/// The sheet path the first "#CHARBMP" line of the character file at `path` names, resolved
/// as a load resolves it; nothing when the file cannot be read or has no such line. Only
/// reads, so that the sheet can be started on before the character is loaded.
std::optional<std::string> firstSheetPath(const std::string& path);

}  // namespace patapata
