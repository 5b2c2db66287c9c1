#pragma once

#include "surfaces/image.h"
#include "surfaces/lock_description.h"

namespace patapata {

/// Writes `image` into locked surface memory of at least its size, converting each colour to
/// the surface's raw pixel format. An indexed picture converts its 256 colours once and then
/// looks each pixel up.
void writeImage(const DecodedImage& image, const LockDescription& target);

}  // namespace patapata
