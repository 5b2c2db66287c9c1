#pragma once

#include "character/character.h"
#include "character/sheet_slicing.h"
#include "player/frame_cels.h"
#include "surfaces/geometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QStaticText>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace patapata {

class SheetPicture;

/// A sheet shown whole, enlarged 1 to 8 times or fitted to the view, with the character's cels
/// outlined and numbered, the cels of the frame on screen marked, the cels the check warns about
/// marked as such, a slicing's rectangles while it is tried, and a rectangle dragged with the
/// left button. The wheel scrolls (with Ctrl it zooms), the middle button drags the sheet.
class SheetView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  /// The fitted zoom: the whole sheet in the view.
  static constexpr int kFit = 0;
  static constexpr int kMaxZoom = 8;

  explicit SheetView(QWidget* parent = nullptr);

  /// Shows `picture`; converted for painting here, once, when it is not the one shown.
  void setPicture(std::shared_ptr<const SheetPicture> picture);
  const std::shared_ptr<const SheetPicture>& picture() const { return picture_; }

  /// The cels to outline, numbered as the file writes them; `warned` are drawn as warnings.
  /// Nothing is done when they are the ones shown.
  void setCels(const std::array<CelRect, kCelCount>& cels, sheet_slicing::CelBase base,
               const std::bitset<kCelCount>& warned);
  /// No cels: a picture that is no character's yet.
  void clearCels();
  bool hasCels() const { return hasCels_; }
  const std::array<CelRect, kCelCount>& cels() const { return cels_; }
  sheet_slicing::CelBase base() const { return base_; }

  /// Marks the cels of the frame on screen, repainting only what changed; allocates nothing
  /// of its own.
  void setFrameCels(const FrameCels& frame);
  const FrameCels& frameCels() const { return frame_; }

  /// A slicing's rectangles, numbered in order by `numbers` (the rectangles after the last
  /// number get none).
  void setPreview(std::vector<Rect> rects, std::span<const int32_t> numbers,
                  sheet_slicing::CelBase base);
  void clearPreview();

  /// The colour the frame's cel of `role` is marked in.
  static QColor markColour(Sequence role);

  /// 1 to kMaxZoom, or kFit.
  void setZoom(int zoom);
  int zoom() const { return zoom_; }
  /// Screen pixels per sheet pixel.
  double scale() const { return scale_; }
  /// Key-coloured pixels drawn over a checkerboard, or in their own colour.
  void setCheckerboard(bool on);

  /// The rectangle dragged, clipped to the sheet; nothing before a drag.
  const std::optional<Rect>& selection() const { return selection_; }
  void setSelection(const std::optional<Rect>& selection);

  /// Where the centre of the sheet pixel (x, y) is in the viewport.
  QPoint viewportPointOf(int32_t x, int32_t y) const;

 signals:
  /// The pointer is over the sheet pixel `pixel`, or (onSheet false) off the sheet.
  void pointerMoved(QPoint pixel, bool onSheet);
  /// A click, not a drag, on the sheet pixel `pixel`; `cel` is the cel it means (kEmptyCel
  /// for none).
  void clicked(QPoint pixel, int cel);
  /// The dragged rectangle changed; `finished` once the button is let go.
  void selectionChanged(bool finished);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int32_t sheetWidth() const;
  int32_t sheetHeight() const;
  /// The viewport position of the sheet's top-left corner.
  QPointF origin() const;
  QRectF viewportRectOf(const Rect& r) const;
  QRectF viewportRectOf(const CelRect& r) const;
  /// The sheet pixel under a viewport position (may lie off the sheet).
  QPoint pixelAt(const QPointF& position) const;
  bool onSheet(const QPoint& pixel) const;
  void updateScale();
  void updateScrollBars();
  /// Zooms to `zoom` keeping the sheet point under `anchor` (a viewport position) in place.
  void zoomAround(int zoom, const QPointF& anchor);
  /// The viewport area the marks of `frame` cover, labels and thick lines included.
  QRect frameArea(const FrameCels& frame) const;
  QRect markArea(const QRectF& r) const;
  void paintCels(QPainter& painter, const QRect& exposed) const;
  void paintPreview(QPainter& painter, const QRect& exposed) const;
  void paintFrame(QPainter& painter) const;
  void paintSelection(QPainter& painter) const;

  std::shared_ptr<const SheetPicture> picture_;
  /// The picture for painting: key-coloured pixels transparent, so that what lies under them
  /// (the checkerboard, or the key colour) shows.
  QImage image_;
  QColor keyColour_;
  int zoom_ = 1;
  double scale_ = 1.0;
  bool checkerboard_ = true;

  bool hasCels_ = false;
  std::array<CelRect, kCelCount> cels_{};
  sheet_slicing::CelBase base_ = sheet_slicing::CelBase::Decimal;
  std::bitset<kCelCount> warned_;
  std::array<QStaticText, kCelCount> labels_;
  FrameCels frame_;

  std::vector<Rect> preview_;
  std::vector<QStaticText> previewLabels_;

  std::optional<Rect> selection_;
  bool leftDown_ = false;
  bool dragging_ = false;
  QPoint pressPosition_;
  QPoint pressPixel_;
  bool panning_ = false;
  QPoint panStart_;
  QPoint scrollAtPanStart_;
};

}  // namespace patapata
