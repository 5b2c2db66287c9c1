#include "surfaces/draw_context.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <algorithm>

namespace patapata {

namespace {
template <typename T>
void unregister(std::vector<T*>& registry, T* object) {
  const auto it = std::find(registry.rbegin(), registry.rend(), object);
  if (it != registry.rend()) registry.erase(std::next(it).base());
}
}  // namespace

DrawContext::DrawContext(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  if (!service_ || service_->faults().libraryMissing) {
    throw Exception(formatMessage(messages::kCannotLoad, messages::kDDrawDll));
  }
  if (service_->faults().refuseOpen) {
    setLastResult(platform::DDERR_NODIRECTDRAWHW);
    throw DrawContextError(formatMessage(messages::kCannotInitialize, messages::kDirectDraw));
  }
  if (service_->faults().missingInterface) {
    throw DrawContextError(messages::kNeedsDirectX6);
  }
  // Each record carries its own size in its first bytes, as the query expects.
  driverCaps_[0] = helCaps_[0] = static_cast<uint8_t>(380 & 0xFF);
  driverCaps_[1] = helCaps_[1] = static_cast<uint8_t>(380 >> 8);
  setLastResult(platform::DD_OK);
}

DrawContext::~DrawContext() {
  while (!surfaces_.empty()) {
    Surface* s = surfaces_.back();
    surfaces_.pop_back();
    s->detach();
  }
  while (!palettes_.empty()) {
    ViewPalette* p = palettes_.back();
    palettes_.pop_back();
    p->detach();
  }
  while (!clippers_.empty()) {
    ViewClipper* c = clippers_.back();
    clippers_.pop_back();
    c->detach();
  }
}

int32_t DrawContext::setCooperativeLevel(bool /*fullScreen*/) {
  setLastResult(platform::DD_OK);
  return lastResult();
}

ViewClipper::ViewClipper(DrawContext* owner) : owner_(owner) {
  if (owner_ == nullptr || owner_->service().faults().refuseClipper) {
    setLastResult(platform::DDERR_GENERIC);
    throw ClipperError(formatMessage(messages::kCannotCreate, messages::kClipper));
  }
  clipper_ = std::make_unique<platform::Clipper>();
  owner_->clippers_.push_back(this);
}

ViewClipper::~ViewClipper() {
  if (owner_ != nullptr) unregister(owner_->clippers_, this);
}

void ViewClipper::setWindowSize(int32_t width, int32_t height) {
  if (clipper_) clipper_->region = Rect{0, 0, width, height};
}

void ViewClipper::detach() {
  clipper_.reset();
  owner_ = nullptr;
}

ViewPalette::ViewPalette(DrawContext* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->palettes_.push_back(this);
}

ViewPalette::~ViewPalette() {
  if (owner_ != nullptr) unregister(owner_->palettes_, this);
}

}  // namespace patapata
