#include "window/view_widget.h"

#include "common/errors.h"
#include "surfaces/lock_description.h"
#include "surfaces/surface.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <algorithm>

namespace patapata {

namespace {

// The Qt image format that reads a surface's raw pixels as they are, or Invalid.
QImage::Format imageFormatFor(const PixelFormat& format) {
  if (format == PixelFormat::xrgb8888()) return QImage::Format_RGB32;
  if (format == PixelFormat::rgb565()) return QImage::Format_RGB16;
  if (format.bitsPerPixel == 24 && format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 &&
      format.blueMask == 0x0000FF) {
    return QImage::Format_BGR888;
  }
  return QImage::Format_Invalid;
}

}  // namespace

ViewWidget::ViewWidget(std::shared_ptr<platform::SurfaceService> service, QWidget* parent)
    : QWidget(parent), view_(std::move(service), kViewWidth, kViewHeight) {
  setObjectName(QStringLiteral("view"));
  setFixedSize(kViewWidth, kViewHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  view_.setHost(this);
  watchTopLevel();
}

ViewWidget::~ViewWidget() {
  finalizeView();
  view_.setHost(nullptr);
}

void ViewWidget::setZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, 4);
  setFixedSize(kViewWidth * zoom_, kViewHeight * zoom_);
  update();
}

void ViewWidget::finalizeView() {
  view_.finalize();
  update();
}

bool ViewWidget::hasParentWindow() const {
  return window() != this;
}

void ViewWidget::presented() {
  presentedSincePaint_ = true;
  update();
}

bool ViewWidget::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) watchTopLevel();
  return QWidget::event(event);
}

void ViewWidget::watchTopLevel() {
  QWidget* top = window();
  if (top == watchedWindow_) return;
  if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
  watchedWindow_ = top != this ? top : nullptr;
  if (watchedWindow_ != nullptr) watchedWindow_->installEventFilter(this);
}

bool ViewWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::Show) {
    // An exception must not cross Qt's event dispatch; it is shown here instead, and the
    // view stays blank.
    try {
      view_.windowShown();
    } catch (const std::exception& error) {
      reportError(error);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ViewWidget::reportError(const std::exception& error) {
  if (errorHandler_) {
    errorHandler_(error);
    return;
  }
  QMessageBox::critical(window(), QApplication::applicationDisplayName(),
                        QString::fromStdString(errorBoxText(error.what())));
}

void ViewWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The primary surface stands for the area before it is enlarged.
  view_.setClientSize(event->size().width() / zoom_, event->size().height() / zoom_);
}

void ViewWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  Surface* primary = view_.primarySurface();
  LockDescription pixels;
  if (!view_.isInitialized() || primary == nullptr || !primary->lock(nullptr, pixels)) {
    painter.fillRect(rect(), palette().color(QPalette::Button));
    return;
  }
  const QImage::Format format = imageFormatFor(pixels.format);
  if (format == QImage::Format_Invalid) {
    primary->unlock();
    painter.fillRect(rect(), palette().color(QPalette::Button));
    return;
  }
  const QImage image(static_cast<const uchar*>(pixels.bits), primary->width(), primary->height(),
                     pixels.pitch, format);
  // Each pixel becomes a block of zoom × zoom logical pixels, without smoothing, also on a
  // screen that scales logical pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(0, 0, image.width() * zoom_, image.height() * zoom_), image);
  primary->unlock();
  if (presentedSincePaint_ && onPresentedPaint_) {
    presentedSincePaint_ = false;
    onPresentedPaint_();
  }
}

}  // namespace patapata
