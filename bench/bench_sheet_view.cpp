// The sheet view on Qt's offscreen platform: painting a 4096 × 4096 sheet at each zoom, the
// whole view or only the part a frame's marks expose; converting a sheet for painting, which
// happens once a load; and what following the frame allocates per frame.
#include "player/animation.h"
#include "support/allocation_watch.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/sheet_view.h"
#include "window/sheet_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace patapata {
namespace {

constexpr int32_t kSide = 4096;
constexpr int32_t kCell = 256;  // 16 × 16 cells, 255 of them cels
constexpr uint32_t kKey = 0x00FF00FF;
const QSize kViewport(1280, 960);

// Round sprites on magenta, one a cell, as a sprite sheet is.
std::shared_ptr<const SheetPicture> makeSheet(platform::SurfaceService& service, uint32_t seed) {
  auto surface = service.createSurface(kSide, kSide, platform::Memory::system);
  std::mt19937 random(seed);
  for (int32_t y = 0; y < kSide; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(surface->row(y));
    for (int32_t x = 0; x < kSide; ++x) row[x] = kKey;
  }
  for (int32_t cy = 0; cy < kSide / kCell; ++cy) {
    for (int32_t cx = 0; cx < kSide / kCell; ++cx) {
      const int32_t r = 60 + static_cast<int32_t>(random() % 60);
      for (int32_t dy = -r; dy <= r; ++dy) {
        auto* row = reinterpret_cast<uint32_t*>(surface->row(cy * kCell + kCell / 2 + dy));
        for (int32_t dx = -r; dx <= r; ++dx) {
          if (dx * dx + dy * dy <= r * r) {
            row[cx * kCell + kCell / 2 + dx] = 0x00204060u + uint32_t((dx + dy) & 0x3F) * 0x010101u;
          }
        }
      }
    }
  }
  return std::make_shared<const SheetPicture>(std::move(surface), kKey);
}

std::array<CelRect, kCelCount> gridCels() {
  std::array<CelRect, kCelCount> cels{};
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    cels[cel] = {(cel % 16) * kCell, (cel / 16) * kCell, kCell, kCell};
  }
  return cels;
}

platform::SurfaceService& service() {
  static platform::SurfaceService service;
  return service;
}

SheetView& sheetView() {
  static SheetView* view = [] {
    auto* v = new SheetView;
    v->resize(kViewport);
    v->setPicture(makeSheet(service(), 1));
    v->setCels(gridCels(), sheet_slicing::CelBase::Hexadecimal, {});
    v->setFrameCels(FrameCels{.pattern = 17,
                              .layer = 18,
                              .destination = 19,
                              .landing = Rect{kCell + 40, kCell + 40, kCell + 64, kCell + 64}});
    v->show();
    QApplication::processEvents();
    return v;
  }();
  return *view;
}

void scrollToMiddle(SheetView& view) {
  for (QScrollBar* bar : {view.horizontalScrollBar(), view.verticalScrollBar()}) {
    bar->setValue((bar->minimum() + bar->maximum()) / 2);
  }
  QApplication::processEvents();
}

// Arguments: the zoom (0 the fitted one), and whether a slicing of 64 × 64 cells is shown.
void BM_PaintTheWholeView(benchmark::State& state) {
  SheetView& view = sheetView();
  view.setZoom(static_cast<int>(state.range(0)));
  if (state.range(1) != 0) {
    std::vector<Rect> rects;
    std::vector<int32_t> numbers;
    for (int32_t y = 0; y < kSide; y += 64) {
      for (int32_t x = 0; x < kSide; x += 64) rects.push_back({x, y, x + 64, y + 64});
    }
    for (int32_t n = 1; n <= 255; ++n) numbers.push_back(n);
    view.setPreview(std::move(rects), numbers, sheet_slicing::CelBase::Hexadecimal);
  }
  scrollToMiddle(view);
  for (auto _ : state) view.viewport()->repaint();
  view.clearPreview();
  state.counters["scale"] = view.scale();
  state.counters["Mpixel_shown"] = double(kViewport.width()) * kViewport.height() / 1e6;
}
BENCHMARK(BM_PaintTheWholeView)
    ->ArgsProduct({{SheetView::kFit, 1, 2, 4, 8}, {0}})
    ->Args({SheetView::kFit, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// Only what a frame's marks cover is painted when they move: a cel's area and its label.
void BM_PaintWhatTheMarksExpose(benchmark::State& state) {
  SheetView& view = sheetView();
  view.setZoom(static_cast<int>(state.range(0)));
  scrollToMiddle(view);
  const int side = static_cast<int>(kCell * view.scale()) + 60;
  const QRect area(kViewport.width() / 2 - side / 2, kViewport.height() / 2 - side / 2, side, side);
  for (auto _ : state) view.viewport()->repaint(area);
  state.counters["Mpixel_shown"] = double(area.intersected(QRect({}, kViewport)).width()) *
                                   area.intersected(QRect({}, kViewport)).height() / 1e6;
}
BENCHMARK(BM_PaintWhatTheMarksExpose)
    ->Arg(SheetView::kFit)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

// Once a load: the sheet made into the picture Qt paints.
void BM_ConvertASheetForPainting(benchmark::State& state) {
  const std::array<std::shared_ptr<const SheetPicture>, 2> sheets{makeSheet(service(), 2),
                                                                  makeSheet(service(), 3)};
  SheetView view;
  std::size_t i = 0;
  for (auto _ : state) view.setPicture(sheets[i++ % 2]);
}
BENCHMARK(BM_ConvertASheetForPainting)->Unit(benchmark::kMillisecond);

// The main window playing the sample with its sheet window open; each iteration is a frame:
// the player advances and the sheet window follows it. Allocations are counted in the
// following alone (frameCelsOf, the comparisons, the marks moved) — and separately what
// Qt's own invalidation of a changed area allocates, which the marks cannot avoid.
void BM_FollowTheFrame(benchmark::State& state) {
  IdleLoop idleLoop;
  MainWindow form(idleLoop, std::make_shared<platform::SurfaceService>(),
                  {PATAPATA_SAMPLE_CHARACTER},
                  std::make_unique<Preferences>(QDir::tempPath() + "/patapata-sheet-bench.ini"));
  form.show();
  QElapsedTimer waited;
  waited.start();
  while (!form.viewer().characterLoaded && waited.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (!form.viewer().characterLoaded) {
    state.SkipWithError("the sample did not load");
    return;
  }
  form.findChild<QAction*>(QStringLiteral("pauseItem"))->trigger();
  form.findChild<QAction*>(QStringLiteral("sheetItem"))->trigger();
  SheetWindow* sheet = form.findChild<SheetWindow*>();
  QApplication::processEvents();
  Viewer& viewer = form.viewer();
  // Joy 1: pattern, layer and destination all change from frame to frame.
  selectState(viewer.player, 6);
  long following = 0;
  long invalidating = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    advanceAndEnd(viewer.player, viewer.character, LoopSwitches{});
    {
      const testing::AllocationWatch watch;
      sheet->follow();
      following += watch.count();
    }
    state.PauseTiming();
    QApplication::processEvents();  // the paint, as the event loop runs it
    {
      const testing::AllocationWatch watch;
      sheet->view().viewport()->update(QRect(0, 0, 8, 8));
      invalidating += watch.count();
    }
    QApplication::processEvents();
    ++frames;
    state.ResumeTiming();
  }
  state.counters["allocs_per_frame"] = double(following) / double(frames);
  state.counters["qt_update_allocs"] = double(invalidating) / double(frames);
  // What following allocates beyond the one invalidation Qt makes of a changed area.
  state.counters["own_allocs_per_frame"] = double(following - invalidating) / double(frames);
}
// A fixed count: the paused event processing would otherwise stretch the run to minutes.
BENCHMARK(BM_FollowTheFrame)->Iterations(600)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace patapata

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
