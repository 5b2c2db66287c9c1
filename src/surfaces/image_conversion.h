#pragma once

#include "surfaces/image.h"
#include "surfaces/lock_description.h"

namespace patapata {

/// Writes `image` into locked surface memory of at least its size, converting each colour to
/// the surface's raw pixel format. An indexed picture converts its 256 colours once and then
/// looks each pixel up; a raw picture in the surface's format is copied as it is.
void writeImage(const DecodedImage& image, const LockDescription& target);

/// Writes `count` 0x00RRGGBB colours as raw little-endian pixels of `format` at `out`.
void writeColourRow(const uint32_t* rgb, int32_t count, const PixelFormat& format, uint8_t* out);

}  // namespace patapata
