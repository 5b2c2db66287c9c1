#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "support/allocation_watch.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <memory>

namespace patapata {
namespace {

TEST(ComposerAllocation, AFrameWithALayerAllocatesNothing) {
  auto service = std::make_shared<platform::SurfaceService>(PixelFormat::xrgb8888());
  TDirectDraw dd(service);
  TDirectDrawSurface back(&dd);
  back.Resize(kViewWidth, kViewHeight);
  auto state = std::make_unique<ViewerState>();
  ViewerState& v = *state;
  v.CGSurface = std::make_unique<TDirectDrawSurface>(&dd);
  v.CGSurface->Resize(256, 300);
  v.CGSurface->SetSourceKey(7);
  v.CelRects[1] = {0, 0, kViewWidth, kViewHeight};
  v.CelRects[2] = {130, 0, 170, 50};
  v.CelX[3] = 100, v.CelY[3] = 40, v.CelW[3] = 20, v.CelH[3] = 30;
  v.CelX[4] = -5, v.CelY[4] = 10, v.CelW[4] = 20, v.CelH[4] = 30;
  v.AnimState = 1;
  v.AnimFrame = 1;
  v.PatternSeq[1][1] = 2;
  v.LayerSeq[1][1] = 3;
  v.LayerDestSeq[1][1] = 4;
  v.LayerOn[1] = 1;

  long during = -1;
  {
    const testing::AllocationWatch watch;
    for (int i = 0; i < 10; ++i) {
      back.FillAll(0);
      composeFrame(v, back);
    }
    during = watch.count();
  }
  EXPECT_EQ(during, 0);
  // The layer was drawn, so the frame did reach all three copies.
  EXPECT_NE(back.PixelValue(0, 10), back.PixelValue(0, 9) + 1);
}

}  // namespace
}  // namespace patapata
