#include "surfaces/dib_reader.h"

#include "common/errors.h"
#include "surfaces/bitmap_header.h"
#include "surfaces/bitmap_pixels.h"

#include <bit>
#include <climits>
#include <string>

namespace patapata {

namespace {

[[noreturn]] void invalid() {
  throw Error(MessageId::InvalidDib);
}

// The DIB reader only knows the 5-5-5 and 5-6-5 pixels at 16 bits and 8-8-8 at 32, in any
// position, as long as the channels are contiguous and do not overlap.
bool supportedMasks(const std::array<uint32_t, 3>& masks, uint16_t bitCount) {
  for (const uint32_t mask : masks) {
    if (mask == 0 || !isContiguousMask(mask, bitCount)) return false;
  }
  if ((masks[0] & masks[1]) != 0 || (masks[0] & masks[2]) != 0 || (masks[1] & masks[2]) != 0) {
    return false;
  }
  const int r = std::popcount(masks[0]);
  const int g = std::popcount(masks[1]);
  const int b = std::popcount(masks[2]);
  if (bitCount == 16) return r == 5 && b == 5 && (g == 5 || g == 6);
  return r == 8 && g == 8 && b == 8;
}

DecodedImage decode(std::span<const uint8_t> file, const PixelFormat* display) {
  if (file.empty()) return {};
  BitmapInfo info = readBitmapFileHeader(file);
  if (!info.typeIsBM) invalid();
  readBitmapHeaderSize(file, info);
  if (info.headerSize != kCoreHeaderSize && info.headerSize != kInfoHeaderSize) invalid();
  readBitmapInfoHeader(file, info);

  const uint16_t bpp = info.bitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    throw Error(MessageId::InvalidBitCount, std::to_string(bpp));
  }
  switch (info.compression) {
    case kBiRgb:
      break;
    case kBiRle8:
      if (bpp != 8 || info.topDown()) invalid();
      break;
    case kBiRle4:
      if (bpp != 4 || info.topDown()) invalid();
      break;
    case kBiBitfields:
      if (bpp != 16 && bpp != 32) invalid();
      break;
    default:
      invalid();
  }
  if (info.width <= 0 || info.height == 0 || info.height == INT_MIN) invalid();

  std::array<uint32_t, 3> masks = defaultBitmapMasks(bpp);
  std::size_t headersEnd = kFileHeaderSize + info.headerSize;
  if (info.compression == kBiBitfields) {
    headersEnd = readBitFields(file, info);
    if (!supportedMasks(info.masks, bpp)) {
      throw Error(MessageId::InvalidPixelFormat);
    }
    masks = info.masks;
  }
  std::vector<uint32_t> palette = readColorTable(file, info, headersEnd);
  if (info.offBits < headersEnd) invalid();

  return decodeBitmapPixels(file, bitmapLayout(info, masks, std::move(palette)),
                            MessageId::InvalidDib, display);
}

}  // namespace

DecodedImage decodeDib(std::span<const uint8_t> file) {
  return decode(file, nullptr);
}

DecodedImage decodeDibForDisplay(std::span<const uint8_t> file, const PixelFormat& display) {
  return decode(file, &display);
}

}  // namespace patapata
