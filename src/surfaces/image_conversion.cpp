#include "surfaces/image_conversion.h"

#include "surfaces/pixel_rows.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

namespace patapata {

namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

void storeRaw(uint8_t* out, uint32_t raw, int32_t bytes) {
  for (int32_t b = 0; b < bytes; ++b) out[b] = static_cast<uint8_t>(raw >> (8 * b));
}

// Looks up `count` palette indices in `raw`, the palette already in the surface's format.
// Eight indices come in one load and go out two or four pixels to a store: a plain lookup per
// pixel is held back by its loads and stores, not by the memory it writes.
template <typename Raw>
void lookUpRow(const uint8_t* indices, int32_t count, const std::array<uint32_t, 256>& raw,
               uint8_t* out) {
  constexpr int kPerWord = 8 / sizeof(Raw);
  constexpr int kBits = 8 * sizeof(Raw);
  int32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    uint64_t eight;
    std::memcpy(&eight, indices + x, 8);
#pragma GCC unroll 8
    for (int w = 0; w < 8; w += kPerWord) {
      uint64_t word = 0;
#pragma GCC unroll 8
      for (int i = 0; i < kPerWord; ++i) {
        word |= uint64_t{static_cast<Raw>(raw[(eight >> (8 * (w + i))) & 0xFF])} << (kBits * i);
      }
      std::memcpy(out + (x + w) * sizeof(Raw), &word, 8);
    }
  }
  for (; x < count; ++x) {
    const auto value = static_cast<Raw>(raw[indices[x]]);
    std::memcpy(out + x * sizeof(Raw), &value, sizeof(Raw));
  }
}

// Writes `count` palette indices through `raw`, the palette already in the surface's format.
void convertIndexRow(const uint8_t* indices, int32_t count, const std::array<uint32_t, 256>& raw,
                     int32_t bytes, uint8_t* out) {
  if (kLittleEndian && bytes == 4) {
    lookUpRow<uint32_t>(indices, count, raw, out);
  } else if (kLittleEndian && bytes == 2) {
    lookUpRow<uint16_t>(indices, count, raw, out);
  } else {
    for (int32_t x = 0; x < count; ++x, out += bytes) storeRaw(out, raw[indices[x]], bytes);
  }
}

}  // namespace

void writeColourRow(const uint32_t* rgb, int32_t count, const PixelFormat& format, uint8_t* out) {
  if (kLittleEndian && format == PixelFormat::xrgb8888()) {
    std::memcpy(out, rgb, static_cast<std::size_t>(count) * 4);  // already the raw values
    return;
  }
  if (kLittleEndian && format == PixelFormat::rgb565()) {
    pixel_rows::xrgbToRgb565(rgb, count, out);
    return;
  }
  const int32_t bytes = format.bytesPerPixel();
  for (int32_t x = 0; x < count; ++x, out += bytes) storeRaw(out, format.fromRgb(rgb[x]), bytes);
}

void writeImage(const DecodedImage& image, const LockDescription& target) {
  const auto width = static_cast<std::size_t>(image.width);
  if (image.isRaw()) {
    const int32_t bytes = image.rawFormat.bytesPerPixel();
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < image.height; ++y) {
      const uint8_t* row = image.raw.data() + static_cast<std::ptrdiff_t>(y) * image.rawPitch;
      uint8_t* out = target.bits + static_cast<std::ptrdiff_t>(y) * target.pitch;
      if (image.rawFormat == target.format) {
        std::memcpy(out, row, width * static_cast<std::size_t>(bytes));
        continue;
      }
      colours.resize(width);
      for (std::size_t x = 0; x < width; ++x) {
        colours[x] = image.rawFormat.toRgb(pixel_rows::scalar::load(row + x * bytes, bytes));
      }
      writeColourRow(colours.data(), image.width, target.format, out);
    }
    return;
  }
  if (image.indexed()) {
    std::array<uint32_t, 256> raw{};
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = target.format.fromRgb(image.palette[i]);
    const int32_t bytes = target.format.bytesPerPixel();
    for (int32_t y = 0; y < image.height; ++y) {
      convertIndexRow(image.indices.data() + static_cast<std::size_t>(y) * width, image.width, raw,
                      bytes, target.bits + static_cast<std::ptrdiff_t>(y) * target.pitch);
    }
    return;
  }
  for (int32_t y = 0; y < image.height; ++y) {
    writeColourRow(image.pixels.data() + static_cast<std::size_t>(y) * width, image.width,
                   target.format, target.bits + static_cast<std::ptrdiff_t>(y) * target.pitch);
  }
}

}  // namespace patapata
