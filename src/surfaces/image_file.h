#pragma once

#include "surfaces/image.h"

#include <string>

namespace patapata {

struct ImageReader;
struct PixelFormat;

/// The reader for `path`'s extension. Throws Error with the unknown-extension
/// message when there is none.
const ImageReader& imageReaderForPath(const std::string& path);

/// Reads and decodes the picture at `path`, written in `displayFormat` where its reader can
/// (raw), else in colours or indices. Throws Error for an unknown extension or a
/// file too large to be a picture, Error when it cannot be read, and the reader's
/// errors.
DecodedImage decodeImageFile(const std::string& path, const PixelFormat* displayFormat);

}  // namespace patapata
