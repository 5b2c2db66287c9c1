#pragma once

#include <cstdint>
#include <vector>

// BMP files made in memory for the decoding benchmarks.
namespace patapata::bench {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

/// A file with a 40-byte information header, the palette (0x00RRGGBB entries) and `data` as
/// the pixel bytes.
inline std::vector<uint8_t> bmpFile(int32_t width, int32_t height, uint16_t bits,
                                    uint32_t compression, const std::vector<uint32_t>& palette,
                                    const std::vector<uint8_t>& data) {
  const auto offBits = static_cast<uint32_t>(14 + 40 + 4 * palette.size());
  std::vector<uint8_t> out{'B', 'M'};
  put32(out, offBits + static_cast<uint32_t>(data.size()));
  put32(out, 0);
  put32(out, offBits);
  put32(out, 40);
  put32(out, static_cast<uint32_t>(width));
  put32(out, static_cast<uint32_t>(height));
  put16(out, 1);
  put16(out, bits);
  put32(out, compression);
  put32(out, static_cast<uint32_t>(data.size()));
  put32(out, 2835);
  put32(out, 2835);
  put32(out, static_cast<uint32_t>(palette.size()));
  put32(out, 0);
  for (const uint32_t c : palette) put32(out, c);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace patapata::bench
