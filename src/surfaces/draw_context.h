#pragma once

#include <memory>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
}  // namespace platform

class Surface;

/// The drawing context: one display, and the surfaces created against it. Destroying it
/// releases the surfaces still registered, from the last registered to the first; their
/// owners keep the (now empty) objects.
class DrawContext {
 public:
  /// Opens the display of `service`. Throws Error "DDraw.dll を読み込めません",
  /// Error "DirectDraw を初期化できません" or "DirectX 6 以降が必要です".
  explicit DrawContext(std::shared_ptr<platform::SurfaceService> service);
  ~DrawContext();
  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  platform::SurfaceService& service() const { return *service_; }

  /// The surfaces created against this context and not yet destroyed, oldest first.
  const std::vector<Surface*>& surfaces() const { return surfaces_; }

 private:
  friend class Surface;

  std::shared_ptr<platform::SurfaceService> service_;
  std::vector<Surface*> surfaces_;
};

}  // namespace patapata
