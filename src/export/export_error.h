#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace patapata::exporting {

/// Work of an export that cannot be done; the message, in English as the batch modes speak,
/// says why. A window shows its own words for the kinds it tells apart.
class ExportError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// A picture the export would write is larger than it writes at all.
class PictureTooLargeError : public ExportError {
 public:
  PictureTooLargeError(const std::string& message, int64_t width, int64_t height)
      : ExportError(message), width_(width), height_(height) {}

  int64_t width() const noexcept { return width_; }
  int64_t height() const noexcept { return height_; }

 private:
  int64_t width_;
  int64_t height_;
};

/// The export was asked to stop before it was done; what it wrote completely stays.
class ExportCancelled : public ExportError {
 public:
  ExportCancelled() : ExportError("the export was cancelled") {}
};

}  // namespace patapata::exporting
