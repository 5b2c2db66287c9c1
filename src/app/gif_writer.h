#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace patapata::app {

/// Writes frames of one size as a looping animated GIF with exact colours.
/// Throws Exception when the frames use more than 256 colours or the file cannot be written.
void writeAnimatedGif(const std::string& path, const std::vector<QImage>& frames,
                      int32_t frameIntervalMs);

}  // namespace patapata::app
