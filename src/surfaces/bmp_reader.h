#pragma once

#include "surfaces/bitmap_pixels.h"
#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace patapata {

/// Decodes a Windows BMP file (the ".bmp" reader). A zero-length file gives an empty image.
/// Throws Error "ビットマップイメージが不正です" or Error
/// "ストリームからの読み込みエラー".
DecodedImage decodeBmp(std::span<const uint8_t> file);
/// The same, except that a picture stored in colours comes as raw pixels of `display`.
DecodedImage decodeBmpForDisplay(std::span<const uint8_t> file, const PixelFormat& display);
/// The same for the file at `path`, read a piece of at most `pieceBytes` at a time when it is
/// uncompressed and stored in colours, with the same errors; nothing when it is not such a
/// file (or cannot be opened), which is then for decodeBmpForDisplay to read whole.
std::optional<DecodedImage> decodeBmpFileForDisplay(const std::string& path,
                                                    const PixelFormat& display,
                                                    std::size_t pieceBytes = kBitmapPieceBytes);

}  // namespace patapata
