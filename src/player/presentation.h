#pragma once

#include "player/frame_recipe.h"

#include <array>
#include <cstdint>
#include <memory>

namespace patapata {

struct Character;
struct Player;
class DrawContext;
class Surface;

/// Which neighbours of the frame the onion skin draws over it.
enum class OnionSkin {
  Off,
  Previous,         ///< the frame before, at about 30 %
  PreviousAndNext,  ///< the frames before and after, at a quarter each
};

/// How the view shows a frame beyond the frame itself.
struct PresentationOptions {
  OnionSkin onionSkin = OnionSkin::Off;
  /// The key-coloured pixels of the composed frame, where the sheet is transparent, as a
  /// checkerboard.
  bool showTransparency = false;

  friend bool operator==(const PresentationOptions&, const PresentationOptions&) = default;
};

/// What the view presents of the frame a player is at: the composed frame, or with every option
/// off exactly it, with the transparency shown and the onion skin drawn over it. Only the
/// picture on screen changes: composeFrame, and so the batch modes and every export, stay exact.
/// The frames it draws are kept with their recipes, so that a frame played forward composes
/// only the one frame that is new; once its surfaces exist nothing is allocated.
class Presentation {
 public:
  /// The previous frame's opacity alone, of 256.
  static constexpr int32_t kOnionWeight = 77;
  /// The side of a checkerboard square, in the view's pixels.
  static constexpr int32_t kCheckerSquare = 8;
  static constexpr uint32_t kCheckerLight = 0xFFFFFF;
  static constexpr uint32_t kCheckerDark = 0xCCCCCC;

  Presentation();
  ~Presentation();
  Presentation(const Presentation&) = delete;
  Presentation& operator=(const Presentation&) = delete;

  const PresentationOptions& options() const { return options_; }
  void setOptions(const PresentationOptions& options) { options_ = options; }

  /// Draws on `back` the frame `player` is at as the view shows it. Its surfaces are made
  /// against `back`'s drawing context, at its size, the first time and whenever those change;
  /// when they cannot be made, or without a sheet, the frame is composed plainly.
  void compose(const Character& character, const Player& player, Surface& back);

  /// The frame `step` (-1 or 1) away from `frame` in one pass of the sequence of `state`,
  /// round from its last frame to its first and back.
  static int32_t neighbour(const Character& character, int32_t state, int32_t frame, int32_t step);

 private:
  struct Slot {
    std::unique_ptr<Surface> surface;
    FrameRecipe recipe;
    bool checkered = false;
    bool valid = false;
    uint64_t used = 0;
  };

  /// True when the surfaces fit `back`, made anew if they did not.
  bool prepare(Surface& back);
  /// The slot holding `frame` of `state` as shown, drawn into one that `busy` does not name
  /// when none does; `back` is scratch meanwhile.
  std::size_t acquire(const Character& character, int32_t state, int32_t frame, Surface& back,
                      uint32_t busy);
  /// `target` = `under` with its key-coloured pixels taken from the checkerboard.
  void checker(Surface& target, Surface& under, uint32_t key);
  /// `target` = `under` mixed with `over` at `weight` / 256; `target` may be `under`.
  void mix(Surface& target, Surface& under, Surface& over, int32_t weight);

  PresentationOptions options_;
  std::array<Slot, 3> slots_;
  std::unique_ptr<Surface> checkerboard_;
  /// The drawing context the surfaces were made against, null when they must be made again.
  const DrawContext* context_ = nullptr;
  bool unavailable_ = false;
  uint64_t uses_ = 0;
};

}  // namespace patapata
