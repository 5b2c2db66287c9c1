#include "player/presentation.h"

#include "character/character.h"
#include "player/frame_composer.h"
#include "player/player.h"
#include "surfaces/draw_context.h"
#include "surfaces/lock_description.h"
#include "surfaces/pixel_mix.h"
#include "surfaces/pixel_rows.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/surface.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace patapata {

namespace {

// The current frame keeps half, each neighbour a quarter: a third of the previous frame over
// it, then a quarter of the next over that.
constexpr int32_t kFirstOfTwo = 85;
constexpr int32_t kSecondOfTwo = 64;

// Holds a surface locked while it lives; `ok` says whether the lock was granted.
class Locked {
 public:
  explicit Locked(Surface& surface) : surface_(surface), ok_(surface.lock(nullptr, pixels_)) {}
  ~Locked() {
    if (ok_) surface_.unlock();
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

  bool ok() const { return ok_; }
  const LockDescription& pixels() const { return pixels_; }

 private:
  Surface& surface_;
  LockDescription pixels_;
  bool ok_;
};

/// The rows of three locked surfaces the size of `target`, `over` put on `under` into `dst`.
pixel_rows::RowTriple rowsOf(const Locked& dst, const Locked& under, const Locked& over,
                             const Surface& target) {
  return {.dst = dst.pixels().bits,
          .dstPitch = dst.pixels().pitch,
          .under = under.pixels().bits,
          .underPitch = under.pixels().pitch,
          .over = over.pixels().bits,
          .overPitch = over.pixels().pitch,
          .width = target.width(),
          .height = target.height()};
}

bool sameSize(const Surface& a, const Surface& b) {
  return a.width() == b.width() && a.height() == b.height() && a.format() == b.format();
}

Rect wholeOf(const Surface& surface) {
  return Rect{0, 0, surface.width(), surface.height()};
}

}  // namespace

Presentation::Presentation() = default;
Presentation::~Presentation() = default;

int32_t Presentation::neighbour(const Character& character, int32_t state, int32_t frame,
                                int32_t step) {
  const int32_t length = character.sequenceLength(state);
  const int32_t next = std::max(frame, 1) + step;
  if (next < 1) return length;
  if (next > length) return 1;
  return next;
}

bool Presentation::prepare(Surface& back) {
  const DrawContext* context = back.context();
  if (context == nullptr) return false;
  if (checkerboard_ && checkerboard_->context() == context && sameSize(*checkerboard_, back)) {
    return true;
  }
  // Made once per drawing context: a refusal is not tried again at every frame.
  if (unavailable_ && context_ == context) return false;
  context_ = context;
  unavailable_ = false;
  checkerboard_.reset();
  try {
    for (Slot& slot : slots_) {
      slot = Slot{};
      slot.surface = std::make_unique<Surface>(back.context());
      slot.surface->resize(back.width(), back.height());
    }
    auto board = std::make_unique<Surface>(back.context());
    board->resize(back.width(), back.height());
    Locked pixels(*board);
    if (!pixels.ok() || !sameSize(*board, back)) throw std::exception();
    const PixelFormat& format = pixels.pixels().format;
    const uint32_t light = format.fromRgb(kCheckerLight);
    const uint32_t dark = format.fromRgb(kCheckerDark);
    const int32_t bytes = format.bytesPerPixel();
    for (int32_t y = 0; y < board->height(); ++y) {
      uint8_t* row = pixels.pixels().bits + std::ptrdiff_t{y} * pixels.pixels().pitch;
      for (int32_t x = 0; x < board->width(); ++x) {
        const bool odd = ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 != 0;
        pixel_rows::scalar::store(row + std::ptrdiff_t{x} * bytes, bytes, odd ? dark : light);
      }
    }
    checkerboard_ = std::move(board);
  } catch (const std::exception&) {
    unavailable_ = true;
    for (Slot& slot : slots_) slot = Slot{};
    return false;
  }
  return true;
}

void Presentation::checker(Surface& target, Surface& under, uint32_t key) {
  Locked dst(target);
  Locked board(*checkerboard_);
  Locked frame(under);
  if (!dst.ok() || !board.ok() || !frame.ok()) return;
  pixel_rows::copyKeyedOver(rowsOf(dst, board, frame, target), dst.pixels().format.bytesPerPixel(),
                            key);
}

void Presentation::mix(Surface& target, Surface& under, Surface& over, int32_t weight) {
  Locked dst(target);
  Locked top(over);
  // A mix in place reads the pixels it writes; the surface is locked once.
  std::optional<Locked> bottom;
  if (&under != &target) bottom.emplace(under);
  const Locked& base = bottom ? *bottom : dst;
  if (!dst.ok() || !top.ok() || !base.ok()) return;
  const PixelFormat& format = dst.pixels().format;
  const pixel_rows::RowTriple rows = rowsOf(dst, base, top, target);
  if (format == PixelFormat::rgb565()) {
    pixel_mix::mixRgb565(rows, weight);
  } else if (format.bytesPerPixel() >= 3) {
    pixel_mix::mixBytes(rows, format.bytesPerPixel(), weight);
  } else if (rows.dst != rows.under) {
    // A palette's indices do not mix: such a display shows the frame without its onion skin.
    pixel_rows::copy({.dst = rows.dst,
                      .dstPitch = rows.dstPitch,
                      .src = rows.under,
                      .srcPitch = rows.underPitch,
                      .width = rows.width,
                      .height = rows.height},
                     format.bytesPerPixel());
  }
}

std::size_t Presentation::acquire(const Character& character, int32_t state, int32_t frame,
                                  Surface& back, uint32_t busy) {
  FrameRecipe recipe = recipeOf(character, state, frame);
  const bool checkered = options_.showTransparency;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (slot.valid && slot.checkered == checkered && slot.recipe == recipe) {
      slot.used = ++uses_;
      return i;
    }
  }
  std::size_t chosen = slots_.size();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if ((busy >> i) & 1u) continue;
    if (chosen == slots_.size() || slots_[i].used < slots_[chosen].used) chosen = i;
  }
  Slot& slot = slots_[chosen];
  if (checkered) {
    composeFrame(character, state, frame, back);
    checker(*slot.surface, back, character.sheet.picture->key());
  } else {
    composeFrame(character, state, frame, *slot.surface);
  }
  slot.recipe = std::move(recipe);
  slot.checkered = checkered;
  slot.valid = true;
  slot.used = ++uses_;
  return chosen;
}

void Presentation::compose(const Character& character, const Player& player, Surface& back) {
  const SheetPicture* sheet = character.sheet.picture.get();
  // Frames of a sheet no longer shown would keep its picture alive.
  for (Slot& slot : slots_) {
    if (slot.valid && slot.recipe.sheet.get() != sheet) {
      slot.recipe = FrameRecipe{};
      slot.valid = false;
    }
  }
  const bool onion = options_.onionSkin != OnionSkin::Off;
  if ((!onion && !options_.showTransparency) || sheet == nullptr || !prepare(back)) {
    composeFrame(character, player, back);
    return;
  }
  const int32_t state = player.state;
  const int32_t frame = player.frame;
  if (!onion) {
    // Nothing to keep from one frame to the next: the frame, then the board under its key.
    Slot& scratch = slots_[0];
    scratch.valid = false;
    composeFrame(character, state, frame, *scratch.surface);
    checker(back, *scratch.surface, sheet->key());
    return;
  }
  const std::size_t current = acquire(character, state, frame, back, 0);
  const std::size_t previous =
      acquire(character, state, neighbour(character, state, frame, -1), back, 1u << current);
  Surface& shown = *slots_[current].surface;
  if (options_.onionSkin == OnionSkin::Previous) {
    if (previous == current) {
      back.blit(0, 0, wholeOf(shown), CopyMode::opaque, shown);
    } else {
      mix(back, shown, *slots_[previous].surface, kOnionWeight);
    }
    return;
  }
  const std::size_t next = acquire(character, state, neighbour(character, state, frame, 1), back,
                                   (1u << current) | (1u << previous));
  mix(back, shown, *slots_[previous].surface, kFirstOfTwo);
  mix(back, back, *slots_[next].surface, kSecondOfTwo);
}

}  // namespace patapata
