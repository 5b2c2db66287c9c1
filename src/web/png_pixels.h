#pragma once

#include "surfaces/image.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// PNG sheets in the browser: the page decodes the file with a JavaScript decoder (the core has
// no libpng there), puts the samples in the layout the desktop's libpng reader gives, and the
// core keys them with the same rules (surfaces/alpha_key.h), so that both builds show one picture.
namespace patapata::web {

/// A PNG picture as the page decoded it: 16-bit samples scaled to 8 bits as libpng scales them,
/// samples of 1, 2 and 4 bits unpacked to one byte each (grey levels widened to 8 bits), and a
/// grey or RGB picture's tRNS colour turned into alpha.
struct PngPixels {
  enum class Layout : int32_t {
    Palette = 0,    ///< one palette index per pixel
    Grey = 1,       ///< one grey level per pixel
    GreyAlpha = 2,  ///< grey level and alpha
    Rgba = 3,       ///< red, green, blue and alpha (opaque for a picture without alpha)
  };

  Layout layout = Layout::Rgba;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> samples;
  /// The PLTE colours, 0x00RRGGBB, black past the file's table.
  std::array<uint32_t, 256> palette{};
  /// The tRNS alpha of each palette index, 255 past it; used when `hasPaletteAlpha`.
  std::array<uint8_t, 256> paletteAlpha{};
  bool hasPaletteAlpha = false;
};

/// The bytes one pixel takes in `layout`.
int32_t bytesPerPixel(PngPixels::Layout layout);

/// What the desktop's reader refuses before it decodes, checked on the file's bytes so that the
/// page's decoder never sees it: a file that ends before its IEND chunk (a save in progress)
/// throws Error PictureCutShort; a wrong signature or header, a bit depth the colour type does
/// not have, a side longer than kMaxPngSide, more pixels than kMaxBitmapPixels, or more pixels
/// than the compressed data could describe throw "ビットマップイメージが不正です".
void checkPngFile(std::span<const uint8_t> file);

/// The picture keyed as the desktop's PNG reader keys it. Throws "ビットマップイメージが不正です"
/// when the sides are not positive or too large, or the samples do not fill them exactly.
DecodedImage keyPngPixels(PngPixels pixels);

}  // namespace patapata::web
