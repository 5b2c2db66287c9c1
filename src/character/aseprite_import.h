#pragma once

#include "character/character.h"
#include "common/errors.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Turns the JSON that Aseprite writes beside an exported sprite sheet into a character file.
// Every frame rectangle becomes a cel from cel 2 on (cel 1 is the view's opaque background and
// stays undefined, so the background is black), and every tag that names a state becomes that
// state's sequence, its frame durations expressed as repetitions of one frame interval.
namespace patapata {

/// An explicit TAG=STATE: the tag named exactly `tag` plays as `state` (0..30), whatever its
/// name would give.
struct TagMapping {
  std::string tag;
  int32_t state = 0;

  friend bool operator==(const TagMapping&, const TagMapping&) = default;
};

struct AsepriteOptions {
  /// The JSON file's path: its folder resolves `meta.image`, its name without extension names
  /// the character. Need not exist.
  std::filesystem::path jsonFile;
  /// The folder the character file will be written to, which `#CHARBMP` is relative to; empty
  /// for the JSON file's folder.
  std::filesystem::path outputFolder;
  /// Milliseconds per frame; without it, the greatest common divisor of the played frames'
  /// durations, at least 10.
  std::optional<int32_t> intervalMs;
  /// Applied before the names; the first mapping of a tag counts.
  std::vector<TagMapping> mappings;
  /// Whether the sheet exists; when null it is not checked. A missing sheet is a warning.
  std::function<bool(const std::filesystem::path&)> fileExists;
  /// Merges frames whose pictures are alike although their rectangles differ (a sheet exported
  /// without merging duplicates): given the sheet and its distinct rectangles in frame order, it
  /// gives for each the index of the first rectangle showing the same pixels, its own index
  /// when none does. When null, only equal rectangles share a cel.
  std::function<std::vector<std::size_t>(const std::filesystem::path& sheet,
                                         std::span<const CelRect> rects)>
      samePictures;
};

struct AsepriteImport {
  std::string characterText;        ///< the character file, UTF-8, LF line ends
  std::filesystem::path sheetPath;  ///< `meta.image` resolved against the JSON file's folder
  std::vector<Message> warnings;
};

/// The largest frame interval an option may give, in milliseconds (also the longest frame).
inline constexpr int32_t kMaxAsepriteMs = 3'600'000;
/// The JSON file size `importAsepriteFile` reads, in bytes.
inline constexpr std::int64_t kMaxAsepriteJsonBytes = std::int64_t{64} << 20;

/// The character file for an Aseprite sheet's JSON text. Throws Error when the
/// text is no sprite-sheet JSON or describes what a character file cannot hold; the error
/// names the JSON member at fault, e.g. `frames[3].frame.w`. Touches no file except through
/// `options.fileExists`.
AsepriteImport importAseprite(std::string_view jsonText, const AsepriteOptions& options);

/// `importAseprite` of the file `jsonFile` (which replaces `options.jsonFile`). Throws
/// Error also when the file cannot be read or is larger than
/// kMaxAsepriteJsonBytes.
AsepriteImport importAsepriteFile(const std::filesystem::path& jsonFile, AsepriteOptions options);

/// The state a tag name selects, ignoring case, blanks, '_' and '-', and the width of ASCII
/// and katakana: its number (`6`), its English meaning (`joy 1`, `Joy1`), its button caption
/// or its state caption (`ﾀﾞﾒｰｼﾞ１`, `ダメージ1`). Only states a button selects; never the
/// pattern-check state 30.
std::optional<int32_t> stateForTagName(std::string_view name);

/// "TAG=STATE", split at the last '='; STATE is a number 0..30 or what `stateForTagName`
/// takes. Throws Error (BadMapping) otherwise.
TagMapping parseTagMapping(std::string_view text);

}  // namespace patapata
