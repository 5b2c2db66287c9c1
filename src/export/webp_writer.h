#pragma once

#include "common/new_file.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace patapata::exporting {

/// Writes frames of one size as a lossless animated WebP that loops for ever: exact colours,
/// each native pixel enlarged to a `scale` × `scale` block, every frame shown for
/// `frameIntervalMs` (at least 1). Frames equal to the one before may be merged into one longer
/// frame, which shows the same. An existing file is replaced only as `replace` allows. Throws
/// FileWriteError (FileExistsError) when the file cannot be written, ExportError when the encoder
/// fails.
void writeAnimatedWebp(const std::string& path, const std::vector<QImage>& frames,
                       int32_t frameIntervalMs, int32_t scale, Replace replace);

}  // namespace patapata::exporting
