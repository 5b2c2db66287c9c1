#include "surfaces/bitmap_pixels.h"

#include "common/errors.h"
#include "common/file_read.h"
#include "common/memory_advice.h"
#include "surfaces/image_conversion.h"
#include "surfaces/pixel_buffer.h"
#include "surfaces/pixel_rows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace patapata {

namespace {

// A run-length picture up to this size may be sparse (end-of-line and delta codes leave
// pixels out), so its size is not held to the amount of run-length data.
constexpr int64_t kSparseRlePixels = int64_t{1} << 20;

uint32_t readLe(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

// The masks of a plain 32-bit pixel, whose low three bytes are already 0x00RRGGBB.
constexpr std::array<uint32_t, 3> kXrgbMasks{0x00FF0000, 0x0000FF00, 0x000000FF};

using ColorLut = std::array<uint32_t, 256>;

ColorLut colorLut(const std::vector<uint32_t>& palette) {
  ColorLut lut{};  // indices past the palette are black
  std::copy_n(palette.begin(), std::min<std::size_t>(palette.size(), lut.size()), lut.begin());
  return lut;
}

// Unpacks one row of 1- or 4-bit palette indices, the leftmost pixel in the high bits.
void indexRow(const uint8_t* src, uint8_t* out, int32_t w, uint16_t bitCount) {
  if (bitCount == 1) {
    for (int32_t x = 0; x < w; ++x) out[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    return;
  }
  for (int32_t x = 0; x < w; ++x) {
    const uint8_t b = src[x >> 1];
    out[x] = (x & 1) == 0 ? b >> 4 : b & 0x0F;
  }
}

// Decodes one row of 16-, 24- or 32-bit pixels into colours.
void decodeRow(const uint8_t* src, uint32_t* out, const BitmapLayout& layout,
               const std::array<ColourChannel, 3>& channels) {
  const int32_t w = layout.width;
  switch (layout.bitCount) {
    case 24:
      pixel_rows::bgrToXrgb8888(src, w, reinterpret_cast<uint8_t*>(out));
      break;
    case 32:
      if (std::endian::native == std::endian::little && layout.masks == kXrgbMasks) {
        for (int32_t x = 0; x < w; ++x, src += 4) {
          uint32_t v;
          std::memcpy(&v, src, 4);
          out[x] = v & 0x00FFFFFF;
        }
        break;
      }
      [[fallthrough]];
    case 16: {
      const int bytes = layout.bitCount / 8;
      for (int32_t x = 0; x < w; ++x, src += bytes) {
        const uint32_t p = readLe(src, bytes);
        out[x] = (channels[0].widen(p) << 16) | (channels[1].widen(p) << 8) | channels[2].widen(p);
      }
      break;
    }
    default:
      break;
  }
}

// Builds the picture row by row in picture order through a row buffer that stays in the
// cache, so its memory is written once (resizing first would clear it all beforehand).
template <typename Pixel, typename DecodeRow>
std::vector<Pixel> decodeRows(const BitmapLayout& layout, DecodeRow decodeRow) {
  const auto w = static_cast<std::size_t>(layout.width);
  std::vector<Pixel> pixels;
  pixels.reserve(w * static_cast<std::size_t>(layout.height));
  adviseHugePages(pixels.data(), pixels.capacity() * sizeof(Pixel));
  std::vector<Pixel> row(w);
  for (int32_t outRow = 0; outRow < layout.height; ++outRow) {
    decodeRow(layout.topDown ? outRow : layout.height - 1 - outRow, row.data());
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  return pixels;
}

// Writes a picture stored in colours straight into `display`, laid out as a surface lays out
// its rows: one pass over the file's pixels and one over the memory of the result. 24-bit
// rows go through the vector conversions; other depths through a row of colours that stays in
// the cache. `rowAt` is asked for the file's rows in the file's order.
template <typename RowAt>
DecodedImage colourPictureFor(const BitmapLayout& layout, const PixelFormat& display, RowAt rowAt) {
  const std::array<ColourChannel, 3> channels{ColourChannel(layout.masks[0]),
                                              ColourChannel(layout.masks[1]),
                                              ColourChannel(layout.masks[2])};
  DecodedImage image;
  image.width = layout.width;
  image.height = layout.height;
  const int32_t pitch = display.surfacePitch(layout.width);
  const auto used = static_cast<std::size_t>(layout.width) * display.bytesPerPixel();
  image.raw = PixelBuffer::forOverwrite(static_cast<std::size_t>(pitch) *
                                        static_cast<std::size_t>(layout.height));
  image.rawFormat = display;
  image.rawPitch = pitch;
  const bool bgrToXrgb = layout.bitCount == 24 && display == PixelFormat::xrgb8888();
  const bool bgrTo565 = layout.bitCount == 24 && display == PixelFormat::rgb565();
  std::vector<uint32_t> colours(bgrToXrgb || bgrTo565 ? 0 : static_cast<std::size_t>(layout.width));
  for (int32_t fileRow = 0; fileRow < layout.height; ++fileRow) {
    const uint8_t* src = rowAt(fileRow);
    const int32_t outRow = layout.topDown ? fileRow : layout.height - 1 - fileRow;
    uint8_t* out = image.raw.data() + static_cast<std::ptrdiff_t>(outRow) * pitch;
    if (bgrToXrgb) {
      pixel_rows::bgrToXrgb8888(src, layout.width, out);
    } else if (bgrTo565) {
      pixel_rows::bgrToRgb565(src, layout.width, out);
    } else {
      decodeRow(src, colours.data(), layout, channels);
      writeColourRow(colours.data(), layout.width, display, out);
    }
    std::memset(out + used, 0, static_cast<std::size_t>(pitch) - used);
  }
  return image;
}

// The bytes of one row of uncompressed pixel data, padding included, and without it.
int64_t rowStride(const BitmapLayout& layout) {
  return (int64_t{layout.width} * layout.bitCount + 31) / 32 * 4;
}
int64_t rowBytes(const BitmapLayout& layout) {
  return (int64_t{layout.width} * layout.bitCount + 7) / 8;
}

// Uncompressed pixel data must be there whole, except that the last row's padding may be
// missing.
void requireUncompressedData(const BitmapLayout& layout, uint64_t fileSize) {
  const int64_t needed = rowStride(layout) * (layout.height - 1) + rowBytes(layout);
  if (layout.offBits > fileSize || static_cast<int64_t>(fileSize - layout.offBits) < needed) {
    throw Error(MessageId::StreamReadError);
  }
}

void requireDecodableSize(const BitmapLayout& layout, MessageId invalidMessage) {
  const int64_t pixels = int64_t{layout.width} * layout.height;
  if (layout.width <= 0 || layout.height <= 0 || pixels > kMaxBitmapPixels) {
    throw Error(invalidMessage);
  }
}

DecodedImage decodeUncompressed(std::span<const uint8_t> file, const BitmapLayout& layout,
                                const PixelFormat* display) {
  requireUncompressedData(layout, file.size());
  const int64_t w = layout.width;
  const int64_t h = layout.height;
  const int64_t stride = rowStride(layout);
  DecodedImage image;
  image.width = layout.width;
  image.height = layout.height;
  const uint8_t* base = file.data() + layout.offBits;
  const auto rowAt = [&](int32_t r) { return base + r * stride; };
  if (layout.bitCount == 8) {
    // The rows already are the indices: one copy each, straight from the file.
    image.palette = colorLut(layout.palette);
    image.indices.reserve(static_cast<std::size_t>(w * h));
    for (int32_t outRow = 0; outRow < layout.height; ++outRow) {
      const uint8_t* src = rowAt(layout.topDown ? outRow : layout.height - 1 - outRow);
      image.indices.insert(image.indices.end(), src, src + w);
    }
    return image;
  }
  if (layout.bitCount == 1 || layout.bitCount == 4) {
    image.palette = colorLut(layout.palette);
    image.indices = decodeRows<uint8_t>(layout, [&](int32_t r, uint8_t* out) {
      indexRow(rowAt(r), out, layout.width, layout.bitCount);
    });
    return image;
  }
  if (display != nullptr) return colourPictureFor(layout, *display, rowAt);
  const std::array<ColourChannel, 3> channels{ColourChannel(layout.masks[0]),
                                              ColourChannel(layout.masks[1]),
                                              ColourChannel(layout.masks[2])};
  image.pixels = decodeRows<uint32_t>(
      layout, [&](int32_t r, uint32_t* out) { decodeRow(rowAt(r), out, layout, channels); });
  return image;
}

// Run-length data: pairs (count, value) repeat a value; (0, 0) ends the line, (0, 1) the
// picture, (0, 2, dx, dy) moves right and up, (0, n) gives n literal pixels padded to a
// 16-bit boundary. Rows run bottom-up. Anything past the row or the picture is dropped.
DecodedImage decodeRunLength(std::span<const uint8_t> file, const BitmapLayout& layout) {
  const bool four = layout.compression == kBiRle4;
  const int64_t w = layout.width;
  const int64_t h = layout.height;
  DecodedImage image;
  image.width = layout.width;
  image.height = layout.height;
  image.palette = colorLut(layout.palette);
  image.indices.assign(static_cast<std::size_t>(w * h), 0);

  std::size_t p = layout.offBits;
  const std::size_t end = file.size();
  int64_t x = 0;
  int64_t y = 0;  // counted from the bottom row
  // Pixel `i` of 4-bit literal data, the first in the high bits.
  const auto nibble = [](const uint8_t* src, int64_t i) {
    return static_cast<uint8_t>((i & 1) == 0 ? src[i / 2] >> 4 : src[i / 2] & 0x0F);
  };
  // Where the next `n` pixels go, and how many of them fall inside the row.
  const auto inRow = [&](int64_t n) { return std::clamp<int64_t>(w - x, 0, n); };
  const auto at = [&] { return image.indices.data() + (h - 1 - y) * w + x; };
  while (y < h && end - p >= 2) {
    const uint8_t count = file[p];
    const uint8_t value = file[p + 1];
    p += 2;
    if (count > 0) {
      if (const int64_t n = inRow(count); n > 0) {
        uint8_t* out = at();
        if (four) {
          // A run alternates the two halves of its byte, the high one first.
          for (int64_t i = 0; i < n; ++i) out[i] = nibble(&value, i & 1);
        } else {
          std::memset(out, value, static_cast<std::size_t>(n));
        }
      }
      x += count;
      continue;
    }
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (end - p < 2) break;
      x += file[p];
      y += file[p + 1];
      p += 2;
    } else {
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      const std::size_t available = std::min(bytes, end - p);
      // A literal cut short by the end of the file gives the pixels it holds.
      const int64_t given = four ? std::min<int64_t>(value, 2 * static_cast<int64_t>(available))
                                 : static_cast<int64_t>(available);
      if (const int64_t n = inRow(given); n > 0) {
        uint8_t* out = at();
        const uint8_t* src = file.data() + p;
        if (four) {
          for (int64_t i = 0; i < n; ++i) out[i] = nibble(src, i);
        } else {
          std::memcpy(out, src, static_cast<std::size_t>(n));
        }
      }
      x += given;
      p += std::min(end - p, bytes + (bytes & 1));
    }
  }
  return image;
}

}  // namespace

std::array<uint32_t, 3> defaultBitmapMasks(uint16_t bitCount) {
  if (bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

bool isContiguousMask(uint32_t mask, uint16_t bitCount) {
  if (mask == 0) return true;
  if (bitCount < 32 && (mask >> bitCount) != 0) return false;
  const uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

DecodedImage decodeBitmapPixels(std::span<const uint8_t> file, const BitmapLayout& layout,
                                MessageId invalidMessage, const PixelFormat* display) {
  requireDecodableSize(layout, invalidMessage);
  const int64_t pixels = int64_t{layout.width} * layout.height;
  if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
    if (layout.offBits > file.size()) throw Error(MessageId::StreamReadError);
    // Each two bytes of run-length data give at most 255 pixels (or end a row).
    const int64_t data = static_cast<int64_t>(file.size() - layout.offBits);
    if (pixels > kSparseRlePixels && pixels > (data / 2 + 1) * 255) {
      throw Error(invalidMessage);
    }
    return decodeRunLength(file, layout);
  }
  return decodeUncompressed(file, layout, display);
}

bool decodesInPieces(const BitmapLayout& layout) {
  return layout.compression != kBiRle8 && layout.compression != kBiRle4 && layout.bitCount > 8;
}

DecodedImage decodeBitmapPixelsInPieces(const BitmapLayout& layout, FileReader& file,
                                        MessageId invalidMessage, const PixelFormat& display,
                                        std::size_t pieceBytes) {
  requireDecodableSize(layout, invalidMessage);
  requireUncompressedData(layout, file.size());
  const int64_t stride = rowStride(layout);
  const int64_t rowsPerPiece =
      std::clamp<int64_t>(static_cast<int64_t>(pieceBytes) / stride, 1, layout.height);
  FileBytes piece(static_cast<std::size_t>(rowsPerPiece * stride));
  int32_t first = 0;  // the file's rows in the piece
  int32_t count = 0;
  const auto rowAt = [&](int32_t r) {
    if (r >= first + count) {
      first = r;
      count = static_cast<int32_t>(std::min<int64_t>(rowsPerPiece, layout.height - r));
      const auto wanted = static_cast<std::size_t>(count * stride);
      const uint64_t at = layout.offBits + static_cast<uint64_t>(r * stride);
      // A file cut short since it was measured fails as one cut short before.
      if (static_cast<int64_t>(file.readAt(at, {piece.data(), wanted})) <
          (count - 1) * stride + rowBytes(layout)) {
        throw Error(MessageId::StreamReadError);
      }
    }
    return piece.data() + static_cast<std::ptrdiff_t>(r - first) * stride;
  };
  return colourPictureFor(layout, display, rowAt);
}

BitmapLayout bitmapLayout(const BitmapInfo& info, const std::array<uint32_t, 3>& masks,
                          std::vector<uint32_t> palette) {
  BitmapLayout layout;
  layout.width = info.width;
  layout.height = info.topDown() ? -info.height : info.height;
  layout.topDown = info.topDown();
  layout.bitCount = info.bitCount;
  layout.compression = info.compression;
  layout.offBits = info.offBits;
  layout.palette = std::move(palette);
  layout.masks = masks;
  return layout;
}

}  // namespace patapata
