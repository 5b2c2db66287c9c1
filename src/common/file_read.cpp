#include "common/file_read.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace patapata {

std::optional<FileBytes> readWholeFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // Read straight into the result, sized for the file as it stands; a file that grows or
  // shrinks while it is read still comes whole.
  const auto expected = std::filesystem::file_size(path, ec);
  FileBytes bytes;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::size_t capacity = ec ? kChunk : static_cast<std::size_t>(expected) + 1;
  for (;;) {
    const std::size_t used = bytes.size();
    bytes.resize(std::max(capacity, used + 1));
    in.read(reinterpret_cast<char*>(bytes.data() + used),
            static_cast<std::streamsize>(bytes.size() - used));
    bytes.resize(used + static_cast<std::size_t>(in.gcount()));
    if (!in) break;
    capacity = bytes.size() + kChunk;
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::optional<FileReader> FileReader::open(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return std::nullopt;
  return FileReader(std::move(in), size);
}

std::size_t FileReader::readAt(uint64_t offset, std::span<uint8_t> out) {
  in_.clear();
  if (!in_.seekg(static_cast<std::streamoff>(offset))) return 0;
  in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<std::size_t>(in_.gcount());
}

}  // namespace patapata
