#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace patapata::testing {

/// Rewrites the CRC of every whole chunk after the 8-byte PNG signature, so that a changed
/// byte reaches the decoding instead of failing the chunk's check. Stops at the first chunk
/// that runs past the end of the file.
inline void fixPngChunkCrcs(std::vector<uint8_t>& file) {
  std::size_t at = 8;
  while (file.size() >= 12 && at <= file.size() - 12) {
    const uint32_t length = (uint32_t{file[at]} << 24) | (uint32_t{file[at + 1]} << 16) |
                            (uint32_t{file[at + 2]} << 8) | file[at + 3];
    if (length > file.size() - at - 12) return;
    const auto crc =
        static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), file.data() + at + 4, length + 4));
    const std::size_t end = at + 8 + length;
    for (int i = 0; i < 4; ++i) file[end + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at = end + 4;
  }
}

}  // namespace patapata::testing
