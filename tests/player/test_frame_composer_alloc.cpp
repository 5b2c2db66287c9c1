#include "player/frame_composer.h"

#include "player/viewer.h"
#include "support/allocation_watch.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <memory>

namespace patapata {
namespace {

TEST(ComposerAllocation, AFrameWithALayerAllocatesNothing) {
  auto service = std::make_shared<platform::SurfaceService>(PixelFormat::xrgb8888());
  DrawContext dd(service);
  Surface back(&dd);
  back.resize(kViewWidth, kViewHeight);
  auto state = std::make_unique<Viewer>();
  Viewer& v = *state;
  v.character.sheet.picture = std::make_shared<const SheetPicture>(
      service->createSurface(256, 300, platform::Memory::display), 7);
  v.character.cels[1] = {0, 0, kViewWidth, kViewHeight};
  v.character.cels[2] = {130, 0, 40, 50};
  v.character.cels[3] = {100, 40, 20, 30};
  v.character.cels[4] = {-5, 10, 20, 30};
  v.player.state = 1;
  v.player.frame = 1;
  v.character.pattern[1][1] = 2;
  v.character.layer[1][1] = 3;
  v.character.layerDest[1][1] = 4;
  v.character.layerOn[1] = 1;

  long during = -1;
  {
    const testing::AllocationWatch watch;
    for (int i = 0; i < 10; ++i) {
      back.fill(0);
      composeFrame(v.character, v.player, back);
    }
    during = watch.count();
  }
  EXPECT_EQ(during, 0);
  // The layer was drawn, so the frame did reach all three copies.
  EXPECT_NE(back.pixelValue(0, 10), back.pixelValue(0, 9) + 1);
}

}  // namespace
}  // namespace patapata
