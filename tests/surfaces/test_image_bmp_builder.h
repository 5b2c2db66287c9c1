#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Writes BMP files byte by byte for the tests, lies included: every field can be set.
namespace patapata::testing {

struct BmpSpec {
  std::string type = "BM";
  uint32_t headerSize = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  /// Written as the header's colour count (when the header reaches it); the table written is
  /// `palette` whatever it says.
  std::optional<uint32_t> colorsUsed;
  /// 0x00RRGGBB entries of the colour table.
  std::vector<uint32_t> palette;
  /// Written after a 40-byte header, or inside a larger one, when set.
  std::optional<std::vector<uint32_t>> masks;
  /// The pixel data exactly as it lands in the file.
  std::vector<uint8_t> data;
  /// Overrides the pixel data offset.
  std::optional<uint32_t> offBits;
};

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> makeBmp(const BmpSpec& s) {
  std::vector<uint8_t> info;
  put32(info, s.headerSize);
  if (s.headerSize == 12) {
    put16(info, static_cast<uint32_t>(s.width));
    put16(info, static_cast<uint32_t>(s.height));
    put16(info, s.planes);
    put16(info, s.bitCount);
  } else {
    put32(info, static_cast<uint32_t>(s.width));
    put32(info, static_cast<uint32_t>(s.height));
    put16(info, s.planes);
    put16(info, s.bitCount);
    put32(info, s.compression);
    put32(info, static_cast<uint32_t>(s.data.size()));
    put32(info, 2835);
    put32(info, 2835);
    put32(info, s.colorsUsed.value_or(static_cast<uint32_t>(s.palette.size())));
    put32(info, 0);
    if (s.masks) {
      for (const uint32_t m : *s.masks) put32(info, m);
    }
    while (info.size() < s.headerSize) info.push_back(0);
    // An OS/2 2.x header of 16 to 39 bytes ends where its size says.
    if (s.headerSize >= 16 && s.headerSize < 40) info.resize(s.headerSize);
  }
  std::vector<uint8_t> table;
  for (const uint32_t c : s.palette) {
    table.push_back(static_cast<uint8_t>(c));
    table.push_back(static_cast<uint8_t>(c >> 8));
    table.push_back(static_cast<uint8_t>(c >> 16));
    if (s.headerSize != 12) table.push_back(0);
  }
  const auto offBits = static_cast<uint32_t>(14 + info.size() + table.size());
  std::vector<uint8_t> out;
  out.insert(out.end(), s.type.begin(), s.type.end());
  put32(out, static_cast<uint32_t>(offBits + s.data.size()));
  put32(out, 0);
  put32(out, s.offBits.value_or(offBits));
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), s.data.begin(), s.data.end());
  return out;
}

/// An uncompressed 24- or 32-bit picture from 0x00RRGGBB colours given top-down.
inline std::vector<uint8_t> makeTrueColorBmp(int32_t width, int32_t height,
                                             const std::vector<uint32_t>& topDown,
                                             uint16_t bitCount = 24) {
  BmpSpec s;
  s.width = width;
  s.height = height;
  s.bitCount = bitCount;
  const int32_t bytes = bitCount / 8;
  const int32_t stride = (width * bytes + 3) / 4 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    const std::size_t start = s.data.size();
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t c = topDown[static_cast<std::size_t>(y) * width + x];
      s.data.push_back(static_cast<uint8_t>(c));
      s.data.push_back(static_cast<uint8_t>(c >> 8));
      s.data.push_back(static_cast<uint8_t>(c >> 16));
      if (bytes == 4) s.data.push_back(0);
    }
    while (s.data.size() - start < static_cast<std::size_t>(stride)) s.data.push_back(0);
  }
  return makeBmp(s);
}

}  // namespace patapata::testing
