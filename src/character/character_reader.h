#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

struct ViewerState;
class Controls;

/// Follows a load line by line; the batch check uses it to tell where a load got to and what
/// it defined. The viewer loads without one.
class ReaderObserver {
 public:
  virtual ~ReaderObserver() = default;
  /// Before line `number` (counted from 1) is interpreted.
  virtual void lineStarted(int32_t number, std::string_view line) = 0;
  /// A cel line has stored cel `cel` (1..255).
  virtual void celDefined(int32_t cel) = 0;
};

/// The largest character file the reader takes, in bytes. Only the first 1024 bytes of a
/// line are ever looked at, so a larger file is not a character file.
inline constexpr std::int64_t kMaxCharacterFileBytes = std::int64_t{64} << 20;

/// Splits a file's bytes into lines at CR LF, a lone CR and a lone LF. A NUL byte ends the
/// text; a last line without a line end counts; no bytes give no lines. The views point
/// into `bytes`.
std::vector<std::string_view> splitLines(std::string_view bytes);

/// Empties the character tables for a new load (cel shapes in `celX`..`celH` stay), selects
/// state 1, disables the state buttons, puts "100" in the interval edit (its change handler
/// runs when that changes it) and shows the caption "状態".
void resetCharacter(ViewerState& viewer, Controls& controls);

/// Loads the character file `path` into the tables and its sprite sheet into
/// `viewer.sheet`, enables the buttons of the states it defines and takes the sheet's
/// colour key. Throws FileOpenError when the file cannot be read, ReadError when it is too
/// large or begins with a UTF-16 or UTF-32 byte-order mark (at line 1, before any line is
/// interpreted), ConversionError at a bad number, the sheet's errors at a "#CHARBMP" line,
/// and SurfaceError at a "#CHARBMP" line when there is no sheet surface. What the lines
/// before the failing one did stays; `characterLoaded`, `sheetPath` and `sheetStamp` keep
/// their values. Every Exception it throws carries the file and the line where the load
/// stopped (line 0 when the file could not be read).
void loadCharacterFile(ViewerState& viewer, Controls& controls, const std::string& path);
void loadCharacterFile(ViewerState& viewer, Controls& controls, const std::string& path,
                       ReaderObserver* observer);

/// The sheet path the first "#CHARBMP" line of the character file at `path` names, resolved
/// as a load resolves it; nothing when the file cannot be read or has no such line. Only
/// reads, so that the sheet can be started on before the character is loaded.
std::optional<std::string> firstSheetPath(const std::string& path);

}  // namespace patapata
