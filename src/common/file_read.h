#pragma once

#include "common/memory_advice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace patapata {

/// The bytes of a file, read into memory that was not cleared first.
using FileBytes = std::vector<uint8_t, OverwriteAllocator<uint8_t>>;

/// The whole content of a regular file, or nothing when it cannot be opened or read
/// (missing, a directory, no permission).
std::optional<FileBytes> readWholeFile(const std::string& path);

}  // namespace patapata
