#pragma once

#include "character/character.h"
#include "player/frame_composer.h"
#include "player/player.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <cstdint>
#include <memory>

namespace patapata {

/// One whole frame as the tick builds it: background, pattern and a layer clipped at the left
/// edge, all full-size cels of the 121 × 271 view (the background covers the view, so there is
/// no clear), from a 400 × 300 sheet a quarter of whose pixels carry the key. Timed by the
/// benchmark and by the plain timing program that also runs as WebAssembly.
struct ComposedFrame {
  explicit ComposedFrame(const PixelFormat& format)
      : service(std::make_shared<platform::SurfaceService>(format)), dd(service), back(&dd) {
    back.resize(kViewWidth, kViewHeight);
    auto pixels = service->createSurface(400, 300, platform::Memory::display);
    for (int32_t y = 0; y < 300; ++y) {
      for (int32_t x = 0; x < 400; ++x) {
        pixels->setPixel(x, y, (x + y) % 4 == 0 ? 1u : static_cast<uint32_t>(x * 31 + y * 7 + 2));
      }
    }
    character.sheet.picture = std::make_shared<const SheetPicture>(std::move(pixels), 1);
    character.cels[1] = {0, 0, kViewWidth, kViewHeight};
    character.cels[2] = {130, 0, kViewWidth, kViewHeight};
    character.cels[3] = {260, 0, 64, 64};
    character.cels[4] = {-10, 100, 64, 64};
    player.state = 6;
    player.frame = 1;
    character.pattern[6][1] = 2;
    character.layer[6][1] = 3;
    character.layerDest[6][1] = 4;
    character.layerOn[6] = true;
  }

  void compose() { composeFrame(character, player, back); }

  /// A sum over the frame's pixels, so that two builds can be seen to compose the same frame.
  uint64_t checksum() {
    uint64_t sum = 0;
    for (int32_t y = 0; y < kViewHeight; ++y) {
      for (int32_t x = 0; x < kViewWidth; ++x) sum = sum * 31 + back.pixelValue(x, y);
    }
    return sum;
  }

  std::shared_ptr<platform::SurfaceService> service;
  DrawContext dd;
  Surface back;
  Character character;
  Player player;
};

}  // namespace patapata
