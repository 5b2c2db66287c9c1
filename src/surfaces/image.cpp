#include "surfaces/image.h"

#include <cstddef>

namespace patapata {

std::vector<uint32_t> DecodedImage::rgb() const {
  if (!indexed()) return pixels;
  std::vector<uint32_t> colours(indices.size());
  for (std::size_t i = 0; i < indices.size(); ++i) colours[i] = palette[indices[i]];
  return colours;
}

}  // namespace patapata
