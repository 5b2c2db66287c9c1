#pragma once

#include "surfaces/pixel_rows.h"

#include <cstdint>

// Drawing one picture over another at part opacity, channel by channel: the onion skin of the
// view. In vector instructions chosen when the program runs, like the loops of pixel_rows.h.
namespace patapata::pixel_mix {

/// The largest weight: `over` alone.
inline constexpr int32_t kFullWeight = 256;

/// `rows.dst` becomes `rows.under` with `rows.over` drawn over it at `weight` / 256 opacity,
/// each channel rounded to the nearest value, for formats whose channels are whole bytes (24
/// and 32 bits a pixel; a 32-bit pixel's unused byte is mixed too). `dst` may be `under`
/// itself, with the same pitch; otherwise no two of the blocks may overlap. `weight` is
/// clamped to 0..256.
void mixBytes(const pixel_rows::RowTriple& rows, int32_t bytesPerPixel, int32_t weight);

/// The same for 16-bit 5-6-5 pixels, each of the three channels mixed at its own width.
void mixRgb565(const pixel_rows::RowTriple& rows, int32_t weight);

namespace scalar {

/// mixBytes a byte at a time: the reference the vector form must equal byte for byte.
void mixBytes(const pixel_rows::RowTriple& rows, int32_t bytesPerPixel, int32_t weight);
/// mixRgb565 a pixel at a time, the same reference for it.
void mixRgb565(const pixel_rows::RowTriple& rows, int32_t weight);

}  // namespace scalar

}  // namespace patapata::pixel_mix
