#include "window/states_canvas.h"

#include "character/character.h"
#include "player/all_states_playback.h"
#include "window/window_text.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace patapata {

namespace {

// Around the views, between them, and around the caption and picture inside a view.
constexpr int kOuterMargin = 9;
constexpr int kSpacing = 6;
constexpr int kMargin = 2;

}  // namespace

StatesCanvas::StatesCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("allStatesCanvas"));
  // Every pixel is painted from the captions' picture or a frame.
  setAttribute(Qt::WA_OpaquePaintEvent);
  relabel();
}

int StatesCanvas::viewPitch(int zoom) {
  return kViewWidth * zoom + 2 * kMargin + kSpacing;
}

QSize StatesCanvas::viewSize() const {
  return {kViewWidth * zoom_ + 2 * kMargin, kViewHeight * zoom_ + captionHeight_ + 2 * kMargin};
}

QRect StatesCanvas::viewRect(std::size_t index) const {
  const QSize size = viewSize();
  const auto column = static_cast<int>(index % static_cast<std::size_t>(columns_));
  const auto row = static_cast<int>(index / static_cast<std::size_t>(columns_));
  return {QPoint(kOuterMargin + column * (size.width() + kSpacing),
                 kOuterMargin + row * (size.height() + kSpacing)),
          size};
}

QSize StatesCanvas::wantedSize() const {
  const auto count = static_cast<int>(cells_.size());
  const int columns = std::clamp(count, 1, columns_);
  const int rows = std::max(1, (count + columns_ - 1) / columns_);
  const QSize view = viewSize();
  return {2 * kOuterMargin + columns * view.width() + (columns - 1) * kSpacing,
          2 * kOuterMargin + rows * view.height() + (rows - 1) * kSpacing};
}

void StatesCanvas::arrange(const std::vector<StatePlay>& plays, int zoom, int columns) {
  zoom_ = std::max(1, zoom);
  columns_ = std::max(1, columns);
  cells_.clear();
  for (const StatePlay& play : plays) cells_.emplace_back(play.state);
  relabel();
}

void StatesCanvas::relabel() {
  captionHeight_ = fontMetrics().height() + kMargin;
  setFixedSize(wantedSize());
  pictures_ = QRegion();
  pictureRects_.clear();
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    pictureRects_.emplace_back(viewRect(i).topLeft() + QPoint(kMargin, kMargin + captionHeight_),
                               QSize(kViewWidth * zoom_, kViewHeight * zoom_));
    pictures_ += pictureRects_.back();
  }
  const qreal ratio = devicePixelRatioF();
  labels_ = QPixmap(size() * ratio);
  labels_.setDevicePixelRatio(ratio);
  labels_.fill(palette().color(QPalette::Window));
  QPainter painter(&labels_);
  painter.setPen(palette().color(QPalette::WindowText));
  const int height = captionHeight_;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    const QRect view = viewRect(i);
    painter.drawText(
        QRect(view.left() + kMargin, view.top() + kMargin, view.width() - 2 * kMargin, height),
        Qt::AlignLeft | Qt::AlignVCenter, cells_[i].caption());
  }
  update();
}

void StatesCanvas::showFrames(const Character& character, const std::vector<StatePlay>& plays,
                              Surface& scratch) {
  QRegion changed;
  const std::size_t count = std::min(plays.size(), cells_.size());
  for (std::size_t i = 0; i < count; ++i) {
    const QRect in = cells_[i].show(character, plays[i].frame, scratch);
    if (in.isEmpty()) continue;
    changed += QRect(pictureRects_[i].topLeft() + in.topLeft() * zoom_, in.size() * zoom_);
  }
  if (!changed.isEmpty()) update(changed);
}

std::ptrdiff_t StatesCanvas::indexAt(QPoint point) const {
  if (cells_.empty() || point.x() < kOuterMargin || point.y() < kOuterMargin) return -1;
  const QSize view = viewSize();
  const int column = (point.x() - kOuterMargin) / (view.width() + kSpacing);
  const int row = (point.y() - kOuterMargin) / (view.height() + kSpacing);
  if (column >= columns_) return -1;
  const auto index = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                     static_cast<std::size_t>(column);
  if (index >= cells_.size() || !viewRect(index).contains(point)) return -1;
  return static_cast<std::ptrdiff_t>(index);
}

int32_t StatesCanvas::stateAt(QPoint point) const {
  const std::ptrdiff_t index = indexAt(point);
  return index < 0 ? -1 : cells_[static_cast<std::size_t>(index)].state();
}

QRect StatesCanvas::pictureRect(int32_t state) const {
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    if (cells_[i].state() == state) return pictureRects_[i];
  }
  return {};
}

void StatesCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRegion& region = event->region();
  // Drawn a rectangle at a time: clipped to one rectangle, a picture is copied as it is, where
  // a clip of several rectangles draws it span by span, handing rows to a thread pool. A tick
  // repaints pictures only; the captions are drawn where an expose or a new layout reaches.
  for (const QRect& rest : region.subtracted(pictures_)) {
    painter.setClipRect(rest);
    painter.drawPixmap(0, 0, labels_);
  }
  const QRect bounds = region.boundingRect();
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    const QRect& target = pictureRects_[i];
    if (!bounds.intersects(target)) continue;
    // The part of the picture repainted: one rectangle after a tick, which differs from the
    // last frame in one.
    QRect part;
    for (const QRect& area : region) part |= area & target;
    if (part.isEmpty()) continue;
    painter.setClipRect(part);
    // Each pixel a sharp block, as in the main view.
    if (const QImage* picture = cells_[i].picture(); picture != nullptr) {
      painter.drawImage(target, *picture);
    } else {
      painter.fillRect(target, Qt::black);
    }
  }
}

bool StatesCanvas::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::LanguageChange || type == QEvent::FontChange ||
      type == QEvent::PaletteChange) {
    relabel();
  }
  if (type == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    const int32_t state = stateAt(press->position().toPoint());
    if (press->button() == Qt::LeftButton && state >= 0 && onStateClicked) {
      onStateClicked(state);
      event->accept();
      return true;
    }
  }
  if (type == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::ptrdiff_t index = indexAt(help->pos());
    if (index < 0) {
      QToolTip::hideText();
      event->ignore();
      return true;
    }
    const StateCell& cell = cells_[static_cast<std::size_t>(index)];
    QToolTip::showText(
        help->globalPos(),
        cell.hasButton()
            ? ui(QT_TRANSLATE_NOOP("MainWindow", "クリックするとメインウィンドウで再生します"))
            : ui(QT_TRANSLATE_NOOP("MainWindow", "ボタンのない状態です（表示のみ）")),
        this, viewRect(static_cast<std::size_t>(index)));
    return true;
  }
  return QWidget::event(event);
}

}  // namespace patapata
