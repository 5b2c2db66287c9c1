#pragma once

#include <string>
#include <string_view>

namespace patapata {

/// Base of every error the program reports. The message is UTF-8 text, ready to be shown.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

/// A text that is not a number ("'%s' は数値ではありません").
class EConvertError : public Exception {
  using Exception::Exception;
};

class EDirectDrawError : public Exception {
  using Exception::Exception;
};
class EDirectDrawSurfaceError : public EDirectDrawError {
  using EDirectDrawError::EDirectDrawError;
};
class EDirectDrawClipperError : public EDirectDrawError {
  using EDirectDrawError::EDirectDrawError;
};
class EDXDrawError : public Exception {
  using Exception::Exception;
};
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
  using Exception::Exception;
};
class EFOpenError : public Exception {
  using Exception::Exception;
};
class EReadError : public Exception {
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};

/// Replaces the first "%s" or "%d" of `pattern` with `argument`.
std::string formatMessage(std::string_view pattern, std::string_view argument);

/// The text the error box shows: a "." is appended when the last byte sorts above ".".
std::string errorBoxText(std::string_view message);

}  // namespace patapata
