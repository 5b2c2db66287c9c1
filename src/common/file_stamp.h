#pragma once

#include <cstdint>
#include <string>

namespace patapata {

/// A sheet file's stamp: its full-resolution modification time together with its size, so
/// that a second save within the same second, or a file still growing, reads as a change.
/// Stamps are only compared for equality.
struct FileStamp {
  int64_t modified = 0;  ///< nanoseconds since the file clock's epoch
  int64_t size = 0;      ///< bytes

  /// The stamp of a name that is no file (missing, or a directory).
  static constexpr FileStamp missing() { return FileStamp{-1, -1}; }
  bool isMissing() const { return *this == missing(); }

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// The stamp of `path` (bytes, as the file system takes them).
FileStamp fileStamp(const std::string& path);

}  // namespace patapata
