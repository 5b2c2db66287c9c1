#pragma once

#include "common/new_file.h"

#include <cstdint>
#include <string>

namespace patapata::exporting {

struct IndexedFrames;

/// Writes frames reduced to one palette as a looping animated GIF, each native pixel enlarged
/// to a `scale` × `scale` block, every frame shown for `frameIntervalMs` (to the hundredth of a
/// second GIF counts in, at least one). Marks no colour transparent. An existing file is replaced
/// only as `replace` allows. Throws FileWriteError (FileExistsError) when the file cannot be
/// written.
void writeAnimatedGif(const std::string& path, const IndexedFrames& frames, int32_t frameIntervalMs,
                      int32_t scale, Replace replace);

}  // namespace patapata::exporting
