#include "surfaces/view_control.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/draw_context.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <algorithm>

namespace patapata {

using platform::DD_OK;
using platform::DDERR_SURFACELOST;
using enum ViewOption;

namespace {

constexpr ViewOptions kDefaultOptions{doAllowReboot,  doWaitVBlank, doCenter,
                                      doRetainedMode, doHardware,   doSelectDriver};

// Clears a flag when leaving a scope, also by an exception.
class FlagReset {
 public:
  explicit FlagReset(bool& flag) : flag_(flag) {}
  ~FlagReset() { flag_ = false; }
  FlagReset(const FlagReset&) = delete;
  FlagReset& operator=(const FlagReset&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void DisplayMode::setBitCount(int32_t bitCount) {
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    throw DrawContextError(messages::kInvalidBitCountChoice);
  }
  bitCount_ = bitCount;
}

ViewControl::ViewControl(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  setOptions(kDefaultOptions);
  // The software display has no system palette to capture; a grey ramp stands in. It only
  // matters in 256-colour modes, which the software display does not offer.
  for (uint32_t i = 0; i < capturedColors_.size(); ++i) capturedColors_[i] = i * 0x010101u;
}

ViewControl::~ViewControl() {
  // A destructor cannot pass on what a finalisation handler raised.
  try {
    finalize();
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

void ViewControl::setAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  if (autoSize_ && !loading_) resizeBackSurface(width_, height_);
}

void ViewControl::setOptions(ViewOptions options) {
  options_ = options;
  if (!initialized_) {
    recomputeEffectiveOptions();
    return;
  }
  // Only these act at once while initialised; the rest wait for the next initialisation.
  for (ViewOption o : {doWaitVBlank, doStretch, doCenter}) {
    if (options_.contains(o)) {
      effectiveOptions_.include(o);
    } else {
      effectiveOptions_.exclude(o);
    }
  }
}

void ViewControl::recomputeEffectiveOptions() {
  ViewOptions e = options_;
  if (!e.contains(doFullScreen)) {
    for (ViewOption o : {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip}) e.exclude(o);
  }
  if (!e.contains(do3D)) {
    for (ViewOption o : {doRetainedMode, doHardware, doSelectDriver, doZBuffer}) e.exclude(o);
  }
  if (e.contains(doSystemMemory)) e.exclude(doFlip);
  e.exclude(doHardware);
  effectiveOptions_ = e;
}

int32_t ViewControl::surfaceWidth() const {
  if (backSurface_ && backSurface_->platformSurface() != nullptr) return backSurface_->width();
  return storedSurfaceWidth_;
}

int32_t ViewControl::surfaceHeight() const {
  if (backSurface_ && backSurface_->platformSurface() != nullptr) return backSurface_->height();
  return storedSurfaceHeight_;
}

void ViewControl::setSurfaceWidth(int32_t width) {
  if (loading_) {
    storedSurfaceWidth_ = width;
    return;
  }
  resizeBackSurface(width, surfaceHeight());
}

void ViewControl::setSurfaceHeight(int32_t height) {
  if (loading_) {
    storedSurfaceHeight_ = height;
    return;
  }
  resizeBackSurface(surfaceWidth(), height);
}

void ViewControl::loaded() {
  loading_ = false;
  if (autoSize_) {
    storedSurfaceWidth_ = width_;
    storedSurfaceHeight_ = height_;
  }
}

void ViewControl::setBounds(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  // The primary surface stands for the client area, so it follows the control's size.
  if (initialized_ && !updating_) resizePrimary();
  if (autoSize_ && !updating_ && !loading_) resizeBackSurface(width_, height_);
}

void ViewControl::resizePrimary() {
  if (!primarySurface_) return;
  service_->setPrimarySize(width_, height_);
  primarySurface_->create({0, 0, platform::DDSCAPS_PRIMARYSURFACE});
  // A refused primary surface leaves CheckPrimary false, so nothing draws until the next
  // initialisation; the refusal stays in the surface's LastResult.
  if (primarySurface_->platformSurface() == nullptr) return;
  if (clipper_) {
    clipper_->setWindowSize(width_, height_);
    primarySurface_->setClipper(clipper_.get());
  }
  primarySurface_->fill(0);
  if (host_ != nullptr) host_->presented();
}

void ViewControl::setHost(ViewHost* host) {
  host_ = host;
}

void ViewControl::formShown() {
  if (autoInitialize_ && !autoInitAttempted_) initialize();
}

void ViewControl::formDestroyed() {
  finalize();
}

void ViewControl::fire(const Event& event) {
  if (event) event(*this);
}

void ViewControl::initialize() {
  // A handler of OnFinalizeSurface or OnRestoreSurface must not rebuild the objects that
  // the running operation is using.
  if (updating_) return;
  autoInitAttempted_ = true;
  finalize();
  if (host_ == nullptr || !host_->hasParentForm()) throw ViewError(messages::kFormNotFound);

  fire(OnInitializing);
  updating_ = true;
  internallyInitialized_ = true;
  try {
    FlagReset clearUpdating(updating_);
    drawContext_ = std::make_unique<DrawContext>(service_);
    drawContext_->setCooperativeLevel(effectiveOptions_.contains(doFullScreen));
    if (autoSize_) {
      storedSurfaceWidth_ = width_;
      storedSurfaceHeight_ = height_;
    }
    initializeWindowed();
  } catch (...) {
    finalize();
    throw;
  }

  initialized_ = true;
  initializeFired_ = true;
  fire(OnInitialize);
  initializeSurfaceFired_ = true;
  fire(OnInitializeSurface);
  restoreSurfaces();
}

void ViewControl::initializeWindowed() {
  service_->setPrimarySize(width_, height_);
  primarySurface_ = std::make_unique<Surface>(drawContext_.get());
  if (!primarySurface_->create({0, 0, platform::DDSCAPS_PRIMARYSURFACE})) {
    throw ViewError(formatMessage(messages::kCannotCreate, messages::kPrimarySurface));
  }
  backSurface_ = std::make_unique<Surface>(drawContext_.get());

  clipper_ = std::make_unique<ViewClipper>(drawContext_.get());
  clipper_->setWindowSize(width_, height_);
  primarySurface_->setClipper(clipper_.get());

  // Without doAllowPalette256 the twenty static entries would come from the system palette;
  // the software display's system palette is the captured table itself.
  palette_ = std::make_unique<ViewPalette>(drawContext_.get());
  palette_->setEntries(capturedColors_);

  createBackSurface();
}

void ViewControl::createBackSurface() {
  backSurface_->release();
  effectiveOptions_.exclude(doSystemMemory);
  platform::SurfaceRequest request{std::max(storedSurfaceWidth_, 1),
                                   std::max(storedSurfaceHeight_, 1),
                                   platform::DDSCAPS_OFFSCREENPLAIN};
  if (options_.contains(doSystemMemory)) request.caps |= platform::DDSCAPS_SYSTEMMEMORY;
  if (effectiveOptions_.contains(do3D)) request.caps |= platform::DDSCAPS_3DDEVICE;
  if (!backSurface_->create(request)) {
    request.caps |= platform::DDSCAPS_SYSTEMMEMORY;
    if (!backSurface_->create(request)) {
      throw ViewError(formatMessage(messages::kCannotCreate, messages::kSurface));
    }
  }
  if ((backSurface_->caps() & platform::DDSCAPS_VIDEOMEMORY) == 0) {
    effectiveOptions_.include(doSystemMemory);
  }
  backSurface_->fill(0);
}

void ViewControl::finalize() {
  if (!internallyInitialized_ || updating_) return;
  // A failed initialisation may not have a back surface yet; its size must not replace the
  // stored one.
  if (backSurface_ && backSurface_->platformSurface() != nullptr) {
    storedSurfaceWidth_ = backSurface_->width();
    storedSurfaceHeight_ = backSurface_->height();
  }
  updating_ = true;

  struct Teardown {
    ViewControl& view;
    ~Teardown() {
      view.initialized_ = false;
      view.internallyInitialized_ = false;
      // A handler that raised leaves its event unfired; the flag must not carry over to the
      // next initialisation.
      view.initializeFired_ = false;
      view.initializeSurfaceFired_ = false;
      view.recomputeEffectiveOptions();
      view.freeObjects();
      view.updating_ = false;
    }
  } teardown{*this};

  if (initializeSurfaceFired_) {
    initializeSurfaceFired_ = false;
    fire(OnFinalizeSurface);
  }
  if (initializeFired_) {
    initializeFired_ = false;
    fire(OnFinalize);
  }
}

void ViewControl::freeObjects() {
  // The primary surface must not keep pointing at the clipper's region once it is gone.
  if (primarySurface_) primarySurface_->setClipper(nullptr);
  clipper_.reset();
  palette_.reset();
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
  if (primarySurface_->platformSurface()->isLost() != DDERR_SURFACELOST) return true;
  restoreSurfaces();
  // A handler of OnRestoreSurface may have finalised the view.
  return primarySurface_ && primarySurface_->platformSurface() != nullptr &&
         primarySurface_->platformSurface()->isLost() != DDERR_SURFACELOST;
}

void ViewControl::restoreSurfaces() {
  if (!initialized_ || updating_) return;
  {
    updating_ = true;
    FlagReset clearUpdating(updating_);
    if (primarySurface_->restore() && backSurface_->restore()) {
      backSurface_->fill(0);
      primarySurface_->fill(0);
      palette_->setEntries(capturedColors_);
      fire(OnRestoreSurface);
    }
  }
  if (host_ != nullptr) host_->presented();
}

void ViewControl::present() {
  present(effectiveOptions_.contains(doWaitVBlank));
}

void ViewControl::paint() {
  if (initialized_) present(false);
}

void ViewControl::present(bool waitVBlank) {
  if (!initialized_ || updating_ || !checkPrimary()) return;
  const int32_t backWidth = backSurface_->width();
  const int32_t backHeight = backSurface_->height();
  // The primary surface is the control's client area, so the client origin is (0, 0).
  Rect dest;
  if (effectiveOptions_.contains(doStretch)) {
    dest = Rect{0, 0, width_, height_};
  } else {
    int32_t sx = 0;
    int32_t sy = 0;
    if (effectiveOptions_.contains(doCenter)) {
      // Integer division truncates toward zero: (121 - 130) / 2 is -4.
      sx += (width_ - backWidth) / 2;
      sy += (height_ - backHeight) / 2;
    }
    dest = Rect{sx, sy, sx + backWidth, sy + backHeight};
  }
  // The software display has no vertical blank to wait for; presenting at once is what the
  // wait would have achieved.
  static_cast<void>(waitVBlank);
  primarySurface_->stretchBlit(&dest, nullptr, platform::DDBLT_WAIT, BlitEffects{},
                               backSurface_.get());
  if (host_ != nullptr) host_->presented();
}

void ViewControl::resizeBackSurface(int32_t width, int32_t height) {
  if (updating_ || (width == surfaceWidth() && height == surfaceHeight())) return;
  if (!initialized_) {
    storedSurfaceWidth_ = width;
    storedSurfaceHeight_ = height;
    return;
  }
  try {
    {
      updating_ = true;
      FlagReset clearUpdating(updating_);
      storedSurfaceWidth_ = std::max(width, 1);
      storedSurfaceHeight_ = std::max(height, 1);
      if (initializeSurfaceFired_) {
        initializeSurfaceFired_ = false;
        fire(OnFinalizeSurface);
      }
      createBackSurface();
    }
    // Like the initialisation events, this one fires with drawing allowed.
    initializeSurfaceFired_ = true;
    fire(OnInitializeSurface);
  } catch (...) {
    finalize();
    throw;
  }
}

}  // namespace patapata
