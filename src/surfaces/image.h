#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace patapata {

/// A decoded picture, rows top-down, width × height entries. Pictures stored with a colour
/// table keep their indices (a quarter of the memory, and the colours are looked up once, when
/// the picture is written into a surface); the others hold their colours.
struct DecodedImage {
  int32_t width = 0;
  int32_t height = 0;
  /// Colours 0x00RRGGBB of a picture stored in colours; empty for an indexed picture.
  std::vector<uint32_t> pixels;
  /// One palette index per pixel of an indexed picture; empty otherwise.
  std::vector<uint8_t> indices;
  /// The colours of `indices`, 0x00RRGGBB; entries past the file's colour table are black.
  std::array<uint32_t, 256> palette{};

  bool indexed() const { return !indices.empty(); }
  /// The number of pixels held, in whichever form.
  std::size_t size() const { return indexed() ? indices.size() : pixels.size(); }
  /// The picture as colours 0x00RRGGBB.
  std::vector<uint32_t> rgb() const;
};

}  // namespace patapata
