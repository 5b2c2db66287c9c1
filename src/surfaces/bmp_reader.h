#pragma once

#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <span>

namespace patapata {

/// Decodes a Windows BMP file (the ".bmp" reader). A zero-length file gives an empty image.
/// Throws InvalidImageError "ビットマップイメージが不正です" or ReadError
/// "ストリームからの読み込みエラー".
DecodedImage decodeBmp(std::span<const uint8_t> file);
/// The same, except that a picture stored in colours comes as raw pixels of `display`.
DecodedImage decodeBmpForDisplay(std::span<const uint8_t> file, const PixelFormat& display);

}  // namespace patapata
