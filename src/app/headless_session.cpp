#include "app/headless_session.h"

#include "character/character_reader.h"
#include "character/frame_interval.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

namespace patapata::app {

HeadlessSession::HeadlessSession(PixelFormat displayFormat)
    : service_(std::make_shared<platform::SurfaceService>(displayFormat)),
      drawContext_(std::make_unique<DrawContext>(service_)) {
  controls_.onTextChanged = [this](Edit edit) {
    if (edit == Edit::Interval) applyIntervalText(viewer_, controls_);
  };
  viewer_.sheet = std::make_unique<Surface>(drawContext_.get());
}

HeadlessSession::~HeadlessSession() {
  controls_.onTextChanged = nullptr;
  viewer_.sheet.reset();
}

void HeadlessSession::load(const std::string& path, ReaderObserver* observer) {
  loadCharacterFile(viewer_, controls_, path, observer);
}

}  // namespace patapata::app
