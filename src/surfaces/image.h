#pragma once

#include <cstdint>
#include <vector>

namespace patapata {

/// A decoded picture: colours 0x00RRGGBB, rows top-down, width × height entries.
struct DecodedImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

}  // namespace patapata
