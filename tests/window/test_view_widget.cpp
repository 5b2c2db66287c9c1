#include "window/view_widget.h"

#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace patapata {
namespace {

// One application for the whole test program, as in the viewer.
class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test_view_widget";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr int kViewLeft = 104;

// A top-level window with the view at the main window's position.
struct Form {
  explicit Form(PixelFormat format = PixelFormat::xrgb8888())
      : service(std::make_shared<platform::SurfaceService>(format)),
        view(new ViewWidget(service, &window)) {
    window.resize(240, 300);
    view->move(kViewLeft, 0);
    view->setErrorHandler([this](const std::exception& e) { errors.push_back(e.what()); });
  }

  std::shared_ptr<platform::SurfaceService> service;
  QWidget window;
  ViewWidget* view;  // owned by window
  std::vector<std::string> errors;
};

// A pattern whose every pixel differs from its neighbours, in the display's raw values.
uint32_t patternRaw(const PixelFormat& format, int x, int y) {
  const uint32_t rgb = (uint32_t(x * 2) << 16) | (uint32_t(y) << 8) | uint32_t((x * 7 + y) & 0xFF);
  return format.fromRgb(rgb);
}

class ViewWidgetPresent : public testing::TestWithParam<PixelFormat> {};

TEST_P(ViewWidgetPresent, GrabShowsPresentedPixelsAtTheControlsPosition) {
  const PixelFormat format = GetParam();
  Form form(format);
  form.window.show();
  ASSERT_TRUE(form.errors.empty()) << form.errors.front();
  ViewControl& view = form.view->viewControl();
  ASSERT_TRUE(view.readyToDraw());

  Surface& back = *view.backSurface();
  ASSERT_EQ(back.width(), kViewWidth);
  ASSERT_EQ(back.height(), kViewHeight);
  for (int y = 0; y < back.height(); ++y) {
    for (int x = 0; x < back.width(); ++x)
      back.platformSurface()->setPixel(x, y, patternRaw(format, x, y));
  }
  view.present();

  const QImage shot = form.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_GE(shot.width(), kViewLeft + kViewWidth);
  ASSERT_GE(shot.height(), kViewHeight);
  int mismatches = 0;
  for (int y = 0; y < kViewHeight; ++y) {
    for (int x = 0; x < kViewWidth; ++x) {
      const QRgb expected = 0xFF000000u | format.toRgb(patternRaw(format, x, y));
      if (shot.pixel(kViewLeft + x, y) != expected && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex
                      << shot.pixel(kViewLeft + x, y) << " instead of " << expected;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Left of the control the window's own background shows, not the view.
  EXPECT_NE(shot.pixel(kViewLeft - 1, 0), 0xFF000000u | format.toRgb(patternRaw(format, 120, 0)));
}

INSTANTIATE_TEST_SUITE_P(DisplayFormats, ViewWidgetPresent,
                         testing::Values(PixelFormat::xrgb8888(), PixelFormat::rgb565()),
                         [](const testing::TestParamInfo<PixelFormat>& info) {
                           return "Bits" + std::to_string(info.param.bitsPerPixel);
                         });

bool showsOnly(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != colour) return false;
    }
  }
  return true;
}

TEST(ViewWidget, ButtonFaceBeforeTheWindowIsShownAndAfterFinalisation) {
  Form form;
  const QColor face = form.view->palette().color(QPalette::Button);
  ASSERT_NE(face, QColor(Qt::black));
  EXPECT_FALSE(form.view->viewControl().isInitialized());
  EXPECT_TRUE(showsOnly(form.view->grab().toImage(), face));

  form.window.show();
  ASSERT_TRUE(form.view->viewControl().isInitialized());
  // A fresh view is cleared to 0: black.
  EXPECT_TRUE(showsOnly(form.view->grab().toImage().convertToFormat(QImage::Format_RGB32),
                        QColor(Qt::black)));

  form.view->finalizeView();
  EXPECT_FALSE(form.view->viewControl().isInitialized());
  EXPECT_TRUE(showsOnly(form.view->grab().toImage(), face));
  form.view->finalizeView();  // twice is harmless
}

TEST(ViewWidget, InitialisesOnceOnFirstShow) {
  Form form;
  int initialisations = 0;
  form.view->viewControl().onSurfacesCreated = [&](ViewControl&) { ++initialisations; };
  form.window.show();
  form.window.hide();
  form.window.show();
  EXPECT_EQ(initialisations, 1);
  EXPECT_TRUE(form.view->viewControl().readyToDraw());
}

TEST(ViewWidget, FinalisesBeforeTheWindowsObjectsGo) {
  auto form = std::make_unique<Form>();
  std::vector<std::string> order;
  ViewControl& view = form->view->viewControl();
  view.onSurfacesReleased = [&](ViewControl& v) {
    order.push_back(v.drawContext() != nullptr ? "released, context alive"
                                               : "released, no context");
  };
  form->window.show();
  form.reset();  // destroys the window and, with it, the widget
  EXPECT_EQ(order, (std::vector<std::string>{"released, context alive"}));
}

TEST(ViewWidget, RefusedPrimarySurfaceIsReportedAndLeavesTheViewBlank) {
  Form form;
  form.service->faults().refusePrimary = true;
  form.window.show();
  ASSERT_EQ(form.errors.size(), 1u);
  EXPECT_EQ(form.errors.front(), "プライマリサーフェース を作成できません");
  EXPECT_FALSE(form.view->viewControl().isInitialized());
  EXPECT_FALSE(form.view->viewControl().readyToDraw());
  // The failed attempt is not repeated by a later show.
  form.service->faults().refusePrimary = false;
  form.window.hide();
  form.window.show();
  EXPECT_EQ(form.errors.size(), 1u);
  EXPECT_FALSE(form.view->viewControl().isInitialized());
  EXPECT_TRUE(showsOnly(form.view->grab().toImage(), form.view->palette().color(QPalette::Button)));
}

TEST(ViewWidget, WithoutATopLevelWindowNothingInitialises) {
  ViewWidget lone(std::make_shared<platform::SurfaceService>());
  std::vector<std::string> errors;
  lone.setErrorHandler([&](const std::exception& e) { errors.push_back(e.what()); });
  lone.show();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(lone.viewControl().isInitialized());
  EXPECT_FALSE(lone.hasParentWindow());
}

TEST(ViewWidget, ScaledScreenShowsEachPixelAsABlockWithoutSmoothing) {
  Form form;
  form.window.show();
  Surface& back = *form.view->viewControl().backSurface();
  const PixelFormat format = back.format();
  for (int y = 0; y < back.height(); ++y) {
    for (int x = 0; x < back.width(); ++x) {
      // A checkerboard of extremes: any smoothing would produce values in between.
      back.platformSurface()->setPixel(x, y, ((x + y) % 2 == 0) ? format.fromRgb(0x00FFFFFF) : 0);
    }
  }
  form.view->viewControl().present();

  QImage scaled(2 * kViewWidth, 2 * kViewHeight, QImage::Format_RGB32);
  scaled.setDevicePixelRatio(2);
  form.view->render(&scaled);
  int wrong = 0;
  for (int y = 0; y < scaled.height(); ++y) {
    for (int x = 0; x < scaled.width(); ++x) {
      const QRgb want = ((x / 2 + y / 2) % 2 == 0) ? 0xFFFFFFFFu : 0xFF000000u;
      if (scaled.pixel(x, y) != want && ++wrong <= 3) {
        ADD_FAILURE() << "device pixel (" << x << ", " << y << "): " << std::hex
                      << scaled.pixel(x, y);
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

TEST(ViewWidget, PresentSchedulesARepaint) {
  Form form;
  form.window.show();
  QApplication::processEvents();
  PaintCounter counter;
  form.view->installEventFilter(&counter);
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);  // nothing new to show
  form.view->viewControl().present();
  QApplication::processEvents();
  EXPECT_GE(counter.paints, 1);
  form.view->removeEventFilter(&counter);
}

}  // namespace
}  // namespace patapata
