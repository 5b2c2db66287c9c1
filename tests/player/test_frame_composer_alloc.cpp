#include "player/frame_composer.h"

#include "character/viewer_state.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

// Every allocation of this test program is counted, so a frame that allocates shows.
namespace {
std::atomic<long> allocations{0};

void* countedAlloc(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

void* operator new(std::size_t size) {
  if (void* p = countedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = countedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return countedAlloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return countedAlloc(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

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

  const long before = allocations.load();
  for (int i = 0; i < 10; ++i) {
    back.FillAll(0);
    composeFrame(v, back);
  }
  const long during = allocations.load() - before;
  EXPECT_EQ(during, 0);
  // The layer was drawn, so the frame did reach all three copies.
  EXPECT_NE(back.PixelValue(0, 10), back.PixelValue(0, 9) + 1);
}

}  // namespace
}  // namespace patapata
