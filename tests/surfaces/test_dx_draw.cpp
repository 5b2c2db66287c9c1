#include "surfaces/dx_draw.h"

#include "common/errors.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

using enum TDXDrawOption;

class FakeHost : public ViewHost {
 public:
  bool form = true;
  int presentedCount = 0;
  bool hasParentForm() const override { return form; }
  void presented() override { ++presentedCount; }
};

// The view as the main window sets it up: 121 × 271, the viewer's options, on a form.
struct ViewerView {
  explicit ViewerView(PixelFormat format = PixelFormat::xrgb8888())
      : service(std::make_shared<platform::SurfaceService>(format)), view(service) {
    view.beginLoading();
    view.setOptions({doAllowReboot, doCenter, doRetainedMode, doHardware, doSelectDriver});
    view.setSurfaceWidth(121);
    view.setSurfaceHeight(271);
    view.setBounds(121, 271);
    view.Loaded();
    view.setHost(&host);
  }

  std::shared_ptr<platform::SurfaceService> service;
  FakeHost host;
  TDXDraw view;
};

bool allPixelsAre(const platform::PlatformSurface& s, uint32_t raw) {
  for (int32_t y = 0; y < s.height(); ++y) {
    for (int32_t x = 0; x < s.width(); ++x) {
      if (s.pixel(x, y) != raw) return false;
    }
  }
  return true;
}

TEST(DXDraw, PublishedDefaults) {
  TDXDraw view(std::make_shared<platform::SurfaceService>());
  EXPECT_TRUE(view.AutoInitialize());
  EXPECT_TRUE(view.AutoSize());
  EXPECT_EQ(view.Options(), (TDXDrawOptions{doAllowReboot, doWaitVBlank, doCenter, doRetainedMode,
                                            doHardware, doSelectDriver}));
  EXPECT_EQ(view.SurfaceWidth(), 640);
  EXPECT_EQ(view.SurfaceHeight(), 480);
  EXPECT_EQ(view.Width(), 100);
  EXPECT_EQ(view.Height(), 100);
  EXPECT_EQ(view.Display().Width, 640);
  EXPECT_EQ(view.Display().Height, 480);
  EXPECT_EQ(view.Display().BitCount(), 8);
  EXPECT_TRUE(view.Display().FixedBitCount);
  EXPECT_TRUE(view.Display().FixedRatio);
  EXPECT_FALSE(view.Display().FixedSize);
  // Defaults without full screen or 3D: centring and the vertical-blank wait remain.
  EXPECT_EQ(view.EffectiveOptions(), (TDXDrawOptions{doWaitVBlank, doCenter}));
  EXPECT_FALSE(view.Initialized());
  EXPECT_EQ(view.DrawContext(), nullptr);
  EXPECT_EQ(view.BackSurface(), nullptr);
}

TEST(DXDraw, ViewerOptionsLeaveCentringAlone) {
  ViewerView v;
  EXPECT_EQ(v.view.EffectiveOptions(), (TDXDrawOptions{doCenter}));
}

TEST(DXDraw, InitializedOnFirstShowOnly) {
  ViewerView v;
  EXPECT_FALSE(v.view.ReadyToDraw());
  v.view.formShown();
  ASSERT_TRUE(v.view.Initialized());
  EXPECT_TRUE(v.view.ReadyToDraw());
  ASSERT_NE(v.view.BackSurface(), nullptr);
  EXPECT_EQ(v.view.BackSurface()->Width(), 121);
  EXPECT_EQ(v.view.BackSurface()->Height(), 271);
  EXPECT_EQ(v.view.SurfaceWidth(), 121);
  EXPECT_EQ(v.view.SurfaceHeight(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.BackSurface()->ISurface(), 0));
  ASSERT_NE(v.view.PrimarySurface()->ISurface(), nullptr);
  EXPECT_EQ(v.view.PrimarySurface()->Width(), 121);
  EXPECT_EQ(v.view.PrimarySurface()->Height(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.PrimarySurface()->ISurface(), 0));

  TDirectDrawSurface* back = v.view.BackSurface();
  v.view.formShown();  // a second show does not initialise again
  EXPECT_EQ(v.view.BackSurface(), back);

  v.view.formDestroyed();
  EXPECT_FALSE(v.view.Initialized());
  EXPECT_FALSE(v.view.ReadyToDraw());
  EXPECT_EQ(v.view.DrawContext(), nullptr);
  EXPECT_EQ(v.view.SurfaceWidth(), 121);
  EXPECT_EQ(v.view.SurfaceHeight(), 271);
  v.view.formDestroyed();  // finalising twice is harmless
  EXPECT_FALSE(v.view.Initialized());
}

TEST(DXDraw, PresentCopiesBackSurfaceOneToOne) {
  ViewerView v;
  v.view.formShown();
  auto* back = v.view.BackSurface()->ISurface();
  for (int32_t y = 0; y < back->height(); ++y) {
    for (int32_t x = 0; x < back->width(); ++x) back->setPixel(x, y, uint32_t(x * 1000 + y));
  }
  const int before = v.host.presentedCount;
  v.view.Present();
  EXPECT_EQ(v.host.presentedCount, before + 1);
  auto* primary = v.view.PrimarySurface()->ISurface();
  for (int32_t y = 0; y < primary->height(); ++y) {
    for (int32_t x = 0; x < primary->width(); ++x) {
      ASSERT_EQ(primary->pixel(x, y), uint32_t(x * 1000 + y)) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace patapata
