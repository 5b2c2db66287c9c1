#include "surfaces/view_control.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include <memory>
#include <string>
#include <vector>

namespace patapata {
namespace {

using enum ViewOption;

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
    view.loaded();
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
  EXPECT_TRUE(view.autoInitialize());
  EXPECT_TRUE(view.autoSize());
  EXPECT_EQ(view.options(), (ViewOptions{doAllowReboot, doWaitVBlank, doCenter, doRetainedMode,
                                         doHardware, doSelectDriver}));
  EXPECT_EQ(view.surfaceWidth(), 640);
  EXPECT_EQ(view.surfaceHeight(), 480);
  EXPECT_EQ(view.width(), 100);
  EXPECT_EQ(view.height(), 100);
  EXPECT_EQ(view.display().Width, 640);
  EXPECT_EQ(view.display().Height, 480);
  EXPECT_EQ(view.display().bitCount(), 8);
  EXPECT_TRUE(view.display().FixedBitCount);
  EXPECT_TRUE(view.display().FixedRatio);
  EXPECT_FALSE(view.display().FixedSize);
  // Defaults without full screen or 3D: centring and the vertical-blank wait remain.
  EXPECT_EQ(view.effectiveOptions(), (ViewOptions{doWaitVBlank, doCenter}));
  EXPECT_FALSE(view.isInitialized());
  EXPECT_EQ(view.drawContext(), nullptr);
  EXPECT_EQ(view.backSurface(), nullptr);
}

TEST(DXDraw, ViewerOptionsLeaveCentringAlone) {
  ViewerView v;
  EXPECT_EQ(v.view.effectiveOptions(), (ViewOptions{doCenter}));
}

TEST(DXDraw, InitializedOnFirstShowOnly) {
  ViewerView v;
  EXPECT_FALSE(v.view.readyToDraw());
  v.view.formShown();
  ASSERT_TRUE(v.view.isInitialized());
  EXPECT_TRUE(v.view.readyToDraw());
  ASSERT_NE(v.view.backSurface(), nullptr);
  EXPECT_EQ(v.view.backSurface()->width(), 121);
  EXPECT_EQ(v.view.backSurface()->height(), 271);
  EXPECT_EQ(v.view.surfaceWidth(), 121);
  EXPECT_EQ(v.view.surfaceHeight(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0));
  ASSERT_NE(v.view.primarySurface()->platformSurface(), nullptr);
  EXPECT_EQ(v.view.primarySurface()->width(), 121);
  EXPECT_EQ(v.view.primarySurface()->height(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0));

  Surface* back = v.view.backSurface();
  v.view.formShown();  // a second show does not initialise again
  EXPECT_EQ(v.view.backSurface(), back);

  v.view.formDestroyed();
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_FALSE(v.view.readyToDraw());
  EXPECT_EQ(v.view.drawContext(), nullptr);
  EXPECT_EQ(v.view.surfaceWidth(), 121);
  EXPECT_EQ(v.view.surfaceHeight(), 271);
  v.view.formDestroyed();  // finalising twice is harmless
  EXPECT_FALSE(v.view.isInitialized());
}

TEST(DXDraw, PresentCopiesBackSurfaceOneToOne) {
  ViewerView v;
  v.view.formShown();
  auto* back = v.view.backSurface()->platformSurface();
  for (int32_t y = 0; y < back->height(); ++y) {
    for (int32_t x = 0; x < back->width(); ++x) back->setPixel(x, y, uint32_t(x * 1000 + y));
  }
  const int before = v.host.presentedCount;
  v.view.present();
  EXPECT_EQ(v.host.presentedCount, before + 1);
  auto* primary = v.view.primarySurface()->platformSurface();
  for (int32_t y = 0; y < primary->height(); ++y) {
    for (int32_t x = 0; x < primary->width(); ++x) {
      ASSERT_EQ(primary->pixel(x, y), uint32_t(x * 1000 + y)) << x << "," << y;
    }
  }
}

TEST(DXDraw, EffectiveOptionsRecomputedFromOptions) {
  struct Case {
    const char* name;
    ViewOptions options;
    ViewOptions effective;
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
    EXPECT_EQ(view.options(), c.options);
    EXPECT_EQ(view.effectiveOptions().bits(), c.effective.bits());
  }
}

TEST(DXDraw, WhileInitialisedOnlyPresentationOptionsActAtOnce) {
  ViewerView v;
  v.view.formShown();
  ASSERT_TRUE(v.view.isInitialized());
  v.view.setOptions({doStretch, doWaitVBlank, doFullScreen, do3D, doFlip, doSystemMemory});
  EXPECT_EQ(v.view.effectiveOptions(), (ViewOptions{doStretch, doWaitVBlank}));
  v.view.setOptions({});
  EXPECT_EQ(v.view.effectiveOptions(), ViewOptions{});
  v.view.setOptions({doCenter, doFullScreen, doNoWindowChange});
  v.view.finalize();
  // Finalisation recomputes everything from Options.
  EXPECT_EQ(v.view.effectiveOptions(), (ViewOptions{doCenter, doFullScreen, doNoWindowChange}));
}

TEST(DXDraw, DisplayBitCountAcceptsOnlyDisplayDepths) {
  DisplayMode display;
  for (int32_t bits : {8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    display.setBitCount(bits);
    EXPECT_EQ(display.bitCount(), bits);
  }
  for (int32_t bits : {0, 1, 4, 15, 31, 64, -8}) {
    SCOPED_TRACE(bits);
    try {
      display.setBitCount(bits);
      ADD_FAILURE() << "accepted";
    } catch (const DrawContextError& e) {
      EXPECT_STREQ(e.what(), "8, 16, 24, 32 のいずれかの値でなければなりません");
    }
    EXPECT_EQ(display.bitCount(), 32);
  }
}

// A view initialised with a back surface of the given size, its primary surface filled with
// a marker so that what Present copies stands out.
constexpr uint32_t kMarker = 0x00ABCDEF;

struct PresentCase {
  const char* name;
  ViewOptions options;
  int32_t backWidth;
  int32_t backHeight;
  Rect dest;  // where the back surface lands on the primary surface
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
    v.view.resizeBackSurface(c.backWidth, c.backHeight);
    ASSERT_EQ(v.view.backSurface()->width(), c.backWidth);
    ASSERT_EQ(v.view.backSurface()->height(), c.backHeight);
    auto* back = v.view.backSurface()->platformSurface();
    for (int32_t y = 0; y < c.backHeight; ++y) {
      for (int32_t x = 0; x < c.backWidth; ++x) back->setPixel(x, y, uint32_t(1000 * y + x + 1));
    }
    ASSERT_TRUE(v.view.primarySurface()->fill(kMarker));
    v.view.present();
    EXPECT_EQ(v.view.primarySurface()->lastResult(), platform::DD_OK);

    auto* primary = v.view.primarySurface()->platformSurface();
    const int64_t dw = c.dest.width();
    const int64_t dh = c.dest.height();
    int wrong = 0;
    for (int32_t y = 0; y < primary->height(); ++y) {
      for (int32_t x = 0; x < primary->width(); ++x) {
        uint32_t want = kMarker;
        if (x >= c.dest.left && x < c.dest.right && y >= c.dest.top && y < c.dest.bottom) {
          const auto bx = static_cast<int32_t>((x - c.dest.left) * c.backWidth / dw);
          const auto by = static_cast<int32_t>((y - c.dest.top) * c.backHeight / dh);
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
  EXPECT_FALSE(v.view.readyToDraw());
  EXPECT_FALSE(v.view.checkPrimary());
  v.view.present();
  v.view.paint();
  v.view.restoreSurfaces();
  EXPECT_EQ(v.host.presentedCount, 0);
  EXPECT_EQ(v.view.primarySurface(), nullptr);
  // While not initialised a resize only stores the size.
  v.view.resizeBackSurface(50, 60);
  EXPECT_EQ(v.view.surfaceWidth(), 50);
  EXPECT_EQ(v.view.surfaceHeight(), 60);
  EXPECT_EQ(v.view.backSurface(), nullptr);
}

// Records the events in the order they fire, with what the view looks like at that moment.
struct EventLog {
  explicit EventLog(ViewControl& view) : view_(view) {
    auto record = [this](const char* name) {
      return [this, name](ViewControl& v) {
        entries.push_back(std::string(name) + (v.readyToDraw() ? " ready" : " not ready"));
      };
    };
    view.OnInitializing = record("Initializing");
    view.OnInitialize = record("Initialize");
    view.OnRestoreSurface = record("RestoreSurface");
    view.OnFinalize = record("Finalize");
    // The viewer's sheet surface lives from OnInitializeSurface to OnFinalizeSurface.
    view.OnInitializeSurface = [this, record](ViewControl& v) {
      record("InitializeSurface")(v);
      sheet = std::make_unique<Surface>(v.drawContext());
      sheet->resize(4, 4);
    };
    view.OnFinalizeSurface = [this, record](ViewControl& v) {
      record("FinalizeSurface")(v);
      const auto& registered = v.drawContext()->surfaces();
      sheetRegisteredAtFinalize =
          std::find(registered.begin(), registered.end(), sheet.get()) != registered.end();
      backHeldAtFinalize =
          v.backSurface() != nullptr && v.backSurface()->platformSurface() != nullptr;
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
  std::unique_ptr<Surface> sheet;
  bool sheetRegisteredAtFinalize = false;
  bool backHeldAtFinalize = false;

 private:
  ViewControl& view_;
};

TEST(DXDraw, EventOrderOnInitialiseAndFinalise) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"Initializing not ready", "Initialize ready",
                                      "InitializeSurface ready", "RestoreSurface not ready"}));
  ASSERT_NE(log.sheet, nullptr);
  EXPECT_EQ(log.sheet->context(), v.view.drawContext());

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
  std::unique_ptr<Surface> sheet;
  v.view.OnInitializeSurface = [&](ViewControl& view) {
    sheet = std::make_unique<Surface>(view.drawContext());
    sheet->resize(8, 8);
  };
  v.view.formShown();
  ASSERT_NE(sheet->platformSurface(), nullptr);
  v.view.finalize();
  EXPECT_EQ(sheet->context(), nullptr);
  EXPECT_EQ(sheet->platformSurface(), nullptr);
  EXPECT_EQ(sheet->width(), 0);
}

TEST(DXDraw, NotReadyWhileUpdating) {
  ViewerView v;
  std::vector<std::pair<std::string, bool>> seen;
  int presentedInside = -1;
  v.view.OnRestoreSurface = [&](ViewControl& view) {
    seen.emplace_back("restore", view.readyToDraw());
    const int before = v.host.presentedCount;
    view.present();
    view.restoreSurfaces();
    view.resizeBackSurface(10, 10);
    presentedInside = v.host.presentedCount - before;
    EXPECT_EQ(view.backSurface()->width(), 121);
  };
  v.view.OnFinalizeSurface = [&](ViewControl& view) {
    seen.emplace_back("finalize surface", view.readyToDraw());
    view.initialize();  // cannot rebuild under the running finalisation
  };
  v.view.formShown();
  EXPECT_EQ(presentedInside, 0);
  EXPECT_TRUE(v.view.readyToDraw());
  v.view.finalize();
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"restore", false},
                                                             {"finalize surface", false}}));
}

TEST(DXDraw, LostPrimaryIsRestoredAndClearedByTheNextReadyToDraw) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  log.sheet->setSourceKey(0);
  ASSERT_TRUE(v.view.backSurface()->fill(0x00112233));
  log.entries.clear();
  const int presentedBefore = v.host.presentedCount;

  // A display mode change reclaims every surface in display memory.
  v.view.primarySurface()->platformSurface()->markLost();
  v.view.backSurface()->platformSurface()->markLost();
  log.sheet->platformSurface()->markLost();

  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_EQ(log.entries, (std::vector<std::string>{"RestoreSurface not ready"}));
  EXPECT_GT(v.host.presentedCount, presentedBefore);
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0));
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0));

  // The sheet is not the view's to restore: copies out of it keep failing.
  EXPECT_EQ(log.sheet->platformSurface()->isLost(), platform::DDERR_SURFACELOST);
  EXPECT_FALSE(v.view.backSurface()->blit(0, 0, {0, 0, 4, 4}, 1, *log.sheet));
  EXPECT_EQ(log.sheet->pixelValue(0, 0), 0u);

  // Nothing lost: no further restore.
  log.entries.clear();
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_TRUE(log.entries.empty());
}

TEST(DXDraw, FailedRestoreRepeatsAtTheNextCall) {
  ViewerView v;
  int restores = 0;
  v.view.OnRestoreSurface = [&](ViewControl&) { ++restores; };
  v.view.formShown();
  restores = 0;
  auto* primary = v.view.primarySurface()->platformSurface();
  primary->markLost();
  primary->setRestoreRefused(true);
  EXPECT_FALSE(v.view.readyToDraw());
  v.view.present();  // draws nothing on a lost primary
  EXPECT_EQ(v.view.primarySurface()->lastResult(), platform::DDERR_SURFACELOST);
  EXPECT_FALSE(v.view.readyToDraw());
  EXPECT_EQ(restores, 0);
  primary->setRestoreRefused(false);
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(allPixelsAre(*primary, 0));
}

TEST(DXDraw, LostBackSurfaceWithoutALostPrimaryIsNotRestored) {
  // Only the primary surface is checked; a lost back surface shows as failed copies.
  ViewerView v;
  v.view.formShown();
  v.view.backSurface()->platformSurface()->markLost();
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_FALSE(v.view.backSurface()->fill(0));
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
    EXPECT_FALSE(v.view.isInitialized());
    EXPECT_FALSE(v.view.isUpdating());
    EXPECT_FALSE(v.view.readyToDraw());
    EXPECT_EQ(v.view.drawContext(), nullptr);
    EXPECT_EQ(v.view.primarySurface(), nullptr);
    EXPECT_EQ(v.view.backSurface(), nullptr);
    EXPECT_EQ(v.view.clipper(), nullptr);
    EXPECT_EQ(v.view.palette(), nullptr);
    EXPECT_EQ(v.view.surfaceWidth(), 121);
    EXPECT_EQ(v.view.surfaceHeight(), 271);

    // The show hook does not try again; an explicit call does, and succeeds.
    v.service->faults() = {};
    v.view.setHost(&v.host);
    v.host.form = true;
    v.view.formShown();
    EXPECT_FALSE(v.view.isInitialized());
    v.view.initialize();
    EXPECT_TRUE(v.view.readyToDraw());
    EXPECT_EQ(v.view.backSurface()->width(), 121);
  }
}

TEST(DXDraw, FailureThrowsTheStatedClasses) {
  {
    ViewerView v;
    v.service->faults().refuseClipper = true;
    EXPECT_THROW(v.view.initialize(), ClipperError);
  }
  {
    ViewerView v;
    v.service->faults().refusePrimary = true;
    EXPECT_THROW(v.view.initialize(), ViewError);
  }
  {
    ViewerView v;
    v.host.form = false;
    EXPECT_THROW(v.view.initialize(), ViewError);
  }
}

TEST(DXDraw, BackSurfaceFallsBackToSystemMemory) {
  ViewerView v;
  v.service->faults().refuseDisplayMemory = true;
  v.view.formShown();
  ASSERT_TRUE(v.view.readyToDraw());
  EXPECT_NE(v.view.backSurface()->caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_TRUE(v.view.effectiveOptions().contains(doSystemMemory));
  EXPECT_FALSE(v.view.options().contains(doSystemMemory));
  v.view.finalize();
  EXPECT_FALSE(v.view.effectiveOptions().contains(doSystemMemory));
}

TEST(DXDraw, SystemMemoryAskedForWithTheOption) {
  ViewerView v;
  v.view.setOptions({doCenter, doSystemMemory});
  v.view.formShown();
  EXPECT_NE(v.view.backSurface()->caps() & platform::DDSCAPS_SYSTEMMEMORY, 0u);
}

TEST(DXDraw, ResizeBackSurfaceAnnouncesTheNewSurface) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  Surface* back = v.view.backSurface();
  log.entries.clear();

  v.view.resizeBackSurface(121, 271);  // same size: nothing
  EXPECT_TRUE(log.entries.empty());

  v.view.resizeBackSurface(60, 0);
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"FinalizeSurface not ready", "InitializeSurface ready"}));
  EXPECT_EQ(v.view.backSurface(), back);  // same object, new platform surface
  EXPECT_EQ(v.view.surfaceWidth(), 60);
  EXPECT_EQ(v.view.surfaceHeight(), 1);
  EXPECT_TRUE(allPixelsAre(*back->platformSurface(), 0));
  ASSERT_NE(log.sheet, nullptr);  // the new sheet
  EXPECT_TRUE(v.view.readyToDraw());

  // Setting the properties outside loading resizes too.
  v.view.setSurfaceWidth(80);
  EXPECT_EQ(back->width(), 80);
  v.view.setSurfaceHeight(90);
  EXPECT_EQ(back->height(), 90);

  v.view.finalize();
  EXPECT_EQ(v.view.surfaceWidth(), 80);  // remembered for the next initialisation
  EXPECT_EQ(v.view.surfaceHeight(), 90);
}

TEST(DXDraw, FailedResizeFinalisesAndPropagates) {
  ViewerView v;
  EventLog log(v.view);
  v.view.formShown();
  log.entries.clear();
  try {
    v.view.resizeBackSurface(1 << 20, 1 << 20);  // far beyond any display memory
    ADD_FAILURE() << "no exception";
  } catch (const ViewError& e) {
    EXPECT_STREQ(e.what(), "サーフェース を作成できません");
  }
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"FinalizeSurface not ready", "Finalize not ready"}));
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_EQ(v.view.drawContext(), nullptr);
}

TEST(DXDraw, BoundsFollowedByBackAndPrimarySurfaceWithAutoSize) {
  ViewerView v;
  v.view.formShown();
  v.view.setBounds(50, 40);
  EXPECT_EQ(v.view.backSurface()->width(), 50);
  EXPECT_EQ(v.view.backSurface()->height(), 40);
  EXPECT_EQ(v.view.primarySurface()->width(), 50);
  EXPECT_EQ(v.view.primarySurface()->height(), 40);
  EXPECT_TRUE(v.view.readyToDraw());

  v.view.setAutoSize(false);
  v.view.setBounds(70, 30);
  EXPECT_EQ(v.view.backSurface()->width(), 50);  // the surface keeps its size
  EXPECT_EQ(v.view.primarySurface()->width(), 70);
  v.view.setAutoSize(true);  // switching it on takes the control's size
  EXPECT_EQ(v.view.backSurface()->width(), 70);
  EXPECT_EQ(v.view.backSurface()->height(), 30);
}

TEST(DXDraw, LoadingStoresTheSurfaceSizeUntilLoaded) {
  TDXDraw view(std::make_shared<platform::SurfaceService>());
  view.beginLoading();
  view.setSurfaceWidth(121);
  view.setSurfaceHeight(271);
  view.setBounds(200, 100);
  EXPECT_EQ(view.surfaceWidth(), 121);
  view.loaded();
  EXPECT_EQ(view.surfaceWidth(), 200);  // AutoSize: the control's size
  EXPECT_EQ(view.surfaceHeight(), 100);
}

TEST(DXDraw, PaintPresentsOnceInitialised) {
  ViewerView v;
  v.view.paint();
  EXPECT_EQ(v.host.presentedCount, 0);
  v.view.formShown();
  ASSERT_TRUE(v.view.backSurface()->fill(0x00010203));
  const int before = v.host.presentedCount;
  v.view.paint();
  EXPECT_EQ(v.host.presentedCount, before + 1);
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0x00010203));
}

TEST(DXDraw, AutoInitializeOffLeavesTheShowAlone) {
  ViewerView v;
  v.view.setAutoInitialize(false);
  v.view.formShown();
  EXPECT_FALSE(v.view.isInitialized());
  v.view.initialize();
  EXPECT_TRUE(v.view.readyToDraw());
}

TEST(DXDraw, SixteenBitDisplay) {
  ViewerView v(PixelFormat::rgb565());
  v.view.formShown();
  ASSERT_TRUE(v.view.readyToDraw());
  EXPECT_EQ(v.view.backSurface()->format(), PixelFormat::rgb565());
  ASSERT_TRUE(v.view.backSurface()->fill(0xF81F));
  v.view.present();
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0xF81F));
}

}  // namespace
}  // namespace patapata
