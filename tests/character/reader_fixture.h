#pragma once

#include "character/frame_interval.h"
#include "character/viewer_state.h"
#include "common/memory_controls.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
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

/// A scratch directory removed with the object.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "patapata_chr_";
    name += info ? std::string(info->test_suite_name()) + "_" + info->name() : "x";
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The path of `name` inside the directory, as a byte string.
  std::string file(std::string_view name) const { return path_.string() + "/" + std::string(name); }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// Writes a 24-bit bottom-up BMP; `pixel(x, y)` gives 0x00RRGGBB.
template <typename PixelFn>
void writeBmp24(const std::string& path, int32_t width, int32_t height, PixelFn pixel) {
  const int32_t stride = (width * 3 + 3) / 4 * 4;
  const uint32_t imageSize = static_cast<uint32_t>(stride * height);
  std::string bytes;
  auto put16 = [&](uint32_t v) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  bytes += "BM";
  put32(14 + 40 + imageSize);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(imageSize);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int32_t row = height - 1; row >= 0; --row) {
    std::string line;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t rgb = pixel(x, row);
      line += static_cast<char>(rgb & 0xFF);
      line += static_cast<char>((rgb >> 8) & 0xFF);
      line += static_cast<char>((rgb >> 16) & 0xFF);
    }
    line.resize(static_cast<std::size_t>(stride), '\0');
    bytes += line;
  }
  writeBytes(path, bytes);
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
        directDraw_(std::make_unique<TDirectDraw>(service_)) {
    controls.onTextChanged = [this](ControlId id) {
      if (id == ControlId::Edit1) Edit1Change(state, controls);
    };
    if (withSheetSurface) state.CGSurface = std::make_unique<TDirectDrawSurface>(directDraw_.get());
  }
  ~ReaderHarness() {
    controls.onTextChanged = nullptr;
    state.CGSurface.reset();
  }
  ReaderHarness(const ReaderHarness&) = delete;
  ReaderHarness& operator=(const ReaderHarness&) = delete;

 private:
  std::shared_ptr<platform::SurfaceService> service_;
  std::unique_ptr<TDirectDraw> directDraw_;

 public:
  ViewerState state;
  MemoryControls controls;
};

/// The first `count` entries 1..count of a row.
inline std::vector<int32_t> slots(const SequenceRow& row, int count) {
  return std::vector<int32_t>(row.begin() + 1, row.begin() + 1 + count);
}

}  // namespace patapata::testing
