#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

namespace patapata::exporting {

/// How colours that the palette lacks are spread over neighbouring pixels.
enum class Dither {
  None,            ///< each pixel takes its nearest palette colour; best for pixel art
  Ordered,         ///< an 8 × 8 Bayer pattern, fixed to the frame, so still parts do not crawl
  FloydSteinberg,  ///< error diffusion
};

/// Frames of one size as indices into one palette shared by all of them.
struct IndexedFrames {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<QRgb> palette;                  ///< 1 to 256 colours, 0x00RRGGBB
  std::vector<std::vector<uint8_t>> indices;  ///< per frame, width × height, row by row
};

/// Reduces frames to one palette of at most 256 colours. Frames with 256 colours or fewer keep
/// every colour exactly, the palette in order of first appearance. With more, giflib's
/// median-cut quantiser chooses the palette from all frames together, so that colours do not
/// flicker from frame to frame, and each pixel takes its nearest palette colour, dithered as
/// asked. `key`, when it appears, keeps its exact value, and only pixels of that colour take it.
/// The frames must be non-empty and of one size; throws ExportError when the quantiser fails.
IndexedFrames reduceToPalette(const std::vector<QImage>& frames, Dither dither,
                              std::optional<QRgb> key);

}  // namespace patapata::exporting
