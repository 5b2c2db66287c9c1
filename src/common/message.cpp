#include "common/message.h"

#include <cstddef>
#include <iterator>

namespace patapata {

namespace {

struct MessageText {
  const char* context;  ///< the window translates it in this context
  const char* text;
};

// In the order of MessageId, which the same list makes.
constexpr MessageText kTexts[] = {
#define PATAPATA_ERROR(id, text) {"Messages", text},
#define PATAPATA_LINT(id, text) {"Lint", text},
#define PATAPATA_IMPORT(id, text) {"Import", text},
#include "common/message_texts.inc"
#undef PATAPATA_ERROR
#undef PATAPATA_LINT
#undef PATAPATA_IMPORT
};

const MessageText& entry(MessageId id) {
  return kTexts[static_cast<std::size_t>(id)];
}

}  // namespace

const char* messageContext(MessageId id) {
  return entry(id).context;
}

const char* messageSource(MessageId id) {
  return entry(id).text;
}

std::string fillArguments(std::string_view pattern, const std::vector<std::string>& arguments) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (index < arguments.size()) {
        out += arguments[index];
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string messageText(const Message& message) {
  return fillArguments(messageSource(message.id), message.arguments);
}

}  // namespace patapata
