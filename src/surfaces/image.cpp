#include "surfaces/image.h"

#include "surfaces/pixel_rows.h"

#include <cstddef>

namespace patapata {

std::size_t DecodedImage::size() const {
  if (isRaw()) return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  return indexed() ? indices.size() : pixels.size();
}

std::vector<uint32_t> DecodedImage::rgb() const {
  if (isRaw()) {
    std::vector<uint32_t> colours;
    colours.reserve(size());
    const int32_t bytes = rawFormat.bytesPerPixel();
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* row = raw.data() + static_cast<std::ptrdiff_t>(y) * rawPitch;
      for (int32_t x = 0; x < width; ++x) {
        colours.push_back(
            rawFormat.toRgb(pixel_rows::scalar::load(row + std::ptrdiff_t{x} * bytes, bytes)));
      }
    }
    return colours;
  }
  if (!indexed()) return pixels;
  std::vector<uint32_t> colours(indices.size());
  for (std::size_t i = 0; i < indices.size(); ++i) colours[i] = palette[indices[i]];
  return colours;
}

}  // namespace patapata
