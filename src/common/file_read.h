#pragma once

#include "common/memory_advice.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace patapata {

/// The bytes of a file, read into memory that was not cleared first.
using FileBytes = std::vector<uint8_t, OverwriteAllocator<uint8_t>>;

/// The whole content of a regular file, or nothing when it cannot be opened or read
/// (missing, a directory, no permission).
std::optional<FileBytes> readWholeFile(const std::string& path);

/// A regular file opened for reading in pieces, so that a large one need not be held whole.
class FileReader {
 public:
  /// Nothing when the file cannot be opened (missing, a directory, no permission).
  static std::optional<FileReader> open(const std::string& path);

  /// The file's size when it was opened.
  uint64_t size() const { return size_; }
  /// Reads up to `out.size()` bytes from `offset` on into `out`; returns how many there were
  /// (fewer at the file's end, or when it shrank since it was opened).
  std::size_t readAt(uint64_t offset, std::span<uint8_t> out);

 private:
  FileReader(std::ifstream in, uint64_t size) : in_(std::move(in)), size_(size) {}

  std::ifstream in_;
  uint64_t size_ = 0;
};

}  // namespace patapata
