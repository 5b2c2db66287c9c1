#include "surfaces/draw_context.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

namespace patapata {

DrawContext::DrawContext(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  if (!service_ || service_->faults().libraryMissing) {
    throw Exception(formatMessage(messages::kCannotLoad, messages::kDDrawDll));
  }
  if (service_->faults().refuseOpen) {
    throw DrawContextError(formatMessage(messages::kCannotInitialize, messages::kDirectDraw));
  }
  if (service_->faults().missingInterface) {
    throw DrawContextError(messages::kNeedsDirectX6);
  }
}

DrawContext::~DrawContext() {
  while (!surfaces_.empty()) {
    Surface* s = surfaces_.back();
    surfaces_.pop_back();
    s->detach();
  }
}

}  // namespace patapata
