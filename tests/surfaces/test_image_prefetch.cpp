#include "surfaces/image_prefetch.h"

#include "support/bmp_writer.h"
#include "support/temp_dir.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace patapata {
namespace {

using testing::TempDir;

// A 24-bit picture of one colour.
void writeSheet(const std::string& path, int32_t width, uint32_t colour) {
  testing::writeBytes(path,
                      testing::bmp24Bytes(width, 3, [&](int32_t, int32_t) { return colour; }));
}

uint32_t firstPixel(const DecodedImage& image) {
  uint32_t raw = 0;
  std::memcpy(&raw, image.raw.data(), sizeof raw);
  return raw;
}

// A picture decoded ahead stands in for the file only while the file is the one it read,
// and only once.
TEST(ImagePrefetch, IsTakenOnlyForTheSameUnchangedFile) {
  struct Case {
    const char* name;
    std::string decoded;  // paths relative to the folder
    std::function<void(const std::string& dir)> afterDecode;
    std::string taken;
    bool expected;
  };
  const Case cases[] = {
      {"the same file", "a.bmp", nullptr, "a.bmp", true},
      {"the same file spelt otherwise", "a.bmp", nullptr, "./a.bmp", true},
      {"another file", "a.bmp", nullptr, "b.bmp", false},
      {"rewritten after the decode", "a.bmp",
       [](const std::string& dir) { writeSheet(dir + "a.bmp", 5, 0x00FF0000); }, "a.bmp", false},
      {"removed after the decode", "a.bmp",
       [](const std::string& dir) { std::filesystem::remove(dir + "a.bmp"); }, "a.bmp", false},
      {"not a picture", "c.bmp", nullptr, "c.bmp", false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const TempDir dir;
    const std::string root = dir.path().string() + "/";
    writeSheet(root + "a.bmp", 4, 0x00123456);
    writeSheet(root + "b.bmp", 4, 0x00123456);
    testing::writeBytes(root + "c.bmp", "BM not a picture");
    ImagePrefetch prefetch(root + k.decoded, PixelFormat::xrgb8888());
    prefetch.wait();
    if (k.afterDecode) k.afterDecode(root);
    const std::optional<DecodedImage> image = prefetch.take(root + k.taken);
    ASSERT_EQ(image.has_value(), k.expected);
    if (image) {
      EXPECT_EQ(firstPixel(*image), 0x00123456u);
    }
    EXPECT_FALSE(prefetch.take(root + k.taken).has_value());  // only once
  }
}

// The surface loads the picture decoded ahead as it loads the file, and the next load of the
// same file reads it anew.
TEST(ImagePrefetch, TheFirstLoadOfTheFileTakesIt) {
  const TempDir dir;
  const std::string path = dir.file("sheet.bmp");
  writeSheet(path, 4, 0x00123456);
  platform::SurfaceService service(PixelFormat::xrgb8888());
  service.prefetchImage(path);
  const auto first = SheetPicture::load(service, path);
  EXPECT_EQ(first->width(), 4);
  EXPECT_EQ(first->pixel(3, 2), 0x00123456u);
  writeSheet(path, 6, 0x00ABCDEF);
  const auto second = SheetPicture::load(service, path);
  EXPECT_EQ(second->width(), 6);
  EXPECT_EQ(second->pixel(0, 0), 0x00ABCDEFu);
}

}  // namespace
}  // namespace patapata
