#pragma once

#include <cstdint>
#include <string>

namespace patapata {

/// A sheet file's stamp: its full-resolution modification time together with its size, so
/// that a second save within the same second, or a file still growing, reads as a change.
/// Stamps are only compared for equality.
struct FileAge {
  int64_t modified = 0;  ///< nanoseconds since the file clock's epoch
  int64_t size = 0;      ///< bytes

  /// The stamp of a name that is no file (missing, or a directory).
  static constexpr FileAge missing() { return FileAge{-1, -1}; }
  bool isMissing() const { return *this == missing(); }

  friend bool operator==(const FileAge&, const FileAge&) = default;
};

/// The stamp of `path` (bytes, as the file system takes them).
FileAge fileAge(const std::string& path);

}  // namespace patapata
