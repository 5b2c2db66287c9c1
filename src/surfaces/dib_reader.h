#pragma once

#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <span>

namespace patapata {

/// Decodes a device-independent bitmap in the BMP file layout (the ".dib" reader, stricter
/// than the ".bmp" one). A zero-length file gives an empty image. Throws Error
/// "不正な DIB です", Error "不正なビット数です (%d)" or
/// "不正なピクセルフォーマットです", or Error.
DecodedImage decodeDib(std::span<const uint8_t> file);
/// The same, except that a picture stored in colours comes as raw pixels of `display`.
DecodedImage decodeDibForDisplay(std::span<const uint8_t> file, const PixelFormat& display);

}  // namespace patapata
