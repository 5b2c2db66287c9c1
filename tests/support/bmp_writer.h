#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace patapata::testing {

/// The bytes of a bottom-up 24-bit BMP file; `pixel(x, y)` gives 0x00RRGGBB, y counted from
/// the top.
template <typename PixelFn>
std::string bmp24Bytes(int32_t width, int32_t height, PixelFn pixel) {
  const int32_t stride = (width * 3 + 3) / 4 * 4;
  const auto imageSize = static_cast<uint32_t>(stride * height);
  std::string bytes;
  auto put16 = [&](uint32_t v) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  bytes += "BM";
  put32(14 + 40 + imageSize);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(imageSize);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int32_t row = height - 1; row >= 0; --row) {
    std::string line;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t rgb = pixel(x, row);
      line += static_cast<char>(rgb & 0xFF);
      line += static_cast<char>((rgb >> 8) & 0xFF);
      line += static_cast<char>((rgb >> 16) & 0xFF);
    }
    line.resize(static_cast<std::size_t>(stride), '\0');
    bytes += line;
  }
  return bytes;
}

/// Writes `bytes` as the whole file; true when it was written.
inline bool writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

}  // namespace patapata::testing
