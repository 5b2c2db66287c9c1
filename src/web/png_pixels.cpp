#include "web/png_pixels.h"

#include "common/errors.h"
#include "surfaces/alpha_key.h"
#include "surfaces/bitmap_pixels.h"
#include "surfaces/png_reader.h"

#include <cstring>
#include <utility>

namespace patapata::web {

namespace {

[[noreturn]] void invalid() {
  throw Error(MessageId::InvalidBitmap);
}

uint32_t bigEndian32(std::span<const uint8_t> bytes, std::size_t at) {
  return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
         (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// The samples per pixel of a colour type, when `depth` is one it has; 0 otherwise.
int channelsOf(int colourType, int depth) {
  const bool upTo8 = depth == 1 || depth == 2 || depth == 4 || depth == 8;
  switch (colourType) {
    case 0:
      return upTo8 || depth == 16 ? 1 : 0;
    case 3:
      return upTo8 ? 1 : 0;
    case 2:
      return depth == 8 || depth == 16 ? 3 : 0;
    case 4:
      return depth == 8 || depth == 16 ? 2 : 0;
    case 6:
      return depth == 8 || depth == 16 ? 4 : 0;
    default:
      return 0;
  }
}

// As much compressed data as the desktop's reader lets a picture inflate from, per byte.
constexpr uint64_t kMaxInflation = 1032;

}  // namespace

int32_t bytesPerPixel(PngPixels::Layout layout) {
  switch (layout) {
    case PngPixels::Layout::Palette:
    case PngPixels::Layout::Grey:
      return 1;
    case PngPixels::Layout::GreyAlpha:
      return 2;
    case PngPixels::Layout::Rgba:
      return 4;
  }
  return 0;
}

void checkPngFile(std::span<const uint8_t> file) {
  static constexpr uint8_t kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  constexpr std::size_t kHeaderEnd = sizeof kStart + 13 + 4;  // IHDR's fields and CRC
  const std::size_t known = std::min(file.size(), sizeof kStart);
  if (known > 0 && std::memcmp(file.data(), kStart, known) != 0) invalid();
  if (file.size() < kHeaderEnd) throw Error(MessageId::PictureCutShort);

  const uint32_t width = bigEndian32(file, 16);
  const uint32_t height = bigEndian32(file, 20);
  const int depth = file[24];
  const int channels = channelsOf(file[25], depth);
  if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide || channels == 0 ||
      file[26] != 0 || file[27] != 0 || file[28] > 1) {
    invalid();
  }
  if (uint64_t{width} * height > static_cast<uint64_t>(kMaxBitmapPixels)) invalid();
  const uint64_t rowBits = uint64_t{width} * static_cast<uint64_t>(channels * depth);
  if (uint64_t{height} * ((rowBits + 7) / 8 + 1) > kMaxInflation * file.size()) invalid();

  // Chunk by chunk to IEND: a file that stops before it is still being written.
  std::size_t at = 8;
  while (true) {
    if (file.size() - at < 8) throw Error(MessageId::PictureCutShort);
    const uint32_t length = bigEndian32(file, at);
    if (length > 0x7FFFFFFFu) invalid();
    if (file.size() - at - 8 < uint64_t{length} + 4) throw Error(MessageId::PictureCutShort);
    if (std::memcmp(file.data() + at + 4, "IEND", 4) == 0) return;
    at += std::size_t{length} + 12;
  }
}

DecodedImage keyPngPixels(PngPixels pixels) {
  if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > static_cast<int32_t>(kMaxPngSide) ||
      pixels.height > static_cast<int32_t>(kMaxPngSide) ||
      int64_t{pixels.width} * pixels.height > kMaxBitmapPixels) {
    invalid();
  }
  const std::size_t count = std::size_t(pixels.width) * std::size_t(pixels.height);
  if (pixels.samples.size() != count * static_cast<std::size_t>(bytesPerPixel(pixels.layout))) {
    invalid();
  }
  if (pixels.layout == PngPixels::Layout::Rgba) {
    return keyRgbaRows(pixels.samples, pixels.width, pixels.height);
  }
  DecodedImage image;
  image.width = pixels.width;
  image.height = pixels.height;
  image.indices = std::move(pixels.samples);
  if (pixels.layout == PngPixels::Layout::Palette) {
    image.palette = pixels.palette;
    if (pixels.hasPaletteAlpha) keyPaletteAlpha(image, pixels.paletteAlpha);
    return image;
  }
  for (uint32_t i = 0; i < 256; ++i) image.palette[i] = i * 0x010101u;
  if (pixels.layout == PngPixels::Layout::GreyAlpha) keyGreyAlpha(image);
  return image;
}

}  // namespace patapata::web
