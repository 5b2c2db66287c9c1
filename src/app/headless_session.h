#pragma once

#include "character/viewer_state.h"
#include "common/memory_controls.h"
#include "surfaces/pixel_format.h"

#include <memory>
#include <string>

namespace patapata {

namespace platform {
class SurfaceService;
}
class DrawContext;
class ReaderObserver;

namespace app {

/// The viewer without a window, for the batch modes: the program state, controls held in
/// memory (the interval edit's change handler runs as in the window), a software drawing context
/// and the sprite sheet surface created against it, as the view's surface event creates it.
class HeadlessSession {
 public:
  /// Throws what the drawing context's construction throws.
  explicit HeadlessSession(PixelFormat displayFormat = PixelFormat::xrgb8888());
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  ViewerState& viewer() { return viewer_; }
  const ViewerState& viewer() const { return viewer_; }
  MemoryControls& controls() { return controls_; }
  const MemoryControls& controls() const { return controls_; }
  DrawContext& drawContext() { return *drawContext_; }
  const std::shared_ptr<platform::SurfaceService>& service() const { return service_; }

  /// Runs `loadCharacterFile` on `path`; throws what the reader throws.
  void load(const std::string& path, ReaderObserver* observer = nullptr);

 private:
  std::shared_ptr<platform::SurfaceService> service_;
  std::unique_ptr<DrawContext> drawContext_;
  // Declared after the context so that the sheet surface goes first.
  ViewerState viewer_;
  MemoryControls controls_;
};

}  // namespace app
}  // namespace patapata
