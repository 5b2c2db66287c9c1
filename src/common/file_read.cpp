#include "common/file_read.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace patapata {

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace patapata
