#include "window/view_widget.h"

#include "common/errors.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

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
    : QWidget(parent), view_(std::move(service)) {
  setObjectName(QStringLiteral("DXDraw1"));
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);

  // The window's stored properties of DXDraw1.
  using enum ViewOption;
  view_.beginLoading();
  view_.setOptions({doAllowReboot, doCenter, doRetainedMode, doHardware, doSelectDriver});
  view_.setSurfaceWidth(kWidth);
  view_.setSurfaceHeight(kHeight);
  view_.setBounds(kWidth, kHeight);
  view_.loaded();
  view_.setHost(this);
  watchTopLevel();
}

ViewWidget::~ViewWidget() {
  finalizeView();
  view_.setHost(nullptr);
}

void ViewWidget::finalizeView() {
  view_.formDestroyed();
  update();
}

bool ViewWidget::hasParentForm() const {
  return window() != this;
}

void ViewWidget::presented() {
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
    // An exception must not cross Qt's event dispatch; it is shown here instead, as the
    // form's message handling would, and the view stays blank.
    try {
      view_.formShown();
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
  try {
    view_.setBounds(event->size().width(), event->size().height());
  } catch (const std::exception& error) {
    reportError(error);
  }
}

void ViewWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const Surface* primary = view_.primarySurface();
  const platform::PlatformSurface* pixels =
      primary != nullptr ? primary->platformSurface() : nullptr;
  const QImage::Format format =
      pixels != nullptr ? imageFormatFor(pixels->format()) : QImage::Format_Invalid;
  if (!view_.isInitialized() || format == QImage::Format_Invalid) {
    painter.fillRect(rect(), palette().color(QPalette::Button));
    return;
  }
  const QImage image(pixels->row(0), pixels->width(), pixels->height(), pixels->pitch(), format);
  // Drawn at the image's own pixel size in logical units: on a scaled screen each pixel
  // becomes a block, without smoothing.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QPoint(0, 0), image);
}

}  // namespace patapata
