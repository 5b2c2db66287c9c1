#include "surfaces/dx_draw.h"

#include "common/errors.h"
#include "common/messages.h"
#include "surfaces/direct_draw.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/platform_codes.h"
#include "surfaces/software_surface.h"

#include <algorithm>

namespace patapata {

using platform::DD_OK;
using platform::DDERR_SURFACELOST;
using enum TDXDrawOption;

namespace {

constexpr TDXDrawOptions kDefaultOptions{doAllowReboot,  doWaitVBlank, doCenter,
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

void TDXDrawDisplay::setBitCount(int32_t bitCount) {
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    throw EDirectDrawError(messages::kInvalidBitCountChoice);
  }
  bitCount_ = bitCount;
}

TCustomDXDraw::TCustomDXDraw(std::shared_ptr<platform::SurfaceService> service)
    : service_(std::move(service)) {
  setOptions(kDefaultOptions);
  // The software display has no system palette to capture; a grey ramp stands in. It only
  // matters in 256-colour modes, which the software display does not offer.
  for (uint32_t i = 0; i < capturedColors_.size(); ++i) capturedColors_[i] = i * 0x010101u;
}

TCustomDXDraw::~TCustomDXDraw() {
  // A destructor cannot pass on what a finalisation handler raised.
  try {
    FinalizeView();
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

void TCustomDXDraw::setAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  if (autoSize_ && !loading_) ResizeBackSurface(width_, height_);
}

void TCustomDXDraw::setOptions(TDXDrawOptions options) {
  options_ = options;
  if (!initialized_) {
    recomputeEffectiveOptions();
    return;
  }
  // Only these act at once while initialised; the rest wait for the next initialisation.
  for (TDXDrawOption o : {doWaitVBlank, doStretch, doCenter}) {
    if (options_.contains(o)) {
      effectiveOptions_.include(o);
    } else {
      effectiveOptions_.exclude(o);
    }
  }
}

void TCustomDXDraw::recomputeEffectiveOptions() {
  TDXDrawOptions e = options_;
  if (!e.contains(doFullScreen)) {
    for (TDXDrawOption o : {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip})
      e.exclude(o);
  }
  if (!e.contains(do3D)) {
    for (TDXDrawOption o : {doRetainedMode, doHardware, doSelectDriver, doZBuffer}) e.exclude(o);
  }
  if (e.contains(doSystemMemory)) e.exclude(doFlip);
  e.exclude(doHardware);
  effectiveOptions_ = e;
}

int32_t TCustomDXDraw::SurfaceWidth() const {
  if (backSurface_ && backSurface_->ISurface() != nullptr) return backSurface_->Width();
  return storedSurfaceWidth_;
}

int32_t TCustomDXDraw::SurfaceHeight() const {
  if (backSurface_ && backSurface_->ISurface() != nullptr) return backSurface_->Height();
  return storedSurfaceHeight_;
}

void TCustomDXDraw::setSurfaceWidth(int32_t width) {
  if (loading_) {
    storedSurfaceWidth_ = width;
    return;
  }
  ResizeBackSurface(width, SurfaceHeight());
}

void TCustomDXDraw::setSurfaceHeight(int32_t height) {
  if (loading_) {
    storedSurfaceHeight_ = height;
    return;
  }
  ResizeBackSurface(SurfaceWidth(), height);
}

void TCustomDXDraw::Loaded() {
  loading_ = false;
  if (autoSize_) {
    storedSurfaceWidth_ = width_;
    storedSurfaceHeight_ = height_;
  }
}

void TCustomDXDraw::setBounds(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  // The primary surface stands for the client area, so it follows the control's size.
  if (initialized_ && !updating_) resizePrimary();
  if (autoSize_ && !updating_ && !loading_) ResizeBackSurface(width_, height_);
}

void TCustomDXDraw::resizePrimary() {
  if (!primarySurface_) return;
  service_->setPrimarySize(width_, height_);
  primarySurface_->CreateSurface({0, 0, platform::DDSCAPS_PRIMARYSURFACE});
  // A refused primary surface leaves CheckPrimary false, so nothing draws until the next
  // initialisation; the refusal stays in the surface's LastResult.
  if (primarySurface_->ISurface() == nullptr) return;
  if (clipper_) {
    clipper_->SetWindowSize(width_, height_);
    primarySurface_->SetClipper(clipper_.get());
  }
  primarySurface_->FillAll(0);
  if (host_ != nullptr) host_->presented();
}

void TCustomDXDraw::setHost(ViewHost* host) {
  host_ = host;
}

void TCustomDXDraw::formShown() {
  if (autoInitialize_ && !autoInitAttempted_) InitializeView();
}

void TCustomDXDraw::formDestroyed() {
  FinalizeView();
}

void TCustomDXDraw::fire(const Event& event) {
  if (event) event(*this);
}

void TCustomDXDraw::InitializeView() {
  // A handler of OnFinalizeSurface or OnRestoreSurface must not rebuild the objects that
  // the running operation is using.
  if (updating_) return;
  autoInitAttempted_ = true;
  FinalizeView();
  if (host_ == nullptr || !host_->hasParentForm()) throw EDXDrawError(messages::kFormNotFound);

  fire(OnInitializing);
  updating_ = true;
  internallyInitialized_ = true;
  try {
    FlagReset clearUpdating(updating_);
    drawContext_ = std::make_unique<TDirectDraw>(service_);
    drawContext_->SetCooperativeLevel(effectiveOptions_.contains(doFullScreen));
    if (autoSize_) {
      storedSurfaceWidth_ = width_;
      storedSurfaceHeight_ = height_;
    }
    initializeWindowed();
  } catch (...) {
    FinalizeView();
    throw;
  }

  initialized_ = true;
  initializeFired_ = true;
  fire(OnInitialize);
  initializeSurfaceFired_ = true;
  fire(OnInitializeSurface);
  RestoreSurfaces();
}

void TCustomDXDraw::initializeWindowed() {
  service_->setPrimarySize(width_, height_);
  primarySurface_ = std::make_unique<TDirectDrawSurface>(drawContext_.get());
  if (!primarySurface_->CreateSurface({0, 0, platform::DDSCAPS_PRIMARYSURFACE})) {
    throw EDXDrawError(formatMessage(messages::kCannotCreate, messages::kPrimarySurface));
  }
  backSurface_ = std::make_unique<TDirectDrawSurface>(drawContext_.get());

  clipper_ = std::make_unique<TDirectDrawClipper>(drawContext_.get());
  clipper_->SetWindowSize(width_, height_);
  primarySurface_->SetClipper(clipper_.get());

  // Without doAllowPalette256 the twenty static entries would come from the system palette;
  // the software display's system palette is the captured table itself.
  palette_ = std::make_unique<TDirectDrawPalette>(drawContext_.get());
  palette_->SetEntries(capturedColors_);

  createBackSurface();
}

void TCustomDXDraw::createBackSurface() {
  backSurface_->ReleaseSurface();
  effectiveOptions_.exclude(doSystemMemory);
  platform::SurfaceRequest request{std::max(storedSurfaceWidth_, 1),
                                   std::max(storedSurfaceHeight_, 1),
                                   platform::DDSCAPS_OFFSCREENPLAIN};
  if (options_.contains(doSystemMemory)) request.caps |= platform::DDSCAPS_SYSTEMMEMORY;
  if (effectiveOptions_.contains(do3D)) request.caps |= platform::DDSCAPS_3DDEVICE;
  if (!backSurface_->CreateSurface(request)) {
    request.caps |= platform::DDSCAPS_SYSTEMMEMORY;
    if (!backSurface_->CreateSurface(request)) {
      throw EDXDrawError(formatMessage(messages::kCannotCreate, messages::kSurface));
    }
  }
  if ((backSurface_->Caps() & platform::DDSCAPS_VIDEOMEMORY) == 0) {
    effectiveOptions_.include(doSystemMemory);
  }
  backSurface_->FillAll(0);
}

void TCustomDXDraw::FinalizeView() {
  if (!internallyInitialized_ || updating_) return;
  // A failed initialisation may not have a back surface yet; its size must not replace the
  // stored one.
  if (backSurface_ && backSurface_->ISurface() != nullptr) {
    storedSurfaceWidth_ = backSurface_->Width();
    storedSurfaceHeight_ = backSurface_->Height();
  }
  updating_ = true;

  struct Teardown {
    TCustomDXDraw& view;
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

void TCustomDXDraw::freeObjects() {
  // The primary surface must not keep pointing at the clipper's region once it is gone.
  if (primarySurface_) primarySurface_->SetClipper(nullptr);
  clipper_.reset();
  palette_.reset();
  backSurface_.reset();
  primarySurface_.reset();
  drawContext_.reset();
}

bool TCustomDXDraw::ReadyToDraw() {
  return initialized_ && !updating_ && backSurface_ && backSurface_->ISurface() != nullptr &&
         CheckPrimary();
}

bool TCustomDXDraw::CheckPrimary() {
  if (!initialized_ || updating_ || !primarySurface_ || primarySurface_->ISurface() == nullptr) {
    return false;
  }
  if (primarySurface_->ISurface()->isLost() != DDERR_SURFACELOST) return true;
  RestoreSurfaces();
  // A handler of OnRestoreSurface may have finalised the view.
  return primarySurface_ && primarySurface_->ISurface() != nullptr &&
         primarySurface_->ISurface()->isLost() != DDERR_SURFACELOST;
}

void TCustomDXDraw::RestoreSurfaces() {
  if (!initialized_ || updating_) return;
  {
    updating_ = true;
    FlagReset clearUpdating(updating_);
    if (primarySurface_->Restore() && backSurface_->Restore()) {
      backSurface_->FillAll(0);
      primarySurface_->FillAll(0);
      palette_->SetEntries(capturedColors_);
      fire(OnRestoreSurface);
    }
  }
  if (host_ != nullptr) host_->presented();
}

void TCustomDXDraw::Present() {
  present(effectiveOptions_.contains(doWaitVBlank));
}

void TCustomDXDraw::Paint() {
  if (initialized_) present(false);
}

void TCustomDXDraw::present(bool waitVBlank) {
  if (!initialized_ || updating_ || !CheckPrimary()) return;
  const int32_t backWidth = backSurface_->Width();
  const int32_t backHeight = backSurface_->Height();
  // The primary surface is the control's client area, so the client origin is (0, 0).
  TRect dest;
  if (effectiveOptions_.contains(doStretch)) {
    dest = TRect{0, 0, width_, height_};
  } else {
    int32_t sx = 0;
    int32_t sy = 0;
    if (effectiveOptions_.contains(doCenter)) {
      // Integer division truncates toward zero: (121 - 130) / 2 is -4.
      sx += (width_ - backWidth) / 2;
      sy += (height_ - backHeight) / 2;
    }
    dest = TRect{sx, sy, sx + backWidth, sy + backHeight};
  }
  // The software display has no vertical blank to wait for; presenting at once is what the
  // wait would have achieved.
  static_cast<void>(waitVBlank);
  primarySurface_->BltRect(&dest, nullptr, platform::DDBLT_WAIT, DDBLTFX{}, backSurface_.get());
  if (host_ != nullptr) host_->presented();
}

void TCustomDXDraw::ResizeBackSurface(int32_t width, int32_t height) {
  if (updating_ || (width == SurfaceWidth() && height == SurfaceHeight())) return;
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
    FinalizeView();
    throw;
  }
}

}  // namespace patapata
