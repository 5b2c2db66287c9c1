#include "surfaces/draw_context.h"

#include "common/errors.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

namespace patapata {

DrawContext::DrawContext(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  if (!service_ || service_->faults().libraryMissing) {
    throw Error(MessageId::LibraryMissing);
  }
  if (service_->faults().refuseOpen) {
    throw Error(MessageId::CannotInitializeDisplay);
  }
  if (service_->faults().missingInterface) {
    throw Error(MessageId::NeedsDirectX6);
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
