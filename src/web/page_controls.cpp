#include "web/page_controls.h"

#include "common/encoding.h"

namespace patapata::web {

std::size_t utf8PrefixBytes(std::string_view utf8, int32_t units) {
  std::size_t at = 0;
  int32_t counted = 0;
  while (at < utf8.size() && counted < units) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    counted += length == 4 ? 2 : 1;
    at = std::min(utf8.size(), at + length);
  }
  return at;
}

void PageControls::typed(Edit edit, std::string_view utf8, int32_t caretUtf16) {
  const auto caret = static_cast<int32_t>(
      encoding::toShiftJis(utf8.substr(0, utf8PrefixBytes(utf8, caretUtf16))).size());
  edited(edit, encoding::toShiftJis(utf8), caret);
}

void PageControls::caretMoved(Edit edit, int32_t caretUtf16) {
  const std::string shown = shownText(edit);
  const std::string_view before =
      std::string_view(shown).substr(0, utf8PrefixBytes(shown, caretUtf16));
  setCaret(edit, static_cast<int32_t>(encoding::toShiftJis(before).size()));
}

std::string PageControls::shownText(Edit edit) const {
  return encoding::toDisplayText(text(edit));
}

std::string PageControls::copiedText() const {
  return encoding::toDisplayText(clipboard);
}

}  // namespace patapata::web
