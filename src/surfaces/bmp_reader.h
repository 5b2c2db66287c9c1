#pragma once

#include "surfaces/image.h"

#include <cstdint>
#include <span>

namespace patapata {

/// Decodes a Windows BMP file (the ".bmp" reader). A zero-length file gives an empty image.
/// Throws InvalidImageError "ビットマップイメージが不正です" or ReadError
/// "ストリームからの読み込みエラー".
DecodedImage decodeBmp(std::span<const uint8_t> file);

}  // namespace patapata
