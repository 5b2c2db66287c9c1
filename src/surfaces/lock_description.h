#pragma once

#include "surfaces/pixel_format.h"

#include <cstdint>

namespace patapata {

/// What a lock hands out: the address of the locked area's first pixel, the distance between
/// rows in bytes, and the pixels' format.
struct LockDescription {
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  PixelFormat format;
};

}  // namespace patapata
