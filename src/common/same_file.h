#pragma once

#include <string>

namespace patapata {

/// Whether two paths name one file: the same file on disk, or, for a file not written yet, the
/// same name once the folders are resolved. An empty path names no file.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace patapata
