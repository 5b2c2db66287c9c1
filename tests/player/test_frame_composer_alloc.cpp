#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "support/allocation_watch.h"
#include "surfaces/draw_context.h"
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
  auto state = std::make_unique<ViewerState>();
  ViewerState& v = *state;
  v.sheet = std::make_unique<Surface>(&dd);
  v.sheet->resize(256, 300);
  v.sheet->setSourceKey(7);
  v.celRects[1] = {0, 0, kViewWidth, kViewHeight};
  v.celRects[2] = {130, 0, 170, 50};
  v.celX[3] = 100, v.celY[3] = 40, v.celW[3] = 20, v.celH[3] = 30;
  v.celX[4] = -5, v.celY[4] = 10, v.celW[4] = 20, v.celH[4] = 30;
  v.state = 1;
  v.frame = 1;
  v.pattern[1][1] = 2;
  v.layer[1][1] = 3;
  v.layerDest[1][1] = 4;
  v.layerOn[1] = 1;

  long during = -1;
  {
    const testing::AllocationWatch watch;
    for (int i = 0; i < 10; ++i) {
      back.fill(0);
      composeFrame(v, back);
    }
    during = watch.count();
  }
  EXPECT_EQ(during, 0);
  // The layer was drawn, so the frame did reach all three copies.
  EXPECT_NE(back.pixelValue(0, 10), back.pixelValue(0, 9) + 1);
}

}  // namespace
}  // namespace patapata
