#include "surfaces/view_control.h"

#include "common/errors.h"
#include "surfaces/draw_context.h"
#include "surfaces/geometry.h"
#include "surfaces/surface.h"

#include <algorithm>

namespace patapata {

ViewControl::ViewControl(std::shared_ptr<platform::SurfaceService> service, int32_t backWidth,
                         int32_t backHeight)
    : service_(std::move(service)),
      backWidth_(std::max(backWidth, 1)),
      backHeight_(std::max(backHeight, 1)),
      clientWidth_(backWidth_),
      clientHeight_(backHeight_) {}

ViewControl::~ViewControl() {
  // A destructor cannot pass on what a release handler raised.
  try {
    finalize();
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

void ViewControl::setClientSize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  if (initialized_ && !updating_) resizePrimary();
}

void ViewControl::resizePrimary() {
  // A refused primary surface leaves checkPrimary false, so nothing draws until a later resize
  // or initialisation creates one.
  if (!primarySurface_->createPrimary(clientWidth_, clientHeight_)) return;
  primarySurface_->fill(0);
  presentedOnce_ = false;
  if (host_ != nullptr) host_->presented();
}

void ViewControl::setHost(ViewHost* host) {
  host_ = host;
}

void ViewControl::windowShown() {
  if (!initializeAttempted_) initialize();
}

void ViewControl::fire(const Event& event) {
  if (event) event(*this);
}

void ViewControl::initialize() {
  // A release handler must not rebuild the objects that are being released.
  if (updating_) return;
  initializeAttempted_ = true;
  finalize();
  if (host_ == nullptr || !host_->hasParentWindow()) throw Error(MessageId::FormNotFound);

  try {
    drawContext_ = std::make_unique<DrawContext>(service_);
    primarySurface_ = std::make_unique<Surface>(drawContext_.get());
    presentedOnce_ = false;
    if (!primarySurface_->createPrimary(clientWidth_, clientHeight_)) {
      throw Error(MessageId::CannotCreatePrimarySurface);
    }
    backSurface_ = std::make_unique<Surface>(drawContext_.get());
    backSurface_->resize(backWidth_, backHeight_);
  } catch (...) {
    freeObjects();
    throw;
  }

  initialized_ = true;
  fire(onSurfacesCreated);
  restoreSurfaces();
}

void ViewControl::finalize() {
  if (!initialized_ || updating_) return;
  updating_ = true;

  // Runs also when the release handler raises, so that the view is never left half released.
  struct Teardown {
    ViewControl& view;
    ~Teardown() {
      view.initialized_ = false;
      view.freeObjects();
      view.updating_ = false;
    }
  } teardown{*this};

  fire(onSurfacesReleased);
}

void ViewControl::freeObjects() {
  backSurface_.reset();
  primarySurface_.reset();
  drawContext_.reset();
}

bool ViewControl::readyToDraw() {
  return initialized_ && !updating_ && backSurface_ && backSurface_->platformSurface() != nullptr &&
         checkPrimary();
}

bool ViewControl::checkPrimary() {
  if (!initialized_ || updating_ || !primarySurface_ ||
      primarySurface_->platformSurface() == nullptr) {
    return false;
  }
  if (!primarySurface_->isLost()) return true;
  restoreSurfaces();
  // restoreSurfaces called out to the host, which may have finalised the view.
  return primarySurface_ && !primarySurface_->isLost();
}

void ViewControl::restoreSurfaces() {
  if (!initialized_ || updating_) return;
  if (primarySurface_->restore() && backSurface_->restore()) {
    backSurface_->fill(0);
    primarySurface_->fill(0);
  }
  if (host_ != nullptr) host_->presented();
}

void ViewControl::present() {
  if (!checkPrimary()) return;
  // Integer division truncates toward zero: (121 - 130) / 2 is -4.
  const int64_t left = (int64_t{clientWidth_} - backSurface_->width()) / 2;
  const int64_t top = (int64_t{clientHeight_} - backSurface_->height()) / 2;
  // Only the part inside the primary surface is copied.
  const int64_t visibleLeft = std::max<int64_t>(left, 0);
  const int64_t visibleTop = std::max<int64_t>(top, 0);
  const int64_t visibleRight =
      std::min<int64_t>(left + backSurface_->width(), primarySurface_->width());
  const int64_t visibleBottom =
      std::min<int64_t>(top + backSurface_->height(), primarySurface_->height());
  bool changed = false;
  if (visibleLeft < visibleRight && visibleTop < visibleBottom) {
    const Rect source{
        static_cast<int32_t>(visibleLeft - left), static_cast<int32_t>(visibleTop - top),
        static_cast<int32_t>(visibleRight - left), static_cast<int32_t>(visibleBottom - top)};
    primarySurface_->blit(static_cast<int32_t>(visibleLeft), static_cast<int32_t>(visibleTop),
                          source, CopyMode::opaque, *backSurface_, &changed);
  }
  // A frame equal to the one on screen needs no repaint: a held cel or a paused player then
  // costs the window nothing. The first present is always shown.
  if (host_ != nullptr && (changed || !presentedOnce_)) host_->presented();
  presentedOnce_ = true;
}

}  // namespace patapata
