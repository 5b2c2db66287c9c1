#pragma once

#include "player/frame_recipe.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace patapata {

struct Character;
class Surface;

/// One state in the window of every state: its number and caption over its frame, at the main
/// window's zoom. Each frame is composed once and kept as a picture, so that playing on costs a
/// copy of that picture where the frame changed and nothing where it did not: many views of a
/// few frames each cost little more than the main view.
class StateCell : public QWidget {
  Q_OBJECT

 public:
  /// The pictures a view keeps; a longer sequence composes the frames beyond it again.
  static constexpr std::size_t kKeptFrames = 64;

  StateCell(int32_t state, int zoom, QWidget* parent = nullptr);
  ~StateCell() override;
  StateCell(const StateCell&) = delete;
  StateCell& operator=(const StateCell&) = delete;

  int32_t state() const { return state_; }
  /// Where the frame lies in the cell.
  QRect pictureRect() const;

  /// Shows `frame` of the state, composed on `scratch` (the view's size) when no kept picture
  /// has its recipe; nothing is repainted when the picture already is that frame.
  void show(const Character& character, int32_t frame, Surface& scratch);

  /// Called with the state when the cell is clicked.
  std::function<void(int32_t state)> onClicked;

  QSize sizeHint() const override;

  /// The smallest rectangle outside which `to` equals `from`, 32-bit pictures of one size
  /// (else all of `to`); empty when they are equal. Only it is repainted.
  static QRect difference(const QImage& from, const QImage& to);

 protected:
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Kept {
    FrameRecipe recipe;
    QImage picture;
    /// The kept picture last shown before this one, and where the two differ, in the
    /// picture's pixels: a sequence shows its frames in the same order on every pass, so the
    /// comparison is made once.
    std::ptrdiff_t after = -1;
    QRect changed;
  };

  void label();
  int captionHeight() const;

  int32_t state_;
  int zoom_;
  QString caption_;
  std::vector<Kept> kept_;
  std::size_t nextReplaced_ = 0;
  /// The kept picture shown, or none yet.
  std::ptrdiff_t shown_ = -1;
};

}  // namespace patapata
