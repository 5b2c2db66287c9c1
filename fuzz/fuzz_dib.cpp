// Any bytes as a ".dib" file: the reader decodes them or raises one of its own errors.
#include "common/errors.h"
#include "image_bounds.h"
#include "surfaces/dib_reader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  try {
    const patapata::DecodedImage image = patapata::decodeDib(std::span(data, size));
    patapata::fuzz::checkDecoded(image, patapata::fuzz::describablePixels(size));
    patapata::fuzz::writeDecoded(image);
  } catch (const patapata::Error&) {
    // The reader's own message; anything else escapes and is a finding.
  }
  return 0;
}
