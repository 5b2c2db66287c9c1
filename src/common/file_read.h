#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace patapata {

/// The whole content of a regular file, or nothing when it cannot be opened or read
/// (missing, a directory, no permission).
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path);

}  // namespace patapata
