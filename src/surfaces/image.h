#pragma once

#include "surfaces/pixel_buffer.h"
#include "surfaces/pixel_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace patapata {

/// A decoded picture, rows top-down, width × height entries. Pictures stored with a colour
/// table keep their indices (a quarter of the memory, and the colours are looked up once, when
/// the picture is written into a surface); the others hold their colours, or, when a reader
/// was asked for a display format and could write it at once, that format's raw pixels.
struct DecodedImage {
  int32_t width = 0;
  int32_t height = 0;
  /// Colours 0x00RRGGBB of a picture stored in colours; empty for an indexed or raw picture.
  std::vector<uint32_t> pixels;
  /// One palette index per pixel of an indexed picture; empty otherwise.
  std::vector<uint8_t> indices;
  /// The colours of `indices`, 0x00RRGGBB; entries past the file's colour table are black.
  std::array<uint32_t, 256> palette{};
  /// Raw pixels in `rawFormat`, rows `rawPitch` (PixelFormat::surfacePitch) bytes apart with
  /// zero bytes after each row's pixels: a surface's memory as it stands. Empty otherwise.
  PixelBuffer raw;
  PixelFormat rawFormat;
  int32_t rawPitch = 0;

  bool indexed() const { return !indices.empty(); }
  bool isRaw() const { return !raw.empty(); }
  /// The number of pixels held, in whichever form.
  std::size_t size() const;
  /// The picture as colours 0x00RRGGBB.
  std::vector<uint32_t> rgb() const;
};

}  // namespace patapata
