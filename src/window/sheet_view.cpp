#include "window/sheet_view.h"

#include "character/sheet_cels.h"
#include "surfaces/sheet_picture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace patapata {

namespace {

const QColor kOutside(64, 64, 64);
const QColor kCelLine(0, 0, 0);
const QColor kLabelText(255, 255, 255);
const QColor kWarning(224, 0, 0);
const QColor kPreview(0, 200, 200);
const QColor kPatternMark(255, 140, 0);
const QColor kLayerMark(0, 176, 80);
const QColor kDestinationMark(30, 107, 255);
/// The marks of the frame: lines this wide, drawn inside the cel's edge.
constexpr int kMarkWidth = 3;
constexpr int kLabelPadding = 2;

QFont labelFont() {
  QFont font;
  font.setPixelSize(10);
  font.setBold(true);
  return font;
}

QStaticText labelOf(const QString& text) {
  QStaticText label(text);
  label.setTextFormat(Qt::PlainText);
  label.prepare(QTransform(), labelFont());
  return label;
}

// The picture as Qt paints it, made once per picture: opaque colours, key-coloured pixels
// fully transparent.
QImage paintableImage(const SheetPicture& picture) {
  const PixelView pixels = picture.view();
  if (!pixels.isReadable()) return {};
  QImage image(pixels.width, pixels.height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  const uint32_t key = picture.key();
  const PixelFormat format = picture.format();
  const bool plain = format == PixelFormat::xrgb8888();
  for (int32_t y = 0; y < pixels.height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint8_t* row = pixels.row(y);
    for (int32_t x = 0; x < pixels.width; ++x) {
      uint32_t raw = 0;
      if (plain) {
        std::memcpy(&raw, row + std::size_t(x) * 4, 4);
      } else {
        raw = pixels.raw(x, y);
      }
      out[x] = raw == key ? 0u : 0xFF000000u | (plain ? raw & 0xFFFFFFu : format.toRgb(raw));
    }
  }
  return image;
}

QBrush checkerboard() {
  constexpr int kSquare = 8;
  QPixmap tile(2 * kSquare, 2 * kSquare);
  tile.fill(QColor(204, 204, 204));
  QPainter painter(&tile);
  painter.fillRect(0, 0, kSquare, kSquare, QColor(153, 153, 153));
  painter.fillRect(kSquare, kSquare, kSquare, kSquare, QColor(153, 153, 153));
  return QBrush(tile);
}

QPen markPen(const QColor& colour, int width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour, width, style);
  pen.setCosmetic(true);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

// A rectangle's outline `width` pixels wide, inside its edge.
void outline(QPainter& painter, const QRectF& r, const QPen& pen) {
  const qreal inset = pen.widthF() / 2;
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(r.adjusted(inset, inset, -inset, -inset));
}

void label(QPainter& painter, const QPointF& at, const QStaticText& text, const QColor& box,
           const QColor& ink) {
  const QSizeF size = text.size();
  painter.fillRect(QRectF(at, size + QSizeF(2 * kLabelPadding, 0)), box);
  painter.setPen(ink);
  painter.drawStaticText(at + QPointF(kLabelPadding, 0), text);
}

bool fits(const QStaticText& text, const QRectF& r) {
  return text.size().width() + 2 * kLabelPadding <= r.width() && text.size().height() <= r.height();
}

}  // namespace

QColor SheetView::markColour(Sequence role) {
  // In the order of Sequence.
  const std::array<QColor, 3> marks{kPatternMark, kLayerMark, kDestinationMark};
  return marks.at(static_cast<std::size_t>(role));
}

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("sheetView"));
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setSingleStep(16);
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    labels_[cel] = labelOf(QString::number(cel));
  }
}

int32_t SheetView::sheetWidth() const {
  return image_.isNull() ? 0 : image_.width();
}

int32_t SheetView::sheetHeight() const {
  return image_.isNull() ? 0 : image_.height();
}

void SheetView::setPicture(std::shared_ptr<const SheetPicture> picture) {
  if (picture == picture_) return;
  picture_ = std::move(picture);
  image_ = picture_ ? paintableImage(*picture_) : QImage();
  keyColour_ = picture_ ? QColor::fromRgb(picture_->format().toRgb(picture_->key())) : QColor();
  const bool outside =
      selection_ && (selection_->right > sheetWidth() || selection_->bottom > sheetHeight());
  if (outside) selection_.reset();
  updateScale();
  updateScrollBars();
  viewport()->update();
  // What shows the rectangle's figures must not keep those of one the new sheet lacks.
  if (outside) emit selectionChanged(true);
}

void SheetView::setCels(const std::array<CelRect, kCelCount>& cels, sheet_slicing::CelBase base,
                        const std::bitset<kCelCount>& warned) {
  if (hasCels_ && cels == cels_ && base == base_ && warned == warned_) return;
  if (!hasCels_ || base != base_) {
    // Decimal files define cels up to 99 only; a higher one is named in decimal all the same.
    for (int32_t cel = 1; cel < kCelCount; ++cel) {
      const auto text = sheet_slicing::celNumberText(cel, base);
      labels_[cel] = labelOf(text ? QString::fromStdString(*text) : QString::number(cel));
    }
  }
  hasCels_ = true;
  cels_ = cels;
  base_ = base;
  warned_ = warned;
  viewport()->update();
}

void SheetView::clearCels() {
  hasCels_ = false;
  cels_ = {};
  warned_.reset();
  frame_ = FrameCels{};
  viewport()->update();
}

void SheetView::setFrameCels(const FrameCels& frame) {
  if (frame == frame_) return;
  const QRect before = frameArea(frame_);
  frame_ = frame;
  viewport()->update(before.united(frameArea(frame_)));
}

void SheetView::setPreview(std::vector<Rect> rects, std::span<const int32_t> numbers,
                           sheet_slicing::CelBase base) {
  preview_ = std::move(rects);
  previewLabels_.clear();
  for (std::size_t i = 0; i < numbers.size() && i < preview_.size(); ++i) {
    previewLabels_.push_back(labelOf(
        QString::fromStdString(sheet_slicing::celNumberText(numbers[i], base).value_or(""))));
  }
  viewport()->update();
}

void SheetView::clearPreview() {
  if (preview_.empty()) return;
  preview_.clear();
  previewLabels_.clear();
  viewport()->update();
}

void SheetView::setZoom(int zoom) {
  zoomAround(zoom, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void SheetView::setCheckerboard(bool on) {
  if (on == checkerboard_) return;
  checkerboard_ = on;
  viewport()->update();
}

void SheetView::setSelection(const std::optional<Rect>& selection) {
  if (selection == selection_) return;
  QRect area = selection_ ? markArea(viewportRectOf(*selection_)) : QRect();
  selection_ = selection;
  if (selection_) area = area.united(markArea(viewportRectOf(*selection_)));
  viewport()->update(area);
}

QPoint SheetView::viewportPointOf(int32_t x, int32_t y) const {
  const QPointF o = origin();
  return {static_cast<int>(std::floor(o.x() + (x + 0.5) * scale_)),
          static_cast<int>(std::floor(o.y() + (y + 0.5) * scale_))};
}

QPointF SheetView::origin() const {
  const double width = sheetWidth() * scale_;
  const double height = sheetHeight() * scale_;
  const QSize area = viewport()->size();
  // A sheet smaller than the view stands in its middle.
  const double x = width < area.width() ? std::floor((area.width() - width) / 2)
                                        : -horizontalScrollBar()->value();
  const double y = height < area.height() ? std::floor((area.height() - height) / 2)
                                          : -verticalScrollBar()->value();
  return {x, y};
}

namespace {

// Edges on whole screen pixels, so that lines stay sharp at a fitted scale too.
QRectF onPixels(const QPointF& origin, double scale, double left, double top, double width,
                double height) {
  const double x0 = std::round(origin.x() + left * scale);
  const double y0 = std::round(origin.y() + top * scale);
  const double x1 = std::round(origin.x() + (left + width) * scale);
  const double y1 = std::round(origin.y() + (top + height) * scale);
  return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

QRectF SheetView::viewportRectOf(const Rect& r) const {
  return onPixels(origin(), scale_, r.left, r.top, double(r.width()), double(r.height()));
}

QRectF SheetView::viewportRectOf(const CelRect& r) const {
  return onPixels(origin(), scale_, r.x, r.y, r.width, r.height);
}

QPoint SheetView::pixelAt(const QPointF& position) const {
  const QPointF o = origin();
  return {static_cast<int>(std::floor((position.x() - o.x()) / scale_)),
          static_cast<int>(std::floor((position.y() - o.y()) / scale_))};
}

bool SheetView::onSheet(const QPoint& pixel) const {
  return pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < sheetWidth() && pixel.y() < sheetHeight();
}

void SheetView::updateScale() {
  if (zoom_ != kFit) {
    scale_ = zoom_;
    return;
  }
  if (sheetWidth() == 0 || sheetHeight() == 0) {
    scale_ = 1.0;
    return;
  }
  const QSize area = viewport()->size();
  scale_ = std::clamp(
      std::min(double(area.width()) / sheetWidth(), double(area.height()) / sheetHeight()),
      1.0 / 64, double(kMaxZoom));
}

void SheetView::updateScrollBars() {
  const QSize area = viewport()->size();
  const auto fit = [](QScrollBar* bar, double content, int page) {
    bar->setRange(0, std::max(0, static_cast<int>(std::ceil(content)) - page));
    bar->setPageStep(page);
  };
  fit(horizontalScrollBar(), sheetWidth() * scale_, area.width());
  fit(verticalScrollBar(), sheetHeight() * scale_, area.height());
}

void SheetView::zoomAround(int zoom, const QPointF& anchor) {
  zoom = std::clamp(zoom, kFit, kMaxZoom);
  const QPointF o = origin();
  const QPointF sheetPoint((anchor.x() - o.x()) / scale_, (anchor.y() - o.y()) / scale_);
  zoom_ = zoom;
  updateScale();
  updateScrollBars();
  horizontalScrollBar()->setValue(
      static_cast<int>(std::lround(sheetPoint.x() * scale_ - anchor.x())));
  verticalScrollBar()->setValue(
      static_cast<int>(std::lround(sheetPoint.y() * scale_ - anchor.y())));
  viewport()->update();
}

QRect SheetView::markArea(const QRectF& r) const {
  if (r.isEmpty()) return {};
  // The label stands at the top-left corner and may be wider than the rectangle.
  const QRectF labelled = r.united(QRectF(r.topLeft(), QSizeF(48, 16)));
  return labelled.toAlignedRect().adjusted(-kMarkWidth, -kMarkWidth, kMarkWidth, kMarkWidth);
}

QRect SheetView::frameArea(const FrameCels& frame) const {
  QRect area;
  if (isCel(frame.pattern)) area = area.united(markArea(viewportRectOf(cels_[frame.pattern])));
  if (isCel(frame.layer)) area = area.united(markArea(viewportRectOf(cels_[frame.layer])));
  if (frame.landing) area = area.united(markArea(viewportRectOf(*frame.landing)));
  return area;
}

void SheetView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect exposed = event->rect();
  painter.fillRect(exposed, kOutside);
  if (image_.isNull()) return;
  const QRectF sheetArea =
      viewportRectOf(Rect{0, 0, sheetWidth(), sheetHeight()}).intersected(QRectF(exposed));
  if (!sheetArea.isEmpty()) {
    const QPointF o = origin();
    if (checkerboard_) {
      static const QBrush kCheckerboard = checkerboard();
      painter.setBrushOrigin(o);
      painter.fillRect(sheetArea, kCheckerboard);
    } else {
      painter.fillRect(sheetArea, keyColour_);
    }
    // Only the pixels under the exposed part are drawn.
    const int x0 = std::max(0, static_cast<int>(std::floor((sheetArea.left() - o.x()) / scale_)));
    const int y0 = std::max(0, static_cast<int>(std::floor((sheetArea.top() - o.y()) / scale_)));
    const int x1 =
        std::min(sheetWidth(), static_cast<int>(std::ceil((sheetArea.right() - o.x()) / scale_)));
    const int y1 =
        std::min(sheetHeight(), static_cast<int>(std::ceil((sheetArea.bottom() - o.y()) / scale_)));
    if (x0 < x1 && y0 < y1) {
      painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
      painter.drawImage(viewportRectOf(Rect{x0, y0, x1, y1}), image_,
                        QRectF(x0, y0, x1 - x0, y1 - y0));
    }
  }
  paintCels(painter, exposed);
  paintPreview(painter, exposed);
  paintFrame(painter);
  paintSelection(painter);
}

void SheetView::paintCels(QPainter& painter, const QRect& exposed) const {
  if (!hasCels_) return;
  const QPen line = markPen(kCelLine, 1);
  const QPen warning = markPen(kWarning, 2, Qt::DashLine);
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    const CelRect& c = cels_[cel];
    const bool warned = warned_.test(static_cast<std::size_t>(cel));
    const bool hasArea = c.width > 0 && c.height > 0;
    if (!hasArea && !warned) continue;
    QRectF r = viewportRectOf(c);
    if (!hasArea) {
      // No size: a cross where it would begin.
      r = QRectF(r.topLeft() - QPointF(4, 4), QSizeF(9, 9));
    }
    if (!markArea(r).intersects(exposed)) continue;
    if (!hasArea) {
      painter.setPen(markPen(kWarning, 2));
      painter.drawLine(r.topLeft(), r.bottomRight());
      painter.drawLine(r.topRight(), r.bottomLeft());
    } else {
      outline(painter, r, warned ? warning : line);
    }
    label(painter, r.topLeft(), labels_[cel], warned ? kWarning : kCelLine, kLabelText);
  }
}

void SheetView::paintPreview(QPainter& painter, const QRect& exposed) const {
  if (preview_.empty()) return;
  // The outlines in one call, on whole pixels: a slicing may give thousands of rectangles.
  std::vector<QRect> outlines;
  outlines.reserve(preview_.size());
  for (const Rect& rect : preview_) {
    const QRect r = viewportRectOf(rect).toRect();
    if (!r.isEmpty() && r.intersects(exposed)) outlines.push_back(r.adjusted(0, 0, -1, -1));
  }
  painter.setPen(QPen(kPreview, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRects(outlines.data(), static_cast<int>(outlines.size()));
  // A number is shown once its rectangle holds it: thousands of small cells would bury the
  // sheet under numbers no one can read.
  for (std::size_t i = 0; i < previewLabels_.size(); ++i) {
    const QRectF r = viewportRectOf(preview_[i]);
    if (fits(previewLabels_[i], r) && markArea(r).intersects(exposed)) {
      label(painter, r.topLeft(), previewLabels_[i], kPreview, Qt::black);
    }
  }
}

void SheetView::paintFrame(QPainter& painter) const {
  const auto mark = [&](const QRectF& r, const QColor& colour) {
    QColor fill = colour;
    fill.setAlpha(48);
    painter.fillRect(r, fill);
    outline(painter, r, markPen(colour, kMarkWidth));
  };
  if (!hasCels_) return;
  if (isCel(frame_.pattern)) mark(viewportRectOf(cels_[frame_.pattern]), kPatternMark);
  if (isCel(frame_.layer)) mark(viewportRectOf(cels_[frame_.layer]), kLayerMark);
  if (frame_.landing) {
    const QRectF r = viewportRectOf(*frame_.landing);
    mark(r, kDestinationMark);
    if (isCel(frame_.destination) && frame_.destination > 0) {
      label(painter, r.topLeft(), labels_[frame_.destination], kDestinationMark, kLabelText);
    }
  }
}

void SheetView::paintSelection(QPainter& painter) const {
  if (!selection_) return;
  const QRectF r = viewportRectOf(*selection_);
  outline(painter, r, markPen(Qt::white, 1));
  outline(painter, r, markPen(Qt::black, 1, Qt::DashLine));
}

void SheetView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScale();
  updateScrollBars();
}

void SheetView::scrollContentsBy(int dx, int dy) {
  viewport()->scroll(dx, dy);
}

void SheetView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    panning_ = true;
    panStart_ = event->position().toPoint();
    scrollAtPanStart_ = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
    viewport()->setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    leftDown_ = true;
    dragging_ = false;
    pressPosition_ = event->position().toPoint();
    pressPixel_ = pixelAt(event->position());
  }
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pixel = pixelAt(event->position());
  emit pointerMoved(pixel, onSheet(pixel));
  if (panning_) {
    const QPoint moved = event->position().toPoint() - panStart_;
    horizontalScrollBar()->setValue(scrollAtPanStart_.x() - moved.x());
    verticalScrollBar()->setValue(scrollAtPanStart_.y() - moved.y());
    return;
  }
  if (!leftDown_) return;
  if (!dragging_ && (event->position().toPoint() - pressPosition_).manhattanLength() <
                        QApplication::startDragDistance()) {
    return;
  }
  dragging_ = true;
  const Rect dragged{std::max(std::min(pressPixel_.x(), pixel.x()), 0),
                     std::max(std::min(pressPixel_.y(), pixel.y()), 0),
                     std::min(std::max(pressPixel_.x(), pixel.x()) + 1, sheetWidth()),
                     std::min(std::max(pressPixel_.y(), pixel.y()) + 1, sheetHeight())};
  setSelection(dragged.isEmpty() ? std::nullopt : std::optional<Rect>(dragged));
  emit selectionChanged(false);
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && panning_) {
    panning_ = false;
    viewport()->unsetCursor();
    return;
  }
  if (event->button() != Qt::LeftButton || !leftDown_) return;
  leftDown_ = false;
  if (dragging_) {
    dragging_ = false;
    emit selectionChanged(true);
    return;
  }
  if (!onSheet(pressPixel_)) return;
  const int cel =
      hasCels_ ? sheet_cels::celToPick(cels_, pressPixel_.x(), pressPixel_.y()) : kEmptyCel;
  emit clicked(pressPixel_, cel);
}

void SheetView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return;
  // From the fitted scale, the next whole zoom in either direction.
  int zoom = zoom_ == kFit ? (steps > 0 ? static_cast<int>(std::floor(scale_))
                                        : static_cast<int>(std::ceil(scale_)))
                           : zoom_;
  zoom += steps;
  zoomAround(zoom < 1 ? kFit : std::min(zoom, kMaxZoom), event->position());
  event->accept();
}

void SheetView::leaveEvent(QEvent* event) {
  QAbstractScrollArea::leaveEvent(event);
  emit pointerMoved({}, false);
}

}  // namespace patapata
