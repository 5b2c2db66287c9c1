#include "surfaces/image_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patapata {
namespace {

constexpr uint8_t kPadding = 0xA5;

// An indexed picture whose pixels all differ from their neighbours, with a palette whose
// entries differ in every channel.
DecodedImage indexedPicture(int32_t width, int32_t height) {
  DecodedImage image;
  image.width = width;
  image.height = height;
  for (uint32_t i = 0; i < 256; ++i) image.palette[i] = (i * 0x00030507u + 0x00102030u) & 0xFFFFFF;
  for (int32_t i = 0; i < width * height; ++i)
    image.indices.push_back(static_cast<uint8_t>(i * 37 + 5));
  return image;
}

// The picture written into memory of `format` with four bytes of padding after each row.
std::vector<uint8_t> written(const DecodedImage& image, const PixelFormat& format) {
  const int32_t pitch = image.width * format.bytesPerPixel() + 4;
  std::vector<uint8_t> memory(static_cast<std::size_t>(pitch) * image.height, kPadding);
  LockDescription target;
  target.bits = memory.data();
  target.pitch = pitch;
  target.format = format;
  writeImage(image, target);
  return memory;
}

uint32_t rawAt(const std::vector<uint8_t>& memory, int32_t pitch, int32_t bytes, int32_t x,
               int32_t y) {
  uint32_t v = 0;
  for (int32_t b = 0; b < bytes; ++b) {
    v |= uint32_t{memory[static_cast<std::size_t>(y * pitch + x * bytes + b)]} << (8 * b);
  }
  return v;
}

// Widths around the eight pixels converted together, in both display formats: every pixel is
// its palette colour in the surface's format, and the row padding is left alone.
TEST(WriteImage, IndexedPicturesTakeTheirPaletteColoursInTheSurfaceFormat) {
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    for (const int32_t width : {1, 7, 8, 9, 16, 23}) {
      SCOPED_TRACE(::testing::Message() << format.bitsPerPixel << " bits, width " << width);
      const DecodedImage image = indexedPicture(width, 3);
      const std::vector<uint8_t> memory = written(image, format);
      const int32_t bytes = format.bytesPerPixel();
      const int32_t pitch = width * bytes + 4;
      for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t index = image.indices[static_cast<std::size_t>(y * width + x)];
          ASSERT_EQ(rawAt(memory, pitch, bytes, x, y), format.fromRgb(image.palette[index]))
              << "pixel (" << x << ", " << y << ")";
        }
        for (int32_t b = width * bytes; b < pitch; ++b) {
          ASSERT_EQ(memory[static_cast<std::size_t>(y * pitch + b)], kPadding) << "row " << y;
        }
      }
    }
  }
}

// The same picture held as indices or as colours fills a surface alike.
TEST(WriteImage, IndexedAndColourFormsOfAPictureWriteTheSameBytes) {
  for (const PixelFormat format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
    SCOPED_TRACE(format.bitsPerPixel);
    const DecodedImage indexed = indexedPicture(19, 4);
    DecodedImage colours;
    colours.width = indexed.width;
    colours.height = indexed.height;
    colours.pixels = indexed.rgb();
    ASSERT_FALSE(colours.indexed());
    EXPECT_EQ(written(indexed, format), written(colours, format));
  }
}

}  // namespace
}  // namespace patapata
