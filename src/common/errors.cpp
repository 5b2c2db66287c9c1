#include "common/errors.h"

namespace patapata {

Error::Error(MessageId id, std::vector<std::string> arguments)
    : message_{id, std::move(arguments)}, text_(messageText(message_)) {}

Error::Error(MessageId id, std::string argument)
    : Error(id, std::vector<std::string>{std::move(argument)}) {}

std::string errorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

}  // namespace patapata
