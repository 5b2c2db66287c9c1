#pragma once

#include <string>
#include <string_view>

// Where a character file's sprite sheet lies. Paths are byte strings as the file system
// takes them; names written on Windows may use "\" and any mix of case.
namespace patapata {

/// The directory part of a character file's path: everything up to and including its last
/// "/"; empty for a bare file name, which looks in the current directory.
std::string characterDirectory(std::string_view characterFile);

/// A "#CHARBMP" name with every "\" that separates components turned into "/". A "\" that
/// is the second byte of a Shift-JIS double-byte character is part of that character.
std::string sheetNameAsPath(std::string_view sheetName);

/// The sheet path as composed from the character file's directory and the sheet's name.
std::string composeSheetPath(std::string_view characterFile, std::string_view sheetName);

/// `path` when it exists; otherwise the path whose components match those of `path`
/// without regard to case (a–z), each in its folder, when there is one; otherwise `path`.
/// When several entries of a folder match, the first in byte order is taken.
std::string matchPathIgnoringCase(const std::string& path);

/// The sheet path a "#CHARBMP" line loads: composed, then matched without regard to case.
/// A name that is not valid UTF-8 and is not found as written is tried again converted from
/// Shift-JIS to UTF-8. When nothing is found, the composed path.
std::string resolveSheetPath(std::string_view characterFile, std::string_view sheetName);

}  // namespace patapata
