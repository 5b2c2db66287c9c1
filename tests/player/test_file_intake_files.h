#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// Files on disk for the file-intake tests: a private temporary folder, character files and
// 24-bit sprite sheets written byte by byte.
namespace patapata::testfiles {

/// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("patapata-intake-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

/// A bottom-up 24-bit BMP of width × height in `fill` (0xRRGGBB) whose bottom-right pixel is
/// `corner`.
inline std::string bmp24(int32_t width, int32_t height, uint32_t fill, uint32_t corner) {
  const int32_t rowBytes = (width * 3 + 3) & ~3;
  const uint32_t imageBytes = static_cast<uint32_t>(rowBytes * height);
  std::string out;
  auto put16 = [&out](uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  auto put32 = [&put16](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out += "BM";
  put32(54 + imageBytes);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(imageBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  // Rows are stored bottom-up, so the bottom-right pixel is the last of the first row.
  for (int32_t row = 0; row < height; ++row) {
    std::string line;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t c = (row == 0 && x == width - 1) ? corner : fill;
      line.push_back(static_cast<char>(c & 0xFF));
      line.push_back(static_cast<char>((c >> 8) & 0xFF));
      line.push_back(static_cast<char>((c >> 16) & 0xFF));
    }
    line.resize(static_cast<std::size_t>(rowBytes), '\0');
    out += line;
  }
  return out;
}

/// A character file naming `sheet` with cel 1 covering the view and a two-frame state 1.
inline std::string characterFile(std::string_view name, std::string_view sheet,
                                 std::string_view interval = "100") {
  std::string out;
  out += "#CHARNAME ";
  out += name;
  out += "\r\n#ANIME ";
  out += interval;
  out += "\r\n#CHARBMP ";
  out += sheet;
  out += "\r\n#1 0 0 121 271\r\n#2 0 0 10 10\r\n#3 10 0 10 10\r\n#PATERN 01 0203\r\n";
  return out;
}

}  // namespace patapata::testfiles
