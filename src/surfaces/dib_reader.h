#pragma once

#include "surfaces/image.h"

#include <cstdint>
#include <span>

namespace patapata {

/// Decodes a device-independent bitmap in the BMP file layout (the ".dib" reader, stricter
/// than the ".bmp" one). A zero-length file gives an empty image. Throws EInvalidGraphic
/// "不正な DIB です", EInvalidGraphicOperation "不正なビット数です (%d)" or
/// "不正なピクセルフォーマットです", or EReadError.
DecodedImage decodeDib(std::span<const uint8_t> file);

}  // namespace patapata
