#include "app/headless_session.h"

#include "character/character_reader.h"
#include "character/frame_interval.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/software_surface.h"

namespace patapata::app {

HeadlessSession::HeadlessSession(PixelFormat displayFormat)
    : service_(std::make_shared<platform::SurfaceService>(displayFormat)),
      directDraw_(std::make_unique<TDirectDraw>(service_)) {
  controls_.onTextChanged = [this](ControlId id) {
    if (id == ControlId::Edit1) Edit1Change(state_, controls_);
  };
  state_.CGSurface = std::make_unique<TDirectDrawSurface>(directDraw_.get());
}

HeadlessSession::~HeadlessSession() {
  controls_.onTextChanged = nullptr;
  state_.CGSurface.reset();
}

void HeadlessSession::load(const std::string& path, ReaderObserver* observer) {
  fileload(state_, controls_, path, observer);
}

}  // namespace patapata::app
