#pragma once

#include "common/message.h"
#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace patapata {

/// An image reader chosen by file extension.
struct ImageReader {
  const char* extension;    ///< lower case, without the dot
  const char* description;  ///< the format's name as the user sees it
  DecodedImage (*decode)(std::span<const uint8_t> file);
  /// The same, giving a picture it can write in `display` as raw pixels of that format; null
  /// when the reader has no such path.
  DecodedImage (*decodeForDisplay)(std::span<const uint8_t> file, const PixelFormat& display);
  /// The same, reading the file at `path` itself where that saves holding it whole; nothing
  /// when it does not, and null when the reader never does.
  std::optional<DecodedImage> (*decodeFileForDisplay)(const std::string& path,
                                                      const PixelFormat& display);
  /// The picture is copied from its own drawing context, so even an empty one needs a
  /// surface to land on.
  bool copiesFromOwnContext;
  /// The reader's message for a file that is no picture it can read.
  MessageId invalidMessage;
};

/// No picture the readers accept needs a larger file: the largest picture at 32 bits per
/// pixel, with room for headers and a colour table (only a PNG stored without compression at
/// 16 bits per sample would be larger). Larger files are refused before they are read, so
/// naming a huge file costs no memory.
inline constexpr uint64_t kMaxImageFileBytes = (uint64_t{1} << 28) + (uint64_t{1} << 20);

/// The reader for an extension (compared without regard to case), searching the most
/// recently registered first; null when none matches.
const ImageReader* imageReaderFor(std::string_view extension);

/// The extension of a path: the text after the last dot of its file-name part, without the
/// dot; empty when there is none.
std::string_view fileExtension(std::string_view path);

}  // namespace patapata
