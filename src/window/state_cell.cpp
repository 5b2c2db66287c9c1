#include "window/state_cell.h"

#include "character/character.h"
#include "character/state_table.h"
#include "export/headless_player.h"
#include "player/frame_composer.h"
#include "surfaces/surface.h"
#include "window/translated_text.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cstring>

namespace patapata {

namespace {

constexpr int kMargin = 2;

}  // namespace

StateCell::StateCell(int32_t state, int zoom, QWidget* parent)
    : QWidget(parent), state_(state), zoom_(zoom) {
  setObjectName(QStringLiteral("stateCell%1").arg(state));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(sizeHint());
  label();
}

StateCell::~StateCell() = default;

int StateCell::captionHeight() const {
  return fontMetrics().height() + kMargin;
}

QRect StateCell::pictureRect() const {
  return {kMargin, kMargin + captionHeight(), kViewWidth * zoom_, kViewHeight * zoom_};
}

QSize StateCell::sizeHint() const {
  return {kViewWidth * zoom_ + 2 * kMargin, kViewHeight * zoom_ + captionHeight() + 2 * kMargin};
}

void StateCell::label() {
  const StateInfo* info = stateInfo(state_);
  const QString number = QString::number(state_);
  caption_ =
      info != nullptr ? number + QLatin1Char(' ') + translated::coreText(info->caption) : number;
  setToolTip(
      info != nullptr
          ? QCoreApplication::translate(
                "MainWindow",
                QT_TRANSLATE_NOOP("MainWindow", "クリックするとメインウィンドウで再生します"))
          : QCoreApplication::translate(
                "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "ボタンのない状態です（表示のみ）")));
  update();
}

void StateCell::show(const Character& character, int32_t frame, Surface& scratch) {
  FrameRecipe recipe = recipeOf(character, state_, frame);
  if (shown_ >= 0 && kept_[static_cast<std::size_t>(shown_)].recipe == recipe) return;
  // Pictures of a sheet no longer shown are let go with it.
  if (!kept_.empty() && kept_.front().recipe.sheet != recipe.sheet) {
    update(pictureRect());
    kept_.clear();
    nextReplaced_ = 0;
    shown_ = -1;
  }
  std::ptrdiff_t found = -1;
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    if (kept_[i].recipe == recipe) found = static_cast<std::ptrdiff_t>(i);
  }
  if (found < 0) {
    composeFrame(character, state_, frame, scratch);
    QImage picture = exporting::surfaceImage(scratch);
    if (picture.isNull()) return;
    if (kept_.size() < kKeptFrames) {
      kept_.push_back({std::move(recipe), std::move(picture), -1, {}});
      found = static_cast<std::ptrdiff_t>(kept_.size() - 1);
    } else {
      found = static_cast<std::ptrdiff_t>(nextReplaced_);
      kept_[nextReplaced_] = {std::move(recipe), std::move(picture), -1, {}};
      // The pictures compared with the one replaced compare again.
      for (Kept& k : kept_) {
        if (k.after == found) k.after = -1;
      }
      nextReplaced_ = (nextReplaced_ + 1) % kKeptFrames;
    }
  }
  Kept& now = kept_[static_cast<std::size_t>(found)];
  if (shown_ < 0) {
    update(pictureRect());
  } else {
    if (now.after != shown_) {
      now.after = shown_;
      now.changed = difference(kept_[static_cast<std::size_t>(shown_)].picture, now.picture);
    }
    const QRect& changed = now.changed;
    update(QRect(pictureRect().topLeft() + changed.topLeft() * zoom_, changed.size() * zoom_));
  }
  shown_ = found;
}

QRect StateCell::difference(const QImage& from, const QImage& to) {
  if (from.size() != to.size() || from.format() != to.format() || to.depth() != 32) {
    return to.rect();
  }
  const auto rowBytes = static_cast<std::size_t>(to.bytesPerLine());
  const auto same = [&](int y) {
    return std::memcmp(from.constScanLine(y), to.constScanLine(y), rowBytes) == 0;
  };
  int top = 0;
  while (top < to.height() && same(top)) ++top;
  if (top == to.height()) return {};
  int bottom = to.height() - 1;
  while (bottom > top && same(bottom)) --bottom;
  // The columns that differ in any of those rows; 32-bit pixels, as surfaceImage makes them.
  int left = to.width();
  int right = -1;
  for (int y = top; y <= bottom; ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(from.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(to.constScanLine(y));
    for (int x = 0; x < left; ++x) {
      if (a[x] != b[x]) {
        left = x;
        break;
      }
    }
    for (int x = to.width() - 1; x > right; --x) {
      if (a[x] != b[x]) {
        right = x;
        break;
      }
    }
  }
  return {QPoint(left, top), QPoint(right, bottom)};
}

void StateCell::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect picture = pictureRect();
  if (!event->region().subtracted(picture).isEmpty()) {
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, captionHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter, caption_);
  }
  if (shown_ < 0) {
    painter.fillRect(picture, Qt::black);
    return;
  }
  // Each pixel a sharp block, as in the main view.
  painter.drawImage(picture, kept_[static_cast<std::size_t>(shown_)].picture);
}

void StateCell::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) label();
  if (event->type() == QEvent::FontChange) setFixedSize(sizeHint());
  QWidget::changeEvent(event);
}

void StateCell::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onClicked) {
    onClicked(state_);
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

}  // namespace patapata
