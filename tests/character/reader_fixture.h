#pragma once

#include "character/frame_interval.h"
#include "character/viewer_state.h"
#include "common/memory_controls.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

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

/// The viewer's state and controls with a software drawing context and a sheet surface,
/// as the window has them once its view has initialised.
class ReaderHarness {
 public:
  explicit ReaderHarness(bool withSheetSurface = true)
      : service_(std::make_shared<platform::SurfaceService>()),
        drawContext_(std::make_unique<DrawContext>(service_)) {
    controls.onTextChanged = [this](Edit id) {
      if (id == Edit::Interval) applyIntervalText(viewer, controls);
    };
    if (withSheetSurface) viewer.sheet = std::make_unique<Surface>(drawContext_.get());
  }
  ~ReaderHarness() {
    controls.onTextChanged = nullptr;
    viewer.sheet.reset();
  }
  ReaderHarness(const ReaderHarness&) = delete;
  ReaderHarness& operator=(const ReaderHarness&) = delete;

 private:
  std::shared_ptr<platform::SurfaceService> service_;
  std::unique_ptr<DrawContext> drawContext_;

 public:
  ViewerState viewer;
  MemoryControls controls;
};

/// The first `count` entries 1..count of a row.
inline std::vector<int32_t> slots(const SequenceRow& row, int count) {
  return std::vector<int32_t>(row.begin() + 1, row.begin() + 1 + count);
}

}  // namespace patapata::testing
