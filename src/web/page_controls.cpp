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

PageControls::PageControls() {
  texts_[index(Edit::Interval)] = "100";
}

void PageControls::setText(Edit edit, std::string_view text) {
  std::string& held = texts_[index(edit)];
  if (held == text) return;
  held.assign(text);
  ++revision_;
  if (onTextChanged) onTextChanged(edit);
}

std::string PageControls::text(Edit edit) const {
  return texts_[index(edit)];
}

int32_t PageControls::caretPosition(Edit edit) const {
  return carets_[index(edit)];
}

void PageControls::setChecked(Switch item, bool checked) {
  bool& held = checked_[static_cast<std::size_t>(item)];
  if (held == checked) return;
  held = checked;
  ++revision_;
}

bool PageControls::isChecked(Switch item) const {
  return checked_[static_cast<std::size_t>(item)];
}

void PageControls::selectAllAndCopy(Edit edit) {
  carets_[index(edit)] = 0;
  copied_ = encoding::toDisplayText(texts_[index(edit)]);
  ++copies_;
}

void PageControls::typed(Edit edit, std::string_view utf8, int32_t caretUtf16) {
  std::string bytes = encoding::toShiftJis(utf8);
  carets_[index(edit)] = static_cast<int32_t>(
      encoding::toShiftJis(utf8.substr(0, utf8PrefixBytes(utf8, caretUtf16))).size());
  std::string& held = texts_[index(edit)];
  if (held == bytes) return;
  held = std::move(bytes);
  if (onTextChanged) onTextChanged(edit);
}

void PageControls::caretMoved(Edit edit, int32_t caretUtf16) {
  const std::string shown = shownText(edit);
  carets_[index(edit)] = static_cast<int32_t>(
      encoding::toShiftJis(std::string_view(shown).substr(0, utf8PrefixBytes(shown, caretUtf16)))
          .size());
}

std::string PageControls::shownText(Edit edit) const {
  return encoding::toDisplayText(texts_[index(edit)]);
}

}  // namespace patapata::web
