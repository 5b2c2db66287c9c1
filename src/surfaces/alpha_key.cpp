#include "surfaces/alpha_key.h"

#include "common/errors.h"
#include "surfaces/bitmap_pixels.h"
#include "surfaces/pixel_format.h"
#include "surfaces/png_reader.h"

#include <bitset>
#include <cstddef>
#include <cstring>

namespace patapata {

namespace {

// The key rule's threshold: alpha below it is transparent.
constexpr uint8_t kOpaqueFrom = 128;

// The key is still the bottom-right pixel's raw value once the picture is in a surface, so the
// colour it is given must be one no opaque pixel has there, at either display depth.
using Reductions = std::bitset<65536>;

// As the 5-6-5 display format reduces a colour: each channel keeps its high bits. Two colours
// that differ here differ at 32 bits too.
uint32_t reduced(uint32_t rgb) {
  return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

uint32_t freeKeyColour(uint32_t preferred, const Reductions& opaque) {
  if (!opaque[reduced(preferred)]) return preferred;
  for (uint32_t raw = 0; raw < opaque.size(); ++raw) {
    if (!opaque[raw]) return PixelFormat::rgb565().toRgb(raw);
  }
  return preferred;  // every colour is taken: nothing better to give
}

uint32_t colourAt(const uint8_t* rgba) {
  return (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
}

// Red, green, blue and alpha bytes to 0x00RRGGBB, in place.
void keyColours(std::vector<uint32_t>& pixels) {
  const std::size_t count = pixels.size();
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels.data());
  const uint8_t* corner = bytes + 4 * (count - 1);
  const bool keyed = corner[3] < kOpaqueFrom;
  uint32_t key = colourAt(corner);
  if (keyed) {
    Reductions opaque;
    for (std::size_t i = 0; i < count; ++i) {
      const uint8_t* pixel = bytes + 4 * i;
      if (pixel[3] >= kOpaqueFrom) opaque.set(reduced(colourAt(pixel)));
    }
    key = freeKeyColour(key, opaque);
  }
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* pixel = bytes + 4 * i;
    pixels[i] = keyed && pixel[3] < kOpaqueFrom ? key : colourAt(pixel);
  }
}

// The pixel count of a picture of that size, refused as the PNG reader refuses it.
std::size_t checkedCount(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || static_cast<uint32_t>(width) > kMaxPngSide ||
      static_cast<uint32_t>(height) > kMaxPngSide || int64_t{width} * height > kMaxBitmapPixels) {
    throw Error(MessageId::InvalidBitmap);
  }
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

DecodedImage keyRgbaPixels(std::vector<uint32_t> rgba, int32_t width, int32_t height) {
  if (rgba.size() != checkedCount(width, height)) throw Error(MessageId::InvalidBitmap);
  keyColours(rgba);
  DecodedImage image;
  image.width = width;
  image.height = height;
  image.pixels = std::move(rgba);
  return image;
}

DecodedImage keyRgbaRows(std::span<const uint8_t> rgba, int32_t width, int32_t height) {
  const std::size_t count = checkedCount(width, height);
  if (rgba.size() / 4 != count || rgba.size() % 4 != 0) {
    throw Error(MessageId::InvalidBitmap);
  }
  std::vector<uint32_t> pixels(count);
  std::memcpy(pixels.data(), rgba.data(), rgba.size());
  return keyRgbaPixels(std::move(pixels), width, height);
}

void keyPaletteAlpha(DecodedImage& image, const std::array<uint8_t, 256>& alpha) {
  const uint8_t corner = image.indices.back();
  if (alpha[corner] >= kOpaqueFrom) return;
  std::array<uint8_t, 256> lookUp{};
  Reductions opaque;
  for (std::size_t i = 0; i < lookUp.size(); ++i) {
    lookUp[i] = alpha[i] < kOpaqueFrom ? corner : static_cast<uint8_t>(i);
    if (alpha[i] >= kOpaqueFrom) opaque.set(reduced(image.palette[i]));
  }
  for (uint8_t& index : image.indices) index = lookUp[index];
  image.palette[corner] = freeKeyColour(image.palette[corner], opaque);
}

// In place: pixel i is written after pairs 0..i are read.
void keyGreyAlpha(DecodedImage& image) {
  const std::size_t count = image.indices.size() / 2;
  uint8_t* pairs = image.indices.data();
  uint8_t key = pairs[2 * count - 2];
  const bool keyed = pairs[2 * count - 1] < kOpaqueFrom;
  if (keyed) {
    std::bitset<256> opaqueLevels;
    for (std::size_t i = 0; i < count; ++i) {
      if (pairs[2 * i + 1] >= kOpaqueFrom) opaqueLevels.set(pairs[2 * i]);
    }
    Reductions opaque;
    for (std::size_t level = 0; level < opaqueLevels.size(); ++level) {
      if (opaqueLevels[level]) opaque.set(reduced(image.palette[level]));
    }
    if (opaque[reduced(image.palette[key])] && !opaqueLevels.all()) {
      key = 0;
      while (opaqueLevels[key]) ++key;
      image.palette[key] = freeKeyColour(image.palette[key], opaque);
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t grey = pairs[2 * i];
    const uint8_t alpha = pairs[2 * i + 1];
    pairs[i] = keyed && alpha < kOpaqueFrom ? key : grey;
  }
  image.indices.resize(count);
}

}  // namespace patapata
