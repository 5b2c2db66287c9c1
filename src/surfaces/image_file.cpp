#include "surfaces/image_file.h"

#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_read.h"
#include "surfaces/image_readers.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace patapata {

const ImageReader& imageReaderForPath(const std::string& path) {
  const std::string_view extension = fileExtension(path);
  const ImageReader* reader = imageReaderFor(extension);
  if (reader == nullptr) {
    throw Error(MessageId::UnknownExtension, encoding::toDisplayText(extension));
  }
  return *reader;
}

DecodedImage decodeImageFile(const std::string& path, const PixelFormat* displayFormat) {
  const ImageReader& reader = imageReaderForPath(path);
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxImageFileBytes) throw Error(reader.invalidMessage);
  if (reader.decodeFileForDisplay != nullptr && displayFormat != nullptr) {
    if (auto image = reader.decodeFileForDisplay(path, *displayFormat)) return std::move(*image);
  }
  const auto file = readWholeFile(path);
  if (!file) {
    throw Error(MessageId::CannotOpenFile, encoding::toDisplayText(path));
  }
  return reader.decodeForDisplay != nullptr && displayFormat != nullptr
             ? reader.decodeForDisplay(*file, *displayFormat)
             : reader.decode(*file);
}

}  // namespace patapata
