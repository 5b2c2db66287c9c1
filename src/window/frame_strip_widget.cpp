#include "window/frame_strip_widget.h"

#include "export/headless_player.h"
#include "player/frame_composer.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace patapata {

namespace {

constexpr int kStep = FrameStripWidget::kPictureWidth + FrameStripWidget::kGap;

QString labelOf(const StripFrame& frame) {
  const QString cel =
      frame.patternCel == kEmptyCel
          ? QStringLiteral("--")
          : QStringLiteral("%1").arg(frame.patternCel, 2, 16, QLatin1Char('0')).toUpper();
  // The caret's still is no frame of a sequence: only its cel.
  return frame.frame == 0 ? cel : QStringLiteral("%1  %2").arg(frame.frame).arg(cel);
}

}  // namespace

FrameStripWidget::FrameStripWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("frameStrip"));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  horizontalScrollBar()->setSingleStep(kStep);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

FrameStripWidget::~FrameStripWidget() = default;

int FrameStripWidget::labelHeight() const {
  return fontMetrics().height();
}

QSize FrameStripWidget::sizeHint() const {
  const int height = kGap + kPictureHeight + 2 + labelHeight() + kGap +
                     horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
  // As wide as three pictures: the window's width comes from its client area.
  return {3 * kStep, height};
}

QSize FrameStripWidget::minimumSizeHint() const {
  return sizeHint();
}

QRect FrameStripWidget::pictureRect(int32_t index) const {
  return {kGap + index * kStep - horizontalScrollBar()->value(), kGap, kPictureWidth,
          kPictureHeight};
}

QImage FrameStripWidget::picture(const Character& character, int32_t state,
                                 const StripFrame& frame) {
  const SheetPicture* sheet = character.sheet.picture.get();
  const PixelFormat format =
      sheet != nullptr && sheet->width() > 0 ? sheet->format() : PixelFormat::xrgb8888();
  if (!service_ || service_->displayFormat() != format) {
    scratch_.reset();
    context_.reset();
    service_ = std::make_shared<platform::SurfaceService>(format);
  }
  if (!scratch_) {
    context_ = std::make_unique<DrawContext>(service_);
    scratch_ = std::make_unique<Surface>(context_.get());
    scratch_->resize(kViewWidth, kViewHeight);
  }
  // The caret's still is every slot of its row; the first is shown.
  composeFrame(character, state, std::max(frame.frame, 1), *scratch_);
  return exporting::surfaceImage(*scratch_).scaled(kPictureWidth, kPictureHeight,
                                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void FrameStripWidget::render(const Character& character, int32_t state, int32_t frame) {
  stripFrames(character, state, next_);
  if (next_ != frames_) {
    std::vector<QImage> pictures(next_.size());
    for (std::size_t i = 0; i < next_.size(); ++i) {
      const auto same = std::find_if(frames_.begin(), frames_.end(), [&](const StripFrame& f) {
        return f.recipe == next_[i].recipe;
      });
      pictures[i] = same != frames_.end()
                        ? pictures_[static_cast<std::size_t>(same - frames_.begin())]
                        : picture(character, state, next_[i]);
    }
    frames_.swap(next_);
    pictures_ = std::move(pictures);
    marked_ = -1;
    updateScrollRange();
    viewport()->update();
  }
  const int32_t mark = stripIndexOf(frames_, frame);
  if (mark == marked_) return;
  if (marked_ >= 0) viewport()->update(pictureRect(marked_).adjusted(-3, -3, 3, 3 + labelHeight()));
  marked_ = mark;
  if (mark < 0) return;
  // The frame on screen stays in sight.
  QScrollBar* bar = horizontalScrollBar();
  const int left = kGap + mark * kStep;
  if (left < bar->value()) {
    bar->setValue(left - kGap);
  } else if (left + kPictureWidth > bar->value() + viewport()->width()) {
    bar->setValue(left + kPictureWidth + kGap - viewport()->width());
  }
  viewport()->update(pictureRect(mark).adjusted(-3, -3, 3, 3 + labelHeight()));
}

void FrameStripWidget::updateScrollRange() {
  const int content = kGap + static_cast<int>(frames_.size()) * kStep;
  QScrollBar* bar = horizontalScrollBar();
  bar->setPageStep(viewport()->width());
  bar->setRange(0, std::max(0, content - viewport()->width()));
}

void FrameStripWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

void FrameStripWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().color(QPalette::Base));
  const int first =
      std::max(0, (event->rect().left() + horizontalScrollBar()->value() - kGap) / kStep);
  for (int32_t i = first; i < static_cast<int32_t>(frames_.size()); ++i) {
    const QRect at = pictureRect(i);
    if (at.left() > event->rect().right()) break;
    painter.drawImage(at.topLeft(), pictures_[static_cast<std::size_t>(i)]);
    const QRect label(at.left() - kGap / 2, at.bottom() + 3, kStep, labelHeight());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                     labelOf(frames_[static_cast<std::size_t>(i)]));
    if (i == marked_) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(at.adjusted(-2, -2, 1, 1));
    }
  }
}

void FrameStripWidget::mousePressEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x() + horizontalScrollBar()->value() - kGap;
  const int index = x >= 0 ? x / kStep : -1;
  if (event->button() != Qt::LeftButton || index < 0 || index >= static_cast<int>(frames_.size()) ||
      x % kStep >= kPictureWidth) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const int32_t frame = frames_[static_cast<std::size_t>(index)].frame;
  if (frame > 0 && onFramePicked) onFramePicked(frame);
  event->accept();
}

}  // namespace patapata
