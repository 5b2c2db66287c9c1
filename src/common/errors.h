#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace patapata {

/// Where in a character file a load stopped.
struct FileLocation {
  std::string file;  ///< the character file's path, bytes as the file system takes them
  int32_t line = 0;  ///< counted from 1; 0 when the file could not be read at all

  friend bool operator==(const FileLocation&, const FileLocation&) = default;
};

/// Base of every error the program reports. The message is UTF-8 text, ready to be shown.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

  /// The character file and line a load stopped at, when the character reader raised it.
  const std::optional<FileLocation>& location() const noexcept { return location_; }
  void setLocation(FileLocation location) { location_ = std::move(location); }

 private:
  std::string message_;
  std::optional<FileLocation> location_;
};

/// A text that is not a number ("'%s' は数値ではありません").
class ConversionError : public Exception {
  using Exception::Exception;
};

class DrawContextError : public Exception {
  using Exception::Exception;
};
class SurfaceError : public DrawContextError {
  using DrawContextError::DrawContextError;
};
class ViewError : public Exception {
  using Exception::Exception;
};
class InvalidImageError : public Exception {
  using Exception::Exception;
};
class UnsupportedImageError : public Exception {
  using Exception::Exception;
};
class FileOpenError : public Exception {
  using Exception::Exception;
};
class ReadError : public Exception {
  using Exception::Exception;
};
class InvalidOperationError : public Exception {
  using Exception::Exception;
};

/// Replaces the first "%s" or "%d" of `pattern` with `argument`.
std::string formatMessage(std::string_view pattern, std::string_view argument);

/// The text the error box shows: a "." is appended when the last byte sorts above ".".
std::string errorBoxText(std::string_view message);

}  // namespace patapata
