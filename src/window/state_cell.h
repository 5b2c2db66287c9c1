#pragma once

#include "player/frame_recipe.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace patapata {

struct Character;
class Surface;

/// One state in the window of every state: its caption and the pictures of its frames. Each
/// frame is composed once and kept as a picture, so that playing on costs a copy of that picture
/// where the frame changed and nothing where it did not: many views of a few frames each cost
/// little more than the main view. StatesCanvas lays the cells out and paints them.
class StateCell {
 public:
  /// The pictures a cell keeps; a longer sequence composes the frames beyond it again.
  static constexpr std::size_t kKeptFrames = 64;

  explicit StateCell(int32_t state) : state_(state) {}

  int32_t state() const { return state_; }
  /// Its number and, for a state of the table, its caption in the window's language.
  QString caption() const;
  /// True when a click plays it; a state without a button is shown only.
  bool hasButton() const;

  /// Makes `frame` of the state the picture shown, composed on `scratch` (the view's size) when
  /// no kept picture has its recipe. Returns where the picture shown changed, in its own pixels:
  /// empty when it already was that frame, all of it when nothing was shown before.
  QRect show(const Character& character, int32_t frame, Surface& scratch);
  /// The picture shown, or null before the first (or when composing failed).
  const QImage* picture() const;

  /// The smallest rectangle outside which `to` equals `from`, 32-bit pictures of one size
  /// (else all of `to`); empty when they are equal. Only it is repainted.
  static QRect difference(const QImage& from, const QImage& to);

 private:
  struct Kept {
    FrameRecipe recipe;
    QImage picture;
  };
  /// Where the kept picture `to` differs from `from`, in the picture's pixels: a sequence shows
  /// its frames in the same order on every pass, so each comparison is made once.
  struct Step {
    std::size_t from;
    std::size_t to;
    QRect changed;
  };

  QRect changeBetween(std::size_t from, std::size_t to);

  int32_t state_;
  std::vector<Kept> kept_;
  std::vector<Step> steps_;
  std::size_t nextReplaced_ = 0;
  /// The kept picture shown, or none yet.
  std::ptrdiff_t shown_ = -1;
};

}  // namespace patapata
