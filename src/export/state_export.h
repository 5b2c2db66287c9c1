#pragma once

#include "common/new_file.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace patapata {

struct Character;

namespace exporting {

class HeadlessSession;

/// What an export writes.
enum class Output {
  Gif,        ///< one state as an animated GIF
  Webp,       ///< one state as a lossless animated WebP
  PngStrip,   ///< one state's frames side by side
  Sheet,      ///< every state with entries, a row each, in one PNG
  Directory,  ///< every state with entries, an animation each
};

enum class Animation { Gif, Webp };

/// Its values are in palette_reduction.h; named here so that a job needs no Qt.
enum class Dither;

/// One export, as the command line or the window's dialog asks for it.
struct ExportJob {
  Output output = Output::Gif;
  /// The state a one-state output plays; none for the one the session's player is at.
  std::optional<int32_t> state;
  /// The file written, or for Directory the folder the files go to.
  std::string out;
  /// Directory only: each file's name starts with this, the character file's name without its
  /// extension.
  std::string name;
  /// Directory only: the files' format.
  Animation format = Animation::Gif;
  /// GIF only: how colours beyond 256 are mixed.
  std::optional<Dither> dither;
  /// Every pixel enlarged to a block of scale × scale, 1 to 8.
  int32_t scale = 1;
};

/// Called after each step of an export with the steps done and the steps in all (a frame
/// drawn, a file written). What it throws ends the export there; ExportCancelled says the
/// user asked.
using ExportProgress = std::function<void(int64_t done, int64_t total)>;

/// The states an all-state export takes: those a button selects that have entries, by number.
std::vector<int32_t> statesWithEntries(const Character& character);

/// The character file's base name without its extension, the start of each file a folder
/// export writes.
std::string characterName(const std::string& characterFile);

/// The files `job` writes for `character`, in the order it writes them.
std::vector<std::string> exportDestinations(const Character& character, const ExportJob& job);

/// Those of `destinations` that are the character file or its sheet: an export never writes
/// over what it shows.
std::vector<std::string> sourcesAmong(const std::vector<std::string>& destinations,
                                      const std::string& characterFile, const Character& character);

/// Plays the session's character without a window and writes what `job` asks for; an existing
/// file is replaced only as `replace` allows. `written` is told each file once it is in place.
/// A folder that does not exist is made. Throws ExportError, FileWriteError (FileExistsError),
/// and what the player throws; a file is written whole or not at all.
void runExport(HeadlessSession& session, const ExportJob& job, Replace replace,
               const ExportProgress& progress,
               const std::function<void(const std::string& path)>& written);

}  // namespace exporting
}  // namespace patapata
