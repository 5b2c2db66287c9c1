#include "common/errors.h"

namespace patapata {

std::string formatMessage(std::string_view pattern, std::string_view argument) {
  std::string result(pattern);
  for (std::size_t i = 0; i + 1 < result.size(); ++i) {
    if (result[i] == '%' && (result[i + 1] == 's' || result[i + 1] == 'd')) {
      result.replace(i, 2, argument);
      break;
    }
  }
  return result;
}

std::string errorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

}  // namespace patapata
