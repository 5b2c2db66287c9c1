// Any bytes as a ".png" file: the reader decodes them or raises its own error. The chunk CRCs
// are made right first, so that changed bytes reach libpng's decoding and the reader's own
// checks instead of all failing at the first CRC; damaged CRCs are the hostile corpus's part.
#include "common/errors.h"
#include "image_bounds.h"
#include "support/png_chunks.h"
#include "surfaces/png_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<uint8_t> file(data, data + size);
  patapata::testing::fixPngChunkCrcs(file);
  try {
    const patapata::DecodedImage image = patapata::decodePng(file);
    patapata::fuzz::checkDecoded(image, patapata::fuzz::describablePngPixels(size));
    patapata::fuzz::writeDecoded(image);
  } catch (const patapata::Error&) {
    // The reader's own message; anything else escapes and is a finding.
  }
  return 0;
}
