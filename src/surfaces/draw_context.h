#pragma once

#include "surfaces/draw_object.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
class Clipper;
}  // namespace platform

class Surface;
class ViewClipper;
class ViewPalette;

/// The drawing context: one display, and the registries of the objects created against it.
/// Destroying it destroys what is still registered: surfaces, then palettes, then clippers,
/// each from the last registered to the first. Their owners keep the (now empty) objects.
class DrawContext : public DrawObject {
 public:
  /// Opens the display of `service`. Throws Exception "DDraw.dll を読み込めません",
  /// DrawContextError "DirectDraw を初期化できません" or "DirectX 6 以降が必要です".
  explicit DrawContext(std::shared_ptr<platform::SurfaceService> service);
  ~DrawContext() override;
  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  /// The display object.
  platform::SurfaceService& service() const { return *service_; }

  /// Binding to a window; the software display shares the screen with every window, so the
  /// call only records its result.
  int32_t setCooperativeLevel(bool fullScreen);

  /// The capability records, read once at construction (nothing in the viewer reads them).
  const std::array<uint8_t, 380>& driverCaps() const { return driverCaps_; }
  const std::array<uint8_t, 380>& helCaps() const { return helCaps_; }

  const std::vector<Surface*>& surfaces() const { return surfaces_; }
  const std::vector<ViewPalette*>& palettes() const { return palettes_; }
  const std::vector<ViewClipper*>& clippers() const { return clippers_; }

 private:
  friend class Surface;
  friend class ViewClipper;
  friend class ViewPalette;

  std::shared_ptr<platform::SurfaceService> service_;
  std::array<uint8_t, 380> driverCaps_{};
  std::array<uint8_t, 380> helCaps_{};
  std::vector<ViewClipper*> clippers_;
  std::vector<ViewPalette*> palettes_;
  std::vector<Surface*> surfaces_;
};

/// Limits copies to a surface to a window's visible area.
class ViewClipper : public DrawObject {
 public:
  /// Throws ClipperError "クリッパー を作成できません" when refused.
  explicit ViewClipper(DrawContext* owner);
  ~ViewClipper() override;
  ViewClipper(const ViewClipper&) = delete;
  ViewClipper& operator=(const ViewClipper&) = delete;

  /// Binds the clipper to a window area of the given size at the surface's origin.
  void setWindowSize(int32_t width, int32_t height);
  const platform::Clipper* platformClipper() const { return clipper_.get(); }

 private:
  friend class DrawContext;
  void detach();

  DrawContext* owner_;
  std::unique_ptr<platform::Clipper> clipper_;
};

/// A 256-entry palette; it only matters in 256-colour display modes, which the software
/// display does not offer, so it keeps its entries and nothing more.
class ViewPalette : public DrawObject {
 public:
  explicit ViewPalette(DrawContext* owner);
  ~ViewPalette() override;
  ViewPalette(const ViewPalette&) = delete;
  ViewPalette& operator=(const ViewPalette&) = delete;

  void setEntries(const std::array<uint32_t, 256>& entries) { entries_ = entries; }
  const std::array<uint32_t, 256>& entries() const { return entries_; }

 private:
  friend class DrawContext;
  void detach() { owner_ = nullptr; }

  DrawContext* owner_;
  std::array<uint32_t, 256> entries_{};
};

}  // namespace patapata
