#include "export/headless_player.h"

#include "character/state_table.h"
#include "export/export_error.h"

#include "player/animation.h"
#include "player/frame_composer.h"
#include "player/frame_loop.h"
#include "surfaces/surface.h"

#include <cstring>

namespace patapata::exporting {

HeadlessPlayer::HeadlessPlayer(HeadlessSession& session)
    : session_(session), view_(session.service(), kViewWidth, kViewHeight) {
  view_.setHost(&host_);
  view_.initialize();

  FrameLoopHooks hooks;
  hooks.clock = [this] { return virtualNow_; };
  // The clock jumps to the deadline the tick asks to be woken at.
  hooks.wakeAfter = [this](uint32_t ms) { virtualNow_ += ms; };
  loop_ =
      std::make_unique<FrameLoop>(session_.viewer(), session_.controls(), view_, std::move(hooks));
  loop_->startClock();
}

HeadlessPlayer::~HeadlessPlayer() {
  view_.finalize();
}

bool HeadlessPlayer::selectState(int32_t state) {
  if (stateInfo(state) == nullptr) return false;
  // For the check state this is the check button's last step only: the button would first
  // refill row 30 from the pattern edits, which are empty here, and the file's own row 30 is
  // what is asked for.
  patapata::selectState(session_.viewer().player, state);
  return true;
}

int32_t HeadlessPlayer::onePassTicks() const {
  return session_.character().sequenceLength(session_.viewer().player.state);
}

TickRecord HeadlessPlayer::tick() {
  bool done = true;
  // The first tick finds the frame not yet due and moves the clock to its deadline.
  for (int i = 0; i < 2 && done; ++i) loop_->tick(done);
  if (done || view_.backSurface() == nullptr) {
    throw ExportError("the view could not draw tick " + std::to_string(ticks_ + 1));
  }
  const Character& character = session_.character();
  const Player& player = session_.viewer().player;
  const int32_t s = player.state;
  const int32_t f = player.frame;
  return TickRecord{++ticks_,
                    s,
                    f,
                    player.caption,
                    character.entry(Sequence::Pattern, s, f),
                    character.entry(Sequence::Layer, s, f),
                    character.entry(Sequence::Destination, s, f)};
}

Surface& HeadlessPlayer::backSurface() const {
  return *view_.backSurface();
}

QImage surfaceImage(Surface& surface) {
  const PixelFormat format = surface.format();
  const int32_t bytes = format.bytesPerPixel();
  QImage image(surface.width(), surface.height(), QImage::Format_RGB32);
  LockDescription lock;
  if (image.isNull() || !surface.lock(nullptr, lock)) return {};
  for (int32_t y = 0; y < surface.height(); ++y) {
    const uint8_t* row = lock.bits + static_cast<std::ptrdiff_t>(y) * lock.pitch;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < surface.width(); ++x) {
      uint32_t raw = 0;
      std::memcpy(&raw, row + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
      out[x] = 0xFF000000u | format.toRgb(raw);
    }
  }
  surface.unlock();
  return image;
}

}  // namespace patapata::exporting
