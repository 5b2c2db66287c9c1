#include "surfaces/dx_draw.h"

#include "common/errors.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

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

TEST(DXDraw, EffectiveOptionsRecomputedFromOptions) {
  struct Case {
    const char* name;
    TDXDrawOptions options;
    TDXDrawOptions effective;
  };
  const Case cases[] = {
      {"the viewer's options",
       {doAllowReboot, doCenter, doRetainedMode, doHardware, doSelectDriver},
       {doCenter}},
      {"window-only options go without full screen",
       {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip, doWaitVBlank},
       {doWaitVBlank}},
      {"full screen keeps them",
       {doFullScreen, doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip},
       {doFullScreen, doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip}},
      {"3D options go without 3D",
       {doRetainedMode, doHardware, doSelectDriver, doZBuffer, doStretch},
       {doStretch}},
      {"3D keeps them, but never hardware",
       {do3D, doRetainedMode, doHardware, doSelectDriver, doZBuffer},
       {do3D, doRetainedMode, doSelectDriver, doZBuffer}},
      {"system memory rules out flipping",
       {doFullScreen, doSystemMemory, doFlip},
       {doFullScreen, doSystemMemory}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDXDraw view(std::make_shared<platform::SurfaceService>());
    view.setOptions(c.options);
    EXPECT_EQ(view.Options(), c.options);
    EXPECT_EQ(view.EffectiveOptions().bits(), c.effective.bits());
  }
}

TEST(DXDraw, WhileInitialisedOnlyPresentationOptionsActAtOnce) {
  ViewerView v;
  v.view.formShown();
  ASSERT_TRUE(v.view.Initialized());
  v.view.setOptions({doStretch, doWaitVBlank, doFullScreen, do3D, doFlip, doSystemMemory});
  EXPECT_EQ(v.view.EffectiveOptions(), (TDXDrawOptions{doStretch, doWaitVBlank}));
  v.view.setOptions({});
  EXPECT_EQ(v.view.EffectiveOptions(), TDXDrawOptions{});
  v.view.setOptions({doCenter, doFullScreen, doNoWindowChange});
  v.view.FinalizeView();
  // Finalisation recomputes everything from Options.
  EXPECT_EQ(v.view.EffectiveOptions(), (TDXDrawOptions{doCenter, doFullScreen, doNoWindowChange}));
}

TEST(DXDraw, DisplayBitCountAcceptsOnlyDisplayDepths) {
  TDXDrawDisplay display;
  for (int32_t bits : {8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    display.setBitCount(bits);
    EXPECT_EQ(display.BitCount(), bits);
  }
  for (int32_t bits : {0, 1, 4, 15, 31, 64, -8}) {
    SCOPED_TRACE(bits);
    try {
      display.setBitCount(bits);
      ADD_FAILURE() << "accepted";
    } catch (const EDirectDrawError& e) {
      EXPECT_STREQ(e.what(), "8, 16, 24, 32 のいずれかの値でなければなりません");
    }
    EXPECT_EQ(display.BitCount(), 32);
  }
}

// A view initialised with a back surface of the given size, its primary surface filled with
// a marker so that what Present copies stands out.
constexpr uint32_t kMarker = 0x00ABCDEF;

struct PresentCase {
  const char* name;
  TDXDrawOptions options;
  int32_t backWidth;
  int32_t backHeight;
  TRect dest;  // where the back surface lands on the primary surface
};

TEST(DXDraw, PresentPlacesTheBackSurface) {
  const PresentCase cases[] = {
      {"same size", {doCenter}, 121, 271, {0, 0, 121, 271}},
      {"narrower, centred: 10 right", {doCenter}, 100, 271, {10, 0, 110, 271}},
      {"wider, centred: 4 left, truncated toward zero", {doCenter}, 130, 271, {-4, 0, 126, 271}},
      {"shorter and narrower, centred", {doCenter}, 101, 200, {10, 35, 111, 235}},
      {"odd difference, taller", {doCenter}, 121, 274, {0, -1, 121, 273}},
      {"not centred", {}, 100, 200, {0, 0, 100, 200}},
      {"stretched over the control", {doStretch, doCenter}, 60, 90, {0, 0, 121, 271}},
      {"vertical-blank wait accepted", {doCenter, doWaitVBlank}, 100, 271, {10, 0, 110, 271}},
  };
  for (const PresentCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerView v;
    v.view.setOptions(c.options);
    v.view.formShown();
    v.view.ResizeBackSurface(c.backWidth, c.backHeight);
    ASSERT_EQ(v.view.BackSurface()->Width(), c.backWidth);
    ASSERT_EQ(v.view.BackSurface()->Height(), c.backHeight);
    auto* back = v.view.BackSurface()->ISurface();
    for (int32_t y = 0; y < c.backHeight; ++y) {
      for (int32_t x = 0; x < c.backWidth; ++x) back->setPixel(x, y, uint32_t(1000 * y + x + 1));
    }
    ASSERT_TRUE(v.view.PrimarySurface()->FillAll(kMarker));
    v.view.Present();
    EXPECT_EQ(v.view.PrimarySurface()->LastResult(), platform::DD_OK);

    auto* primary = v.view.PrimarySurface()->ISurface();
    const int64_t dw = c.dest.width();
    const int64_t dh = c.dest.height();
    int wrong = 0;
    for (int32_t y = 0; y < primary->height(); ++y) {
      for (int32_t x = 0; x < primary->width(); ++x) {
        uint32_t want = kMarker;
        if (x >= c.dest.Left && x < c.dest.Right && y >= c.dest.Top && y < c.dest.Bottom) {
          const auto bx = static_cast<int32_t>((x - c.dest.Left) * c.backWidth / dw);
          const auto by = static_cast<int32_t>((y - c.dest.Top) * c.backHeight / dh);
          want = uint32_t(1000 * by + bx + 1);
        }
        if (primary->pixel(x, y) != want && ++wrong <= 3) {
          ADD_FAILURE() << "primary (" << x << ", " << y << ") is " << primary->pixel(x, y)
                        << ", expected " << want;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(DXDraw, NothingBeforeTheFirstShow) {
  ViewerView v;
  EXPECT_FALSE(v.view.ReadyToDraw());
  EXPECT_FALSE(v.view.CheckPrimary());
  v.view.Present();
  v.view.Paint();
  v.view.RestoreSurfaces();
  EXPECT_EQ(v.host.presentedCount, 0);
  EXPECT_EQ(v.view.PrimarySurface(), nullptr);
  // While not initialised a resize only stores the size.
  v.view.ResizeBackSurface(50, 60);
  EXPECT_EQ(v.view.SurfaceWidth(), 50);
  EXPECT_EQ(v.view.SurfaceHeight(), 60);
  EXPECT_EQ(v.view.BackSurface(), nullptr);
}

// Records the events in the order they fire, with what the view looks like at that moment.
struct EventLog {
  explicit EventLog(TCustomDXDraw& view) : view_(view) {
    auto record = [this](const char* name) {
      return [this, name](TCustomDXDraw& v) {
        entries.push_back(std::string(name) + (v.ReadyToDraw() ? " ready" : " not ready"));
      };
    };
    view.OnInitializing = record("Initializing");
    view.OnInitialize = record("Initialize");
    view.OnRestoreSurface = record("RestoreSurface");
    view.OnFinalize = record("Finalize");
    // The viewer's sheet surface lives from OnInitializeSurface to OnFinalizeSurface.
    view.OnInitializeSurface = [this, record](TCustomDXDraw& v) {
      record("InitializeSurface")(v);
      sheet = std::make_unique<TDirectDrawSurface>(v.DrawContext());
      sheet->Resize(4, 4);
    };
    view.OnFinalizeSurface = [this, record](TCustomDXDraw& v) {
      record("FinalizeSurface")(v);
      const auto& registered = v.DrawContext()->Surfaces();
      sheetRegisteredAtFinalize =
          std::find(registered.begin(), registered.end(), sheet.get()) != registered.end();
      backHeldAtFinalize = v.BackSurface() != nullptr && v.BackSurface()->ISurface() != nullptr;
      sheet.reset();
    };
  }

  // The handlers point into this log; a view that outlives it must not call them.
  ~EventLog() {
    view_.OnInitializing = view_.OnInitialize = view_.OnInitializeSurface = nullptr;
    view_.OnFinalizeSurface = view_.OnFinalize = view_.OnRestoreSurface = nullptr;
  }
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  std::vector<std::string> entries;
  std::unique_ptr<TDirectDrawSurface> sheet;
  bool sheetRegisteredAtFinalize = false;
  bool backHeldAtFinalize = false;

 private:
  TCustomDXDraw& view_;
};

TEST(DXDraw, EventOrderOnInitialiseAndFinalise) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"Initializing not ready", "Initialize ready",
                                      "InitializeSurface ready", "RestoreSurface not ready"}));
  ASSERT_NE(log.sheet, nullptr);
  EXPECT_EQ(log.sheet->DDraw(), v.view.DrawContext());

  log.entries.clear();
  v.view.formDestroyed();
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"FinalizeSurface not ready", "Finalize not ready"}));
  // The sheet was freed while the drawing context and the back surface still existed.
  EXPECT_TRUE(log.sheetRegisteredAtFinalize);
  EXPECT_TRUE(log.backHeldAtFinalize);
  EXPECT_EQ(log.sheet, nullptr);

  log.entries.clear();
  v.view.formDestroyed();
  EXPECT_TRUE(log.entries.empty());
}

TEST(DXDraw, ASheetStillRegisteredIsReleasedWithTheDrawingContext) {
  ViewerView v;
  std::unique_ptr<TDirectDrawSurface> sheet;
  v.view.OnInitializeSurface = [&](TCustomDXDraw& view) {
    sheet = std::make_unique<TDirectDrawSurface>(view.DrawContext());
    sheet->Resize(8, 8);
  };
  v.view.formShown();
  ASSERT_NE(sheet->ISurface(), nullptr);
  v.view.FinalizeView();
  EXPECT_EQ(sheet->DDraw(), nullptr);
  EXPECT_EQ(sheet->ISurface(), nullptr);
  EXPECT_EQ(sheet->Width(), 0);
}

TEST(DXDraw, NotReadyWhileUpdating) {
  ViewerView v;
  std::vector<std::pair<std::string, bool>> seen;
  int presentedInside = -1;
  v.view.OnRestoreSurface = [&](TCustomDXDraw& view) {
    seen.emplace_back("restore", view.ReadyToDraw());
    const int before = v.host.presentedCount;
    view.Present();
    view.RestoreSurfaces();
    view.ResizeBackSurface(10, 10);
    presentedInside = v.host.presentedCount - before;
    EXPECT_EQ(view.BackSurface()->Width(), 121);
  };
  v.view.OnFinalizeSurface = [&](TCustomDXDraw& view) {
    seen.emplace_back("finalize surface", view.ReadyToDraw());
    view.InitializeView();  // cannot rebuild under the running finalisation
  };
  v.view.formShown();
  EXPECT_EQ(presentedInside, 0);
  EXPECT_TRUE(v.view.ReadyToDraw());
  v.view.FinalizeView();
  EXPECT_FALSE(v.view.Initialized());
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"restore", false},
                                                             {"finalize surface", false}}));
}

TEST(DXDraw, LostPrimaryIsRestoredAndClearedByTheNextReadyToDraw) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  log.sheet->SetSourceKey(0);
  ASSERT_TRUE(v.view.BackSurface()->FillAll(0x00112233));
  log.entries.clear();
  const int presentedBefore = v.host.presentedCount;

  // A display mode change reclaims every surface in display memory.
  v.view.PrimarySurface()->ISurface()->markLost();
  v.view.BackSurface()->ISurface()->markLost();
  log.sheet->ISurface()->markLost();

  EXPECT_TRUE(v.view.ReadyToDraw());
  EXPECT_EQ(log.entries, (std::vector<std::string>{"RestoreSurface not ready"}));
  EXPECT_GT(v.host.presentedCount, presentedBefore);
  EXPECT_TRUE(allPixelsAre(*v.view.PrimarySurface()->ISurface(), 0));
  EXPECT_TRUE(allPixelsAre(*v.view.BackSurface()->ISurface(), 0));

  // The sheet is not the view's to restore: copies out of it keep failing.
  EXPECT_EQ(log.sheet->ISurface()->isLost(), platform::DDERR_SURFACELOST);
  EXPECT_FALSE(v.view.BackSurface()->BltFast(0, 0, {0, 0, 4, 4}, 1, *log.sheet));
  EXPECT_EQ(log.sheet->PixelValue(0, 0), 0u);

  // Nothing lost: no further restore.
  log.entries.clear();
  EXPECT_TRUE(v.view.ReadyToDraw());
  EXPECT_TRUE(log.entries.empty());
}

TEST(DXDraw, FailedRestoreRepeatsAtTheNextCall) {
  ViewerView v;
  int restores = 0;
  v.view.OnRestoreSurface = [&](TCustomDXDraw&) { ++restores; };
  v.view.formShown();
  restores = 0;
  auto* primary = v.view.PrimarySurface()->ISurface();
  primary->markLost();
  primary->setRestoreRefused(true);
  EXPECT_FALSE(v.view.ReadyToDraw());
  v.view.Present();  // draws nothing on a lost primary
  EXPECT_EQ(v.view.PrimarySurface()->LastResult(), platform::DDERR_SURFACELOST);
  EXPECT_FALSE(v.view.ReadyToDraw());
  EXPECT_EQ(restores, 0);
  primary->setRestoreRefused(false);
  EXPECT_TRUE(v.view.ReadyToDraw());
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(allPixelsAre(*primary, 0));
}

TEST(DXDraw, LostBackSurfaceWithoutALostPrimaryIsNotRestored) {
  // Only the primary surface is checked; a lost back surface shows as failed copies.
  ViewerView v;
  v.view.formShown();
  v.view.BackSurface()->ISurface()->markLost();
  EXPECT_TRUE(v.view.ReadyToDraw());
  EXPECT_FALSE(v.view.BackSurface()->FillAll(0));
}

struct FailureCase {
  const char* name;
  std::function<void(ViewerView&)> arrange;
  std::string message;
  bool initializingFires;
};

TEST(DXDraw, FailedInitialisationReleasesEverything) {
  const FailureCase cases[] = {
      {"primary surface refused", [](ViewerView& v) { v.service->faults().refusePrimary = true; },
       "プライマリサーフェース を作成できません", true},
      {"clipper refused", [](ViewerView& v) { v.service->faults().refuseClipper = true; },
       "クリッパー を作成できません", true},
      {"back surface refused in both memories",
       [](ViewerView& v) {
         v.service->faults().refuseDisplayMemory = true;
         v.service->faults().refuseSystemMemory = true;
       },
       "サーフェース を作成できません", true},
      {"no platform library", [](ViewerView& v) { v.service->faults().libraryMissing = true; },
       "DDraw.dll を読み込めません", true},
      {"display cannot be opened", [](ViewerView& v) { v.service->faults().refuseOpen = true; },
       "DirectDraw を初期化できません", true},
      {"no parent form", [](ViewerView& v) { v.host.form = false; }, "フォームが見つかりません",
       false},
      {"no host at all", [](ViewerView& v) { v.view.setHost(nullptr); }, "フォームが見つかりません",
       false},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerView v;
    EventLog log(v.view);
    c.arrange(v);
    std::string message;
    try {
      v.view.formShown();
    } catch (const Exception& e) {
      message = e.what();
    }
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(log.entries, c.initializingFires ? std::vector<std::string>{"Initializing not ready"}
                                               : std::vector<std::string>{});
    EXPECT_FALSE(v.view.Initialized());
    EXPECT_FALSE(v.view.Updating());
    EXPECT_FALSE(v.view.ReadyToDraw());
    EXPECT_EQ(v.view.DrawContext(), nullptr);
    EXPECT_EQ(v.view.PrimarySurface(), nullptr);
    EXPECT_EQ(v.view.BackSurface(), nullptr);
    EXPECT_EQ(v.view.Clipper(), nullptr);
    EXPECT_EQ(v.view.Palette(), nullptr);
    EXPECT_EQ(v.view.SurfaceWidth(), 121);
    EXPECT_EQ(v.view.SurfaceHeight(), 271);

    // The show hook does not try again; an explicit call does, and succeeds.
    v.service->faults() = {};
    v.view.setHost(&v.host);
    v.host.form = true;
    v.view.formShown();
    EXPECT_FALSE(v.view.Initialized());
    v.view.InitializeView();
    EXPECT_TRUE(v.view.ReadyToDraw());
    EXPECT_EQ(v.view.BackSurface()->Width(), 121);
  }
}

TEST(DXDraw, FailureThrowsTheStatedClasses) {
  {
    ViewerView v;
    v.service->faults().refuseClipper = true;
    EXPECT_THROW(v.view.InitializeView(), EDirectDrawClipperError);
  }
  {
    ViewerView v;
    v.service->faults().refusePrimary = true;
    EXPECT_THROW(v.view.InitializeView(), EDXDrawError);
  }
  {
    ViewerView v;
    v.host.form = false;
    EXPECT_THROW(v.view.InitializeView(), EDXDrawError);
  }
}

TEST(DXDraw, BackSurfaceFallsBackToSystemMemory) {
  ViewerView v;
  v.service->faults().refuseDisplayMemory = true;
  v.view.formShown();
  ASSERT_TRUE(v.view.ReadyToDraw());
  EXPECT_NE(v.view.BackSurface()->Caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_TRUE(v.view.EffectiveOptions().contains(doSystemMemory));
  EXPECT_FALSE(v.view.Options().contains(doSystemMemory));
  v.view.FinalizeView();
  EXPECT_FALSE(v.view.EffectiveOptions().contains(doSystemMemory));
}

TEST(DXDraw, SystemMemoryAskedForWithTheOption) {
  ViewerView v;
  v.view.setOptions({doCenter, doSystemMemory});
  v.view.formShown();
  EXPECT_NE(v.view.BackSurface()->Caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
}

TEST(DXDraw, ResizeBackSurfaceAnnouncesTheNewSurface) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  TDirectDrawSurface* back = v.view.BackSurface();
  log.entries.clear();

  v.view.ResizeBackSurface(121, 271);  // same size: nothing
  EXPECT_TRUE(log.entries.empty());

  v.view.ResizeBackSurface(60, 0);
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"FinalizeSurface not ready", "InitializeSurface ready"}));
  EXPECT_EQ(v.view.BackSurface(), back);  // same object, new platform surface
  EXPECT_EQ(v.view.SurfaceWidth(), 60);
  EXPECT_EQ(v.view.SurfaceHeight(), 1);
  EXPECT_TRUE(allPixelsAre(*back->ISurface(), 0));
  ASSERT_NE(log.sheet, nullptr);  // the new sheet
  EXPECT_TRUE(v.view.ReadyToDraw());

  // Setting the properties outside loading resizes too.
  v.view.setSurfaceWidth(80);
  EXPECT_EQ(back->Width(), 80);
  v.view.setSurfaceHeight(90);
  EXPECT_EQ(back->Height(), 90);

  v.view.FinalizeView();
  EXPECT_EQ(v.view.SurfaceWidth(), 80);  // remembered for the next initialisation
  EXPECT_EQ(v.view.SurfaceHeight(), 90);
}

TEST(DXDraw, FailedResizeFinalisesAndPropagates) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  log.entries.clear();
  try {
    v.view.ResizeBackSurface(1 << 20, 1 << 20);  // far beyond any display memory
    ADD_FAILURE() << "no exception";
  } catch (const EDXDrawError& e) {
    EXPECT_STREQ(e.what(), "サーフェース を作成できません");
  }
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"FinalizeSurface not ready", "Finalize not ready"}));
  EXPECT_FALSE(v.view.Initialized());
  EXPECT_EQ(v.view.DrawContext(), nullptr);
}

TEST(DXDraw, BoundsFollowedByBackAndPrimarySurfaceWithAutoSize) {
  ViewerView v;
  v.view.formShown();
  v.view.setBounds(50, 40);
  EXPECT_EQ(v.view.BackSurface()->Width(), 50);
  EXPECT_EQ(v.view.BackSurface()->Height(), 40);
  EXPECT_EQ(v.view.PrimarySurface()->Width(), 50);
  EXPECT_EQ(v.view.PrimarySurface()->Height(), 40);
  EXPECT_TRUE(v.view.ReadyToDraw());

  v.view.setAutoSize(false);
  v.view.setBounds(70, 30);
  EXPECT_EQ(v.view.BackSurface()->Width(), 50);  // the surface keeps its size
  EXPECT_EQ(v.view.PrimarySurface()->Width(), 70);
  v.view.setAutoSize(true);  // switching it on takes the control's size
  EXPECT_EQ(v.view.BackSurface()->Width(), 70);
  EXPECT_EQ(v.view.BackSurface()->Height(), 30);
}

TEST(DXDraw, LoadingStoresTheSurfaceSizeUntilLoaded) {
  TDXDraw view(std::make_shared<platform::SurfaceService>());
  view.beginLoading();
  view.setSurfaceWidth(121);
  view.setSurfaceHeight(271);
  view.setBounds(200, 100);
  EXPECT_EQ(view.SurfaceWidth(), 121);
  view.Loaded();
  EXPECT_EQ(view.SurfaceWidth(), 200);  // AutoSize: the control's size
  EXPECT_EQ(view.SurfaceHeight(), 100);
}

TEST(DXDraw, PaintPresentsOnceInitialised) {
  ViewerView v;
  v.view.Paint();
  EXPECT_EQ(v.host.presentedCount, 0);
  v.view.formShown();
  ASSERT_TRUE(v.view.BackSurface()->FillAll(0x00010203));
  const int before = v.host.presentedCount;
  v.view.Paint();
  EXPECT_EQ(v.host.presentedCount, before + 1);
  EXPECT_TRUE(allPixelsAre(*v.view.PrimarySurface()->ISurface(), 0x00010203));
}

TEST(DXDraw, AutoInitializeOffLeavesTheShowAlone) {
  ViewerView v;
  v.view.setAutoInitialize(false);
  v.view.formShown();
  EXPECT_FALSE(v.view.Initialized());
  v.view.InitializeView();
  EXPECT_TRUE(v.view.ReadyToDraw());
}

TEST(DXDraw, SixteenBitDisplay) {
  ViewerView v(PixelFormat::rgb565());
  v.view.formShown();
  ASSERT_TRUE(v.view.ReadyToDraw());
  EXPECT_EQ(v.view.BackSurface()->Format(), PixelFormat::rgb565());
  ASSERT_TRUE(v.view.BackSurface()->FillAll(0xF81F));
  v.view.Present();
  EXPECT_TRUE(allPixelsAre(*v.view.PrimarySurface()->ISurface(), 0xF81F));
}

}  // namespace
}  // namespace patapata
