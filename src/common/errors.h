#pragma once

#include "common/message.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace patapata {

/// Where in a character file a load stopped.
struct FileLocation {
  std::string file;  ///< the character file's path, bytes as the file system takes them
  int32_t line = 0;  ///< counted from 1; 0 when the file could not be read at all

  friend bool operator==(const FileLocation&, const FileLocation&) = default;
};

/// Every error the system reports: which message it is, what goes into it and, for a
/// character file, where the load stopped. The text is made from the message where the
/// error is shown; what() gives it in the system's own words.
class Error : public std::exception {
 public:
  explicit Error(MessageId id, std::vector<std::string> arguments = {});
  Error(MessageId id, std::string argument);

  MessageId id() const noexcept { return message_.id; }
  const Message& message() const noexcept { return message_; }
  const char* what() const noexcept override { return text_.c_str(); }
  /// The text, as what() gives it.
  const std::string& text() const noexcept { return text_; }

  /// The character file and line a load stopped at, when the character reader raised it.
  const std::optional<FileLocation>& location() const noexcept { return location_; }
  void setLocation(FileLocation location) { location_ = std::move(location); }

  /// What the author may do about it, shown as a second line where the error is shown.
  const std::optional<Message>& hint() const noexcept { return hint_; }
  void setHint(Message hint) { hint_ = std::move(hint); }

 private:
  Message message_;
  std::string text_;
  std::optional<FileLocation> location_;
  std::optional<Message> hint_;
};

/// The text the error box shows: a "." is appended when the last byte sorts above ".".
std::string errorBoxText(std::string_view message);

}  // namespace patapata
