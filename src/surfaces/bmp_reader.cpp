#include "surfaces/bmp_reader.h"

#include "common/errors.h"

namespace patapata {

DecodedImage decodeBmp(std::span<const uint8_t> file) {
  if (file.empty()) return {};
  throw EInvalidGraphic("not yet");
}

}  // namespace patapata
