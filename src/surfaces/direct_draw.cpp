#include "surfaces/direct_draw.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

#include <algorithm>

namespace patapata {

namespace {
template <typename T>
void unregister(std::vector<T*>& registry, T* object) {
  const auto it = std::find(registry.rbegin(), registry.rend(), object);
  if (it != registry.rend()) registry.erase(std::next(it).base());
}
}  // namespace

TDirectDraw::TDirectDraw(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  if (!service_ || service_->faults().libraryMissing) {
    throw Exception(formatMessage(messages::kCannotLoad, messages::kDDrawDll));
  }
  if (service_->faults().refuseOpen) {
    setLastResult(platform::DDERR_NODIRECTDRAWHW);
    throw EDirectDrawError(formatMessage(messages::kCannotInitialize, messages::kDirectDraw));
  }
  if (service_->faults().missingInterface) {
    throw EDirectDrawError(messages::kNeedsDirectX6);
  }
  // Each record carries its own size in its first bytes, as the query expects.
  driverCaps_[0] = helCaps_[0] = static_cast<uint8_t>(380 & 0xFF);
  driverCaps_[1] = helCaps_[1] = static_cast<uint8_t>(380 >> 8);
  setLastResult(platform::DD_OK);
}

TDirectDraw::~TDirectDraw() {
  while (!surfaces_.empty()) {
    TDirectDrawSurface* s = surfaces_.back();
    surfaces_.pop_back();
    s->detach();
  }
  while (!palettes_.empty()) {
    TDirectDrawPalette* p = palettes_.back();
    palettes_.pop_back();
    p->detach();
  }
  while (!clippers_.empty()) {
    TDirectDrawClipper* c = clippers_.back();
    clippers_.pop_back();
    c->detach();
  }
}

int32_t TDirectDraw::SetCooperativeLevel(bool /*fullScreen*/) {
  setLastResult(platform::DD_OK);
  return LastResult();
}

TDirectDrawClipper::TDirectDrawClipper(TDirectDraw* owner) : owner_(owner) {
  if (owner_ == nullptr || owner_->IDraw().faults().refuseClipper) {
    setLastResult(platform::DDERR_GENERIC);
    throw EDirectDrawClipperError(formatMessage(messages::kCannotCreate, messages::kClipper));
  }
  clipper_ = std::make_unique<platform::Clipper>();
  owner_->clippers_.push_back(this);
}

TDirectDrawClipper::~TDirectDrawClipper() {
  if (owner_ != nullptr) unregister(owner_->clippers_, this);
}

void TDirectDrawClipper::SetWindowSize(int32_t width, int32_t height) {
  if (clipper_) clipper_->region = TRect{0, 0, width, height};
}

void TDirectDrawClipper::detach() {
  clipper_.reset();
  owner_ = nullptr;
}

TDirectDrawPalette::TDirectDrawPalette(TDirectDraw* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->palettes_.push_back(this);
}

TDirectDrawPalette::~TDirectDrawPalette() {
  if (owner_ != nullptr) unregister(owner_->palettes_, this);
}

}  // namespace patapata
