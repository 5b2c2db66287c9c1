#pragma once

#include "surfaces/direct_x.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
class Clipper;
}  // namespace platform

class TDirectDrawSurface;
class TDirectDrawClipper;
class TDirectDrawPalette;

/// The drawing context: one display, and the registries of the objects created against it.
/// Destroying it destroys what is still registered: surfaces, then palettes, then clippers,
/// each from the last registered to the first. Their owners keep the (now empty) objects.
class TDirectDraw : public TDirectX {
 public:
  /// Opens the display of `service`. Throws Exception "DDraw.dll を読み込めません",
  /// EDirectDrawError "DirectDraw を初期化できません" or "DirectX 6 以降が必要です".
  explicit TDirectDraw(std::shared_ptr<platform::SurfaceService> service);
  ~TDirectDraw() override;
  TDirectDraw(const TDirectDraw&) = delete;
  TDirectDraw& operator=(const TDirectDraw&) = delete;

  /// The display object.
  platform::SurfaceService& IDraw() const { return *service_; }

  /// Binding to a window; the software display shares the screen with every window, so the
  /// call only records its result.
  int32_t SetCooperativeLevel(bool fullScreen);

  /// The capability records, read once at construction (nothing in the viewer reads them).
  const std::array<uint8_t, 380>& DriverCaps() const { return driverCaps_; }
  const std::array<uint8_t, 380>& HELCaps() const { return helCaps_; }

  const std::vector<TDirectDrawSurface*>& Surfaces() const { return surfaces_; }
  const std::vector<TDirectDrawPalette*>& Palettes() const { return palettes_; }
  const std::vector<TDirectDrawClipper*>& Clippers() const { return clippers_; }

 private:
  friend class TDirectDrawSurface;
  friend class TDirectDrawClipper;
  friend class TDirectDrawPalette;

  std::shared_ptr<platform::SurfaceService> service_;
  std::array<uint8_t, 380> driverCaps_{};
  std::array<uint8_t, 380> helCaps_{};
  std::vector<TDirectDrawClipper*> clippers_;
  std::vector<TDirectDrawPalette*> palettes_;
  std::vector<TDirectDrawSurface*> surfaces_;
};

/// Limits copies to a surface to a window's visible area.
class TDirectDrawClipper : public TDirectX {
 public:
  /// Throws EDirectDrawClipperError "クリッパー を作成できません" when refused.
  explicit TDirectDrawClipper(TDirectDraw* owner);
  ~TDirectDrawClipper() override;
  TDirectDrawClipper(const TDirectDrawClipper&) = delete;
  TDirectDrawClipper& operator=(const TDirectDrawClipper&) = delete;

  /// Binds the clipper to a window area of the given size at the surface's origin.
  void SetWindowSize(int32_t width, int32_t height);
  const platform::Clipper* IDDClipper() const { return clipper_.get(); }

 private:
  friend class TDirectDraw;
  void detach();

  TDirectDraw* owner_;
  std::unique_ptr<platform::Clipper> clipper_;
};

/// A 256-entry palette; it only matters in 256-colour display modes, which the software
/// display does not offer, so it keeps its entries and nothing more.
class TDirectDrawPalette : public TDirectX {
 public:
  explicit TDirectDrawPalette(TDirectDraw* owner);
  ~TDirectDrawPalette() override;
  TDirectDrawPalette(const TDirectDrawPalette&) = delete;
  TDirectDrawPalette& operator=(const TDirectDrawPalette&) = delete;

  void SetEntries(const std::array<uint32_t, 256>& entries) { entries_ = entries; }
  const std::array<uint32_t, 256>& Entries() const { return entries_; }

 private:
  friend class TDirectDraw;
  void detach() { owner_ = nullptr; }

  TDirectDraw* owner_;
  std::array<uint32_t, 256> entries_{};
};

}  // namespace patapata
