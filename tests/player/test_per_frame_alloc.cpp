#include "character/character.h"
#include "common/memory_controls.h"
#include "player/all_states_playback.h"
#include "player/frame_loop.h"
#include "player/frame_recipe.h"
#include "player/frame_strip.h"
#include "player/presentation.h"
#include "player/viewer.h"
#include "support/allocation_watch.h"
#include "support/sheet_pictures.h"
#include "surfaces/software_surface.h"
#include "surfaces/view_control.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace patapata {
namespace {

class Host : public ViewHost {
 public:
  bool hasParentWindow() const override { return true; }
  void presented() override {}
};

// The work a window's tick does for its views, each option of the presentation in turn: the
// frame loop with the onion skin and the checkerboard, every state played at once and the
// strip's frames. Catches a per-frame copy of a recipe's sheet, a string or a vector.
TEST(PerFrameAllocation, TheTickOfEveryViewAllocatesNothing) {
  auto service = std::make_shared<platform::SurfaceService>();
  Host host;
  ViewControl view(service, kViewWidth, kViewHeight);
  view.setHost(&host);
  view.initialize();
  auto viewer = std::make_unique<Viewer>();
  Viewer& v = *viewer;
  v.character.sheet.picture = testing::sheetOf(
      *service, 4 * kViewWidth, kViewHeight,
      [](int32_t x, int32_t y) { return static_cast<uint32_t>((x * 7 + y) % 5); }, 0);
  for (int32_t cel = 1; cel <= 4; ++cel) {
    v.character.cels[cel] = {(cel - 1) * kViewWidth, 0, kViewWidth, kViewHeight};
  }
  for (int32_t state : {1, 2, 6, 10}) {
    for (int32_t f = 1; f <= 3 + state % 3; ++f) v.character.pattern[state][f] = 2 + f % 3;
  }
  v.character.layerOn[6] = true;
  v.character.layer[6][1] = 3;
  v.character.layerDest[6][1] = 4;
  v.player.state = 6;
  v.characterLoaded = true;

  MemoryControls controls;
  Presentation presentation;
  AllStatesPlayback all;
  std::vector<StripFrame> strip;
  uint32_t now = 0;
  FrameLoopHooks hooks;
  hooks.clock = [&] { return now; };
  hooks.wakeAfter = [&](uint32_t ms) { now += ms; };
  hooks.compose = [&](const Character& c, const Player& p, Surface& back) {
    presentation.compose(c, p, back);
  };
  hooks.framePlayed = [&](bool advanced) {
    all.follow(v.character, v.player.state == kCheckState);
    if (advanced) all.advance(v.character);
    stripFrames(v.character, v.player.state, strip);
  };
  FrameLoop loop(v, controls, view, std::move(hooks));
  loop.startClockAt(now);

  const PresentationOptions options[] = {
      {},
      {.onionSkin = OnionSkin::Previous},
      {.onionSkin = OnionSkin::PreviousAndNext, .showTransparency = true},
      {.showTransparency = true}};
  const auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      bool done = true;
      while (done) loop.tick(done);
    }
  };
  for (const PresentationOptions& option : options) {
    SCOPED_TRACE(static_cast<int>(option.onionSkin) * 2 + option.showTransparency);
    presentation.setOptions(option);
    frames(3);  // the surfaces are made at the first frame
    const testing::AllocationWatch watch;
    frames(20);
    loop.setPaused(true);
    frames(3);
    loop.setPaused(false);
    EXPECT_EQ(watch.count(), 0);
  }
  EXPECT_EQ(all.plays().size(), 4u);
}

}  // namespace
}  // namespace patapata
