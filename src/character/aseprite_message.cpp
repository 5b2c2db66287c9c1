#include "character/aseprite_message.h"

#include <cstddef>

namespace patapata {

namespace {

constexpr bool tableFollowsIds() {
  for (std::size_t i = 0; i < kAsepriteMessages.size(); ++i) {
    if (static_cast<std::size_t>(kAsepriteMessages[i].id) != i) return false;
  }
  return true;
}
static_assert(tableFollowsIds(), "kAsepriteMessages must list every id once, in order");
static_assert(static_cast<std::size_t>(AsepriteMessageId::NameBlanksReplaced) + 1 ==
                  kAsepriteMessages.size(),
              "every id needs its text");

}  // namespace

std::string_view asepriteMessagePattern(AsepriteMessageId id) {
  return kAsepriteMessages[static_cast<std::size_t>(id)].english;
}

std::string fillPlaceholders(std::string_view pattern, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(pattern.size() + 32);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size()) {
      const char next = pattern[i + 1];
      if (next == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (next >= '1' && next <= '9') {
        const auto index = static_cast<std::size_t>(next - '1');
        if (index < args.size()) {
          out += args[index];
          ++i;
          continue;
        }
      }
    }
    out += c;
  }
  return out;
}

std::string formatAsepriteMessage(const AsepriteMessage& message) {
  return fillPlaceholders(asepriteMessagePattern(message.id), message.args);
}

}  // namespace patapata
