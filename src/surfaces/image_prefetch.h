#pragma once

#include "common/file_stamp.h"
#include "surfaces/image.h"
#include "surfaces/pixel_format.h"

#include <future>
#include <optional>
#include <string>

namespace patapata {

/// One picture decoded ahead on a thread of its own, while the window system starts: the sheet
/// of the character named on the command line, so that its first frame is not kept waiting
/// for reading and decoding a large file. The first load of a picture takes it if it is that
/// file, unchanged since it was read; otherwise it is dropped, and the load reads the file
/// itself, with its own errors.
class ImagePrefetch {
 public:
  /// Starts decoding `path` for `displayFormat`. Nothing happens when no thread can be had.
  ImagePrefetch(std::string path, PixelFormat displayFormat);
  /// Waits for the thread.
  ~ImagePrefetch();
  ImagePrefetch(const ImagePrefetch&) = delete;
  ImagePrefetch& operator=(const ImagePrefetch&) = delete;

  /// Blocks until the decode has finished (take waits by itself).
  void wait() const;

  /// Waits for the decode. The picture when `path` is the file decoded (however it is spelled)
  /// and the file's stamp is the one it had while it was read; nothing otherwise, and nothing
  /// on every later call.
  std::optional<DecodedImage> take(const std::string& path);

 private:
  struct Decoded {
    std::string path;
    FileStamp stamp;
    std::optional<DecodedImage> image;
  };
  static Decoded decode(std::string path, PixelFormat displayFormat);

  std::future<Decoded> pending_;
};

}  // namespace patapata
