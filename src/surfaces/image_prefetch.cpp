#include "surfaces/image_prefetch.h"

#include "surfaces/image_file.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace patapata {

ImagePrefetch::ImagePrefetch(std::string path, PixelFormat displayFormat) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  // Built without threads, where std::async waits for ever instead of failing: the load reads
  // the file itself.
  (void)path;
  (void)displayFormat;
#else
  try {
    pending_ =
        std::async(std::launch::async, &ImagePrefetch::decode, std::move(path), displayFormat);
  } catch (const std::system_error&) {
    // No thread: the load reads the file itself.
  }
#endif
}

ImagePrefetch::~ImagePrefetch() {
  wait();
}

void ImagePrefetch::wait() const {
  if (pending_.valid()) pending_.wait();
}

ImagePrefetch::Decoded ImagePrefetch::decode(std::string path, PixelFormat displayFormat) {
  Decoded decoded{std::move(path), FileStamp::missing(), std::nullopt};
  const FileStamp before = fileStamp(decoded.path);
  if (before.isMissing()) return decoded;
  try {
    DecodedImage image = decodeImageFile(decoded.path, &displayFormat);
    // A save during the read leaves a picture that may be neither the old nor the new one.
    if (fileStamp(decoded.path) != before) return decoded;
    decoded.stamp = before;
    decoded.image = std::move(image);
  } catch (...) {
    // Whatever failed here fails again in the load, which reports it.
  }
  return decoded;
}

std::optional<DecodedImage> ImagePrefetch::take(const std::string& path) {
  if (!pending_.valid()) return std::nullopt;
  Decoded decoded = pending_.get();
  if (!decoded.image) return std::nullopt;
  std::error_code ec;
  if (!std::filesystem::equivalent(path, decoded.path, ec) || ec) return std::nullopt;
  if (fileStamp(path) != decoded.stamp) return std::nullopt;
  return std::move(decoded.image);
}

}  // namespace patapata
