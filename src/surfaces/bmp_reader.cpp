#include "surfaces/bmp_reader.h"

#include "common/errors.h"
#include "common/file_read.h"
#include "surfaces/bitmap_header.h"
#include "surfaces/bitmap_pixels.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace patapata {

namespace {

[[noreturn]] void invalid() {
  throw Error(MessageId::InvalidBitmap);
}

bool acceptedHeaderSize(uint32_t size) {
  // Core, information, OS/2 2.x, and the V2, V3, V4 and V5 information headers.
  if (size == kCoreHeaderSize || size == kInfoHeaderSize || size == kOs2InfoHeaderSize ||
      size == 52 || size == 56 || size == 108 || size == 124) {
    return true;
  }
  // An OS/2 2.x header may also stop after any field it shares with the information header:
  // 16 to 36 bytes, all of them 4-byte steps. Past 40 bytes only OS/2's own fields could be
  // cut, which say nothing this reader uses, and sizes there (52, 56) name Windows headers; no
  // writer is known to cut there, so a size between 40 and 64 is taken for a damaged header.
  return size >= kOs2MinHeaderSize && size < kInfoHeaderSize && size % 4 == 0;
}

bool acceptedCompression(const BitmapInfo& info) {
  const uint16_t bitCount = info.bitCount;
  // OS/2 2.x gives code 3 to Huffman 1D, not to bit fields.
  if (info.isOs2Info() && info.compression == kBiBitfields) return false;
  switch (info.compression) {
    case kBiRgb:
      return true;
    case kBiRle8:
      return bitCount == 8;
    case kBiRle4:
      return bitCount == 4;
    case kBiBitfields:
      return bitCount == 16 || bitCount == 32;
    default:
      return false;
  }
}

// The checked headers of a file that is not empty.
BitmapLayout readLayout(std::span<const uint8_t> file) {
  BitmapInfo info = readBitmapFileHeader(file);
  if (!info.typeIsBM) invalid();
  readBitmapHeaderSize(file, info);
  if (!acceptedHeaderSize(info.headerSize)) invalid();
  readBitmapInfoHeader(file, info);

  const uint16_t bpp = info.bitCount;
  if (info.planes != 1) invalid();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) invalid();
  if (!acceptedCompression(info)) invalid();
  if (info.width <= 0 || info.height == 0 || info.height == INT_MIN) invalid();
  const bool runLength = info.compression == kBiRle8 || info.compression == kBiRle4;
  if (runLength && info.topDown()) invalid();  // run-length pictures are bottom-up only

  std::array<uint32_t, 3> masks = defaultBitmapMasks(bpp);
  std::size_t headersEnd = kFileHeaderSize + info.headerSize;
  if (info.compression == kBiBitfields) {
    headersEnd = readBitFields(file, info);
    for (const uint32_t mask : info.masks) {
      if (!isContiguousMask(mask, bpp)) invalid();
    }
    masks = info.masks;
  }
  std::vector<uint32_t> palette = readColorTable(file, info, headersEnd);
  if (info.offBits < headersEnd) invalid();
  return bitmapLayout(info, masks, std::move(palette));
}

DecodedImage decode(std::span<const uint8_t> file, const PixelFormat* display) {
  if (file.empty()) return {};
  return decodeBitmapPixels(file, readLayout(file), MessageId::InvalidBitmap, display);
}

}  // namespace

DecodedImage decodeBmp(std::span<const uint8_t> file) {
  return decode(file, nullptr);
}

DecodedImage decodeBmpForDisplay(std::span<const uint8_t> file, const PixelFormat& display) {
  return decode(file, &display);
}

std::optional<DecodedImage> decodeBmpFileForDisplay(const std::string& path,
                                                    const PixelFormat& display,
                                                    std::size_t pieceBytes) {
  auto file = FileReader::open(path);
  if (!file) return std::nullopt;
  // The headers come first and are small. A file these bytes do not describe (cut short, or
  // wrong) is read whole and decoded as it always was, so that it fails as it always did.
  constexpr std::size_t kHeadBytes = std::size_t{64} << 10;
  FileBytes head(static_cast<std::size_t>(std::min<uint64_t>(file->size(), kHeadBytes)));
  head.resize(file->readAt(0, head));
  if (head.empty()) return std::nullopt;
  std::optional<BitmapLayout> layout;
  try {
    layout = readLayout(head);
  } catch (const Error&) {
    return std::nullopt;
  }
  if (!decodesInPieces(*layout)) return std::nullopt;
  return decodeBitmapPixelsInPieces(*layout, *file, MessageId::InvalidBitmap, display, pieceBytes);
}

}  // namespace patapata
