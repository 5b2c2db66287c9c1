#pragma once

#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <cstdint>
#include <memory>

namespace patapata::testing {

/// A sheet picture of width × height for `service`'s display, whose raw pixel (x, y) is
/// `pixel(x, y)`, with the key `key`.
template <typename PixelFn>
std::shared_ptr<const SheetPicture> sheetOf(platform::SurfaceService& service, int32_t width,
                                            int32_t height, PixelFn pixel, uint32_t key) {
  auto surface = service.createSurface(width, height, platform::Memory::display);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) surface->setPixel(x, y, pixel(x, y));
  }
  return std::make_shared<const SheetPicture>(std::move(surface), key);
}

}  // namespace patapata::testing
