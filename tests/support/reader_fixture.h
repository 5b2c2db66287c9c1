#pragma once

#include "character/character_reader.h"
#include "player/file_intake.h"
#include "player/viewer.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace patapata::testing {

/// Writes a 24-bit bottom-up BMP; `pixel(x, y)` gives 0x00RRGGBB.
template <typename PixelFn>
void writeBmp24(const std::string& path, int32_t width, int32_t height, PixelFn pixel) {
  writeBytes(path, bmp24Bytes(width, height, pixel));
}

/// A sheet whose pixels are all different and whose bottom-right pixel is 0x00123456.
inline void writeTestSheet(const std::string& path, int32_t width = 8, int32_t height = 6) {
  writeBmp24(path, width, height, [&](int32_t x, int32_t y) -> uint32_t {
    if (x == width - 1 && y == height - 1) return 0x00123456;
    return static_cast<uint32_t>(0x00400000 + y * 0x100 + x);
  });
}

/// The viewer with a software display that sheets are read for, as the window has it once its
/// view has initialised (or, `withSheetSurface` false, before).
class ReaderHarness {
 public:
  explicit ReaderHarness(bool withSheetSurface = true)
      : service_(std::make_shared<platform::SurfaceService>()) {
    if (withSheetSurface) {
      loader = [service = service_](const std::string& path) {
        return SheetPicture::load(*service, path);
      };
    }
  }

  /// Opens `path` as the viewer does a file it is given; throws the load's Error.
  void load(const std::string& path) { openCharacterFile(viewer, loader, path); }

 private:
  std::shared_ptr<platform::SurfaceService> service_;

 public:
  SheetLoader loader;
  Viewer viewer;
};

/// The first `count` entries 1..count of a row.
inline std::vector<int32_t> slots(const SequenceRow& row, int count) {
  return std::vector<int32_t>(row.begin() + 1, row.begin() + 1 + count);
}

}  // namespace patapata::testing
