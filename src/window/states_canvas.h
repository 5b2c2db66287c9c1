#pragma once

#include "window/state_cell.h"

#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace patapata {

struct Character;
struct StatePlay;
class Surface;

/// The views of the window of every state, in rows: each state's number and caption over its
/// frame, at the main window's zoom. One widget paints them all, the captions from a picture
/// made once, so that a tick costs one update covering the pictures that changed, and nothing
/// when none did.
class StatesCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit StatesCanvas(QWidget* parent = nullptr);

  /// The width a view takes beside the next at `zoom`: how many fit in a row.
  static int viewPitch(int zoom);

  /// A view for each of `plays`, in their order, `columns` a row, at `zoom`; the pictures are
  /// composed again.
  void arrange(const std::vector<StatePlay>& plays, int zoom, int columns);
  /// Shows each play's frame, one for each view as arranged.
  void showFrames(const Character& character, const std::vector<StatePlay>& plays,
                  Surface& scratch);

  std::size_t viewCount() const { return cells_.size(); }
  /// The state of the view at `point`, its caption included, or -1 outside every view.
  int32_t stateAt(QPoint point) const;
  /// Where the frame of `state` lies, or an empty rectangle when it has no view.
  QRect pictureRect(int32_t state) const;

  /// Called with a state whose view was clicked.
  std::function<void(int32_t state)> onStateClicked;

 protected:
  /// A left click plays the view's state, the tip under the pointer tells whether a click
  /// plays it, and a new language, font or palette draws the captions again.
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  /// Lays the views out for the font, sizes the widget to them and draws the captions again.
  void relabel();
  std::ptrdiff_t indexAt(QPoint point) const;
  QRect viewRect(std::size_t index) const;
  QSize viewSize() const;
  /// The size that holds every view; the widget keeps it.
  QSize wantedSize() const;

  std::vector<StateCell> cells_;
  int zoom_ = 1;
  int columns_ = 1;
  /// The caption's height in the font; kept, since the font's metrics are slow to ask.
  int captionHeight_ = 0;
  /// Where each view's picture lies, in the order of the views.
  std::vector<QRect> pictureRects_;
  /// The background and captions of every view, drawn where a paint reaches past the pictures.
  QPixmap labels_;
  QRegion pictures_;
};

}  // namespace patapata
