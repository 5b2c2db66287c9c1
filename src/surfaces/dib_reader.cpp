#include "surfaces/dib_reader.h"

#include "common/errors.h"

namespace patapata {

DecodedImage decodeDib(std::span<const uint8_t> file) {
  if (file.empty()) return {};
  throw EInvalidGraphic("not yet");
}

}  // namespace patapata
