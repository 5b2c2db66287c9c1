#pragma once

#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// Files on disk for the file-intake tests: a private temporary folder, character files and
// 24-bit sprite sheets written byte by byte.
namespace patapata::testfiles {

using testing::TempDir;

inline void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

/// A bottom-up 24-bit BMP of width × height in `fill` (0xRRGGBB) whose bottom-right pixel is
/// `corner`.
inline std::string bmp24(int32_t width, int32_t height, uint32_t fill, uint32_t corner) {
  return testing::bmp24Bytes(width, height, [&](int32_t x, int32_t y) {
    return x == width - 1 && y == height - 1 ? corner : fill;
  });
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
