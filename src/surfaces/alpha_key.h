#pragma once

#include "surfaces/image.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The sheets' colour-key rule for pictures with alpha, the same for every decoder (libpng on
// the desktop, the page's decoder in the browser): when the bottom-right pixel's alpha is
// below 128, every pixel whose alpha is below 128 takes one colour, which becomes the key;
// pixels of alpha 128 or more keep their colour. That colour is the bottom-right pixel's own,
// unless an opaque pixel has it too, or one a 5-6-5 display cannot tell from it (paint programs
// often store transparent pixels as black, the colour of the outlines): then it is the first
// colour no opaque pixel comes near at either depth. When the bottom-right pixel is opaque,
// alpha is ignored.
namespace patapata {

/// The picture of `width` × `height` pixels held in `rgba` as rows of red, green, blue and
/// alpha bytes in memory order (8 bits each, straight alpha, top row first, no padding), keyed
/// as above. The vector's memory becomes the picture's colours, converted in place.
///
/// Throws Error "ビットマップイメージが不正です" when either side is not positive,
/// for more pixels than kMaxBitmapPixels or a side longer than kMaxPngSide, and when `rgba`
/// does not hold exactly width × height pixels.
DecodedImage keyRgbaPixels(std::vector<uint32_t> rgba, int32_t width, int32_t height);

/// The same from bytes, 4 per pixel, which are copied.
DecodedImage keyRgbaRows(std::span<const uint8_t> rgba, int32_t width, int32_t height);

/// The rule for a palette picture (one index per pixel, at least one pixel) whose entries have
/// the alpha values `alpha`: transparent pixels take the bottom-right pixel's index, whose
/// palette colour is made one that no opaque entry comes near.
void keyPaletteAlpha(DecodedImage& image, const std::array<uint8_t, 256>& alpha);

/// The rule for a grey picture whose `indices` hold grey and alpha bytes for each pixel (at
/// least one) and whose palette holds the grey levels; they become one level per pixel.
/// Transparent pixels take the bottom-right pixel's level, or, when an opaque pixel comes near
/// its colour, a level no opaque pixel has, whose palette colour is made one no opaque level
/// comes near.
void keyGreyAlpha(DecodedImage& image);

}  // namespace patapata
