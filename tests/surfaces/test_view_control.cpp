#include "surfaces/view_control.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace patapata {
namespace {

class FakeHost : public ViewHost {
 public:
  bool inWindow = true;
  int presentedCount = 0;
  bool hasParentWindow() const override { return inWindow; }
  void presented() override { ++presentedCount; }
};

// The view as the main window sets it up: a 121 × 271 back surface in a client area of the
// same size, in a window.
struct ViewerView {
  explicit ViewerView(PixelFormat format = PixelFormat::xrgb8888(), int32_t backWidth = 121,
                      int32_t backHeight = 271)
      : service(std::make_shared<platform::SurfaceService>(format)),
        view(service, backWidth, backHeight) {
    view.setClientSize(121, 271);
    view.setHost(&host);
  }

  std::shared_ptr<platform::SurfaceService> service;
  FakeHost host;
  ViewControl view;
};

bool allPixelsAre(const platform::PlatformSurface& s, uint32_t raw) {
  for (int32_t y = 0; y < s.height(); ++y) {
    for (int32_t x = 0; x < s.width(); ++x) {
      if (s.pixel(x, y) != raw) return false;
    }
  }
  return true;
}

TEST(ViewControl, StartsUninitialisedWithTheClientAreaOfTheBackSurface) {
  ViewControl view(std::make_shared<platform::SurfaceService>(), 121, 271);
  EXPECT_EQ(view.clientWidth(), 121);
  EXPECT_EQ(view.clientHeight(), 271);
  EXPECT_FALSE(view.isInitialized());
  EXPECT_FALSE(view.readyToDraw());
  EXPECT_EQ(view.drawContext(), nullptr);
  EXPECT_EQ(view.primarySurface(), nullptr);
  EXPECT_EQ(view.backSurface(), nullptr);
}

TEST(ViewControl, InitializedOnFirstShowOnly) {
  ViewerView v;
  EXPECT_FALSE(v.view.readyToDraw());
  v.view.windowShown();
  ASSERT_TRUE(v.view.isInitialized());
  EXPECT_TRUE(v.view.readyToDraw());
  ASSERT_NE(v.view.backSurface(), nullptr);
  EXPECT_EQ(v.view.backSurface()->width(), 121);
  EXPECT_EQ(v.view.backSurface()->height(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0));
  ASSERT_NE(v.view.primarySurface()->platformSurface(), nullptr);
  EXPECT_EQ(v.view.primarySurface()->width(), 121);
  EXPECT_EQ(v.view.primarySurface()->height(), 271);
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0));

  Surface* back = v.view.backSurface();
  v.view.windowShown();  // a second show does not initialise again
  EXPECT_EQ(v.view.backSurface(), back);

  v.view.finalize();
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_FALSE(v.view.readyToDraw());
  EXPECT_EQ(v.view.drawContext(), nullptr);
  EXPECT_EQ(v.view.backSurface(), nullptr);
  v.view.finalize();  // finalising twice is harmless
  EXPECT_FALSE(v.view.isInitialized());
}

TEST(ViewControl, PresentCopiesBackSurfaceOneToOne) {
  ViewerView v;
  v.view.windowShown();
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

// A view whose back surface has the given size in the 121 × 271 client area, its primary
// surface filled with a marker so that what present copies stands out.
constexpr uint32_t kMarker = 0x00ABCDEF;

struct PresentCase {
  const char* name;
  int32_t backWidth;
  int32_t backHeight;
  Rect dest;  // where the back surface lands on the primary surface
};

TEST(ViewControl, PresentCentresTheBackSurfaceAndClipsIt) {
  const PresentCase cases[] = {
      {"same size", 121, 271, {0, 0, 121, 271}},
      {"narrower: 10 right", 100, 271, {10, 0, 110, 271}},
      {"wider: 4 left, truncated toward zero", 130, 271, {-4, 0, 126, 271}},
      {"shorter and narrower", 101, 200, {10, 35, 111, 235}},
      {"odd difference, taller", 121, 274, {0, -1, 121, 273}},
      {"larger both ways", 300, 400, {-89, -64, 211, 336}},
  };
  for (const PresentCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerView v(PixelFormat::xrgb8888(), c.backWidth, c.backHeight);
    v.view.windowShown();
    ASSERT_EQ(v.view.backSurface()->width(), c.backWidth);
    ASSERT_EQ(v.view.backSurface()->height(), c.backHeight);
    auto* back = v.view.backSurface()->platformSurface();
    for (int32_t y = 0; y < c.backHeight; ++y) {
      for (int32_t x = 0; x < c.backWidth; ++x) back->setPixel(x, y, uint32_t(1000 * y + x + 1));
    }
    ASSERT_TRUE(v.view.primarySurface()->fill(kMarker));
    v.view.present();

    auto* primary = v.view.primarySurface()->platformSurface();
    int wrong = 0;
    for (int32_t y = 0; y < primary->height(); ++y) {
      for (int32_t x = 0; x < primary->width(); ++x) {
        uint32_t want = kMarker;
        if (x >= c.dest.left && x < c.dest.right && y >= c.dest.top && y < c.dest.bottom) {
          want = uint32_t(1000 * (y - c.dest.top) + (x - c.dest.left) + 1);
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

// A later presentation scales the view; until then a larger widget must not change what is
// drawn: the back surface, which the frame composer draws on, keeps its size.
TEST(ViewControl, BackSurfaceKeepsItsSizeWhenTheClientAreaChanges) {
  ViewerView v;
  v.view.windowShown();
  Surface* back = v.view.backSurface();
  const int before = v.host.presentedCount;
  v.view.setClientSize(141, 301);
  EXPECT_EQ(v.view.backSurface(), back);
  EXPECT_EQ(back->width(), 121);
  EXPECT_EQ(back->height(), 271);
  EXPECT_EQ(v.view.primarySurface()->width(), 141);
  EXPECT_EQ(v.view.primarySurface()->height(), 301);
  EXPECT_GT(v.host.presentedCount, before);
  ASSERT_TRUE(v.view.readyToDraw());

  ASSERT_TRUE(back->fill(0x00010203));
  v.view.present();
  EXPECT_EQ(v.view.primarySurface()->pixelValue(9, 14), 0u);  // outside the centred back
  EXPECT_EQ(v.view.primarySurface()->pixelValue(10, 15), 0x00010203u);
  EXPECT_EQ(v.view.primarySurface()->pixelValue(130, 285), 0x00010203u);
  EXPECT_EQ(v.view.primarySurface()->pixelValue(131, 286), 0u);
}

TEST(ViewControl, RefusedPrimaryOnResizeStopsDrawingUntilOneIsCreated) {
  ViewerView v;
  v.view.windowShown();
  v.view.setClientSize(0, 271);
  EXPECT_FALSE(v.view.readyToDraw());
  v.view.present();  // nothing to draw on; must not fail
  v.view.setClientSize(121, 271);
  EXPECT_TRUE(v.view.readyToDraw());
  v.service->faults().refusePrimary = true;
  v.view.setClientSize(50, 50);
  EXPECT_FALSE(v.view.readyToDraw());
  v.service->faults() = {};
  v.view.initialize();
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_EQ(v.view.primarySurface()->width(), 50);
}

TEST(ViewControl, NothingBeforeTheFirstShow) {
  ViewerView v;
  EXPECT_FALSE(v.view.readyToDraw());
  EXPECT_FALSE(v.view.checkPrimary());
  v.view.present();
  v.view.restoreSurfaces();
  v.view.setClientSize(50, 60);
  EXPECT_EQ(v.host.presentedCount, 0);
  EXPECT_EQ(v.view.primarySurface(), nullptr);
  EXPECT_EQ(v.view.backSurface(), nullptr);
  EXPECT_EQ(v.view.clientWidth(), 50);
  EXPECT_EQ(v.view.clientHeight(), 60);
}

// Records the surface events in the order they fire, with what the view looks like then.
struct EventLog {
  explicit EventLog(ViewControl& view) : view_(view) {
    auto record = [this](const char* name, ViewControl& v) {
      entries.push_back(std::string(name) + (v.readyToDraw() ? " ready" : " not ready"));
    };
    // The viewer's sheet surface lives from one event to the other.
    view.onSurfacesCreated = [this, record](ViewControl& v) {
      record("SurfacesCreated", v);
      sheet = std::make_unique<Surface>(v.drawContext());
      sheet->resize(4, 4);
    };
    view.onSurfacesReleased = [this, record](ViewControl& v) {
      record("SurfacesReleased", v);
      const auto& registered = v.drawContext()->surfaces();
      sheetRegisteredAtRelease =
          std::find(registered.begin(), registered.end(), sheet.get()) != registered.end();
      backHeldAtRelease =
          v.backSurface() != nullptr && v.backSurface()->platformSurface() != nullptr;
      sheet.reset();
    };
  }

  // The handlers point into this log; a view that outlives it must not call them.
  ~EventLog() { view_.onSurfacesCreated = view_.onSurfacesReleased = nullptr; }
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  std::vector<std::string> entries;
  std::unique_ptr<Surface> sheet;
  bool sheetRegisteredAtRelease = false;
  bool backHeldAtRelease = false;

 private:
  ViewControl& view_;
};

TEST(ViewControl, SurfaceEventsOnInitialiseAndFinalise) {
  ViewerView v;
  EventLog log(v.view);
  v.view.windowShown();
  EXPECT_EQ(log.entries, (std::vector<std::string>{"SurfacesCreated ready"}));
  ASSERT_NE(log.sheet, nullptr);
  EXPECT_EQ(log.sheet->context(), v.view.drawContext());

  log.entries.clear();
  v.view.finalize();
  EXPECT_EQ(log.entries, (std::vector<std::string>{"SurfacesReleased not ready"}));
  // The sheet was freed while the drawing context and the back surface still existed.
  EXPECT_TRUE(log.sheetRegisteredAtRelease);
  EXPECT_TRUE(log.backHeldAtRelease);
  EXPECT_EQ(log.sheet, nullptr);

  log.entries.clear();
  v.view.finalize();
  EXPECT_TRUE(log.entries.empty());
}

TEST(ViewControl, ReinitialisingReleasesThenCreatesAgain) {
  ViewerView v;
  EventLog log(v.view);
  v.view.windowShown();
  log.entries.clear();
  v.view.initialize();
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"SurfacesReleased not ready", "SurfacesCreated ready"}));
  EXPECT_TRUE(log.sheetRegisteredAtRelease);
  ASSERT_NE(log.sheet, nullptr);
  EXPECT_EQ(log.sheet->context(), v.view.drawContext());
}

TEST(ViewControl, ASheetStillRegisteredIsReleasedWithTheDrawingContext) {
  ViewerView v;
  std::unique_ptr<Surface> sheet;
  v.view.onSurfacesCreated = [&](ViewControl& view) {
    sheet = std::make_unique<Surface>(view.drawContext());
    sheet->resize(8, 8);
  };
  v.view.windowShown();
  ASSERT_NE(sheet->platformSurface(), nullptr);
  v.view.finalize();
  EXPECT_EQ(sheet->context(), nullptr);
  EXPECT_EQ(sheet->platformSurface(), nullptr);
  EXPECT_EQ(sheet->width(), 0);
}

TEST(ViewControl, NothingDrawsOrRebuildsWhileReleasing) {
  ViewerView v;
  bool readyInside = true;
  int presentedInside = -1;
  v.view.onSurfacesReleased = [&](ViewControl& view) {
    readyInside = view.readyToDraw();
    const int before = v.host.presentedCount;
    view.present();
    view.restoreSurfaces();
    presentedInside = v.host.presentedCount - before;
    view.initialize();  // cannot rebuild under the running finalisation
    EXPECT_TRUE(view.isUpdating());
  };
  v.view.windowShown();
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_FALSE(v.view.isUpdating());
  v.view.finalize();
  EXPECT_FALSE(readyInside);
  EXPECT_EQ(presentedInside, 0);
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_FALSE(v.view.isUpdating());
  EXPECT_EQ(v.view.drawContext(), nullptr);
}

TEST(ViewControl, ReleaseHandlerThatRaisesStillReleasesEverything) {
  ViewerView v;
  v.view.onSurfacesReleased = [](ViewControl&) { throw std::runtime_error("handler failed"); };
  v.view.windowShown();
  EXPECT_THROW(v.view.finalize(), std::runtime_error);
  EXPECT_FALSE(v.view.isInitialized());
  EXPECT_FALSE(v.view.isUpdating());
  EXPECT_EQ(v.view.drawContext(), nullptr);
  EXPECT_EQ(v.view.backSurface(), nullptr);
}

TEST(ViewControl, LostPrimaryIsRestoredAndClearedByTheNextReadyToDraw) {
  ViewerView v;
  EventLog log(v.view);
  v.view.windowShown();
  log.sheet->setSourceKey(0);
  ASSERT_TRUE(v.view.backSurface()->fill(0x00112233));
  log.entries.clear();
  const int presentedBefore = v.host.presentedCount;

  // A display mode change reclaims every surface in display memory.
  v.view.primarySurface()->platformSurface()->markLost();
  v.view.backSurface()->platformSurface()->markLost();
  log.sheet->platformSurface()->markLost();

  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_TRUE(log.entries.empty());  // a restore is no new set of surfaces
  EXPECT_GT(v.host.presentedCount, presentedBefore);
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0));
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0));

  // The sheet is not the view's to restore: copies out of it keep failing.
  EXPECT_TRUE(log.sheet->isLost());
  EXPECT_FALSE(v.view.backSurface()->blit(0, 0, {0, 0, 4, 4}, CopyMode::keyed, *log.sheet));
  EXPECT_EQ(log.sheet->pixelValue(0, 0), 0u);

  // Nothing lost: no further restore, so the back surface keeps what is drawn on it.
  ASSERT_TRUE(v.view.backSurface()->fill(0x00445566));
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0x00445566));
}

TEST(ViewControl, FailedRestoreRepeatsAtTheNextCall) {
  ViewerView v;
  v.view.windowShown();
  ASSERT_TRUE(v.view.backSurface()->fill(0x00112233));
  auto* primary = v.view.primarySurface()->platformSurface();
  primary->markLost();
  primary->setRestoreRefused(true);
  EXPECT_FALSE(v.view.readyToDraw());
  v.view.present();  // draws nothing on a lost primary
  EXPECT_TRUE(primary->isLost());
  EXPECT_FALSE(v.view.readyToDraw());
  // No restore went through, so nothing was cleared.
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0x00112233));
  primary->setRestoreRefused(false);
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_TRUE(allPixelsAre(*primary, 0));
  EXPECT_TRUE(allPixelsAre(*v.view.backSurface()->platformSurface(), 0));
}

TEST(ViewControl, LostBackSurfaceWithoutALostPrimaryIsNotRestored) {
  // Only the primary surface is checked; a lost back surface shows as failed copies.
  ViewerView v;
  v.view.windowShown();
  v.view.backSurface()->platformSurface()->markLost();
  EXPECT_TRUE(v.view.readyToDraw());
  EXPECT_FALSE(v.view.backSurface()->fill(0));
}

struct FailureCase {
  const char* name;
  std::function<void(ViewerView&)> arrange;
  std::string message;
};

TEST(ViewControl, FailedInitialisationReleasesEverything) {
  const FailureCase cases[] = {
      {"primary surface refused", [](ViewerView& v) { v.service->faults().refusePrimary = true; },
       "プライマリサーフェース を作成できません"},
      {"back surface refused in both memories",
       [](ViewerView& v) {
         v.service->faults().refuseDisplayMemory = true;
         v.service->faults().refuseSystemMemory = true;
       },
       "サーフェース を作成できません"},
      {"no platform library", [](ViewerView& v) { v.service->faults().libraryMissing = true; },
       "DDraw.dll を読み込めません"},
      {"display cannot be opened", [](ViewerView& v) { v.service->faults().refuseOpen = true; },
       "DirectDraw を初期化できません"},
      {"no version 6 interface", [](ViewerView& v) { v.service->faults().missingInterface = true; },
       "DirectX 6 以降が必要です"},
      {"not in a window", [](ViewerView& v) { v.host.inWindow = false; },
       "フォームが見つかりません"},
      {"no host at all", [](ViewerView& v) { v.view.setHost(nullptr); },
       "フォームが見つかりません"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerView v;
    EventLog log(v.view);
    c.arrange(v);
    std::string message;
    try {
      v.view.windowShown();
    } catch (const Error& e) {
      message = e.what();
    }
    EXPECT_EQ(message, c.message);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_FALSE(v.view.isInitialized());
    EXPECT_FALSE(v.view.isUpdating());
    EXPECT_FALSE(v.view.readyToDraw());
    EXPECT_EQ(v.view.drawContext(), nullptr);
    EXPECT_EQ(v.view.primarySurface(), nullptr);
    EXPECT_EQ(v.view.backSurface(), nullptr);

    // The show hook does not try again; an explicit call does, and succeeds.
    v.service->faults() = {};
    v.view.setHost(&v.host);
    v.host.inWindow = true;
    v.view.windowShown();
    EXPECT_FALSE(v.view.isInitialized());
    v.view.initialize();
    EXPECT_TRUE(v.view.readyToDraw());
    EXPECT_EQ(v.view.backSurface()->width(), 121);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"SurfacesCreated ready"}));
  }
}

TEST(ViewControl, FailureThrowsTheStatedClasses) {
  {
    ViewerView v;
    v.service->faults().refusePrimary = true;
    EXPECT_THROW(v.view.initialize(), Error);
  }
  {
    ViewerView v;
    v.host.inWindow = false;
    EXPECT_THROW(v.view.initialize(), Error);
  }
  {
    ViewerView v;
    v.service->faults().refuseDisplayMemory = true;
    v.service->faults().refuseSystemMemory = true;
    EXPECT_THROW(v.view.initialize(), Error);
  }
  {
    ViewerView v;
    v.service->faults().refuseOpen = true;
    EXPECT_THROW(v.view.initialize(), Error);
  }
}

TEST(ViewControl, BackSurfaceFallsBackToSystemMemory) {
  ViewerView v;
  v.service->faults().refuseDisplayMemory = true;
  v.view.windowShown();
  ASSERT_TRUE(v.view.readyToDraw());
  EXPECT_TRUE(v.view.backSurface()->isInSystemMemory());
  EXPECT_FALSE(v.view.primarySurface()->isInSystemMemory());
  // The next initialisation asks for display memory again.
  v.service->faults() = {};
  v.view.initialize();
  EXPECT_FALSE(v.view.backSurface()->isInSystemMemory());
}

TEST(ViewControl, SixteenBitDisplay) {
  ViewerView v(PixelFormat::rgb565());
  v.view.windowShown();
  ASSERT_TRUE(v.view.readyToDraw());
  EXPECT_EQ(v.view.backSurface()->format(), PixelFormat::rgb565());
  ASSERT_TRUE(v.view.backSurface()->fill(0xF81F));
  v.view.present();
  EXPECT_TRUE(allPixelsAre(*v.view.primarySurface()->platformSurface(), 0xF81F));
}

}  // namespace
}  // namespace patapata
