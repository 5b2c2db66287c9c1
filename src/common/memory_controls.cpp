#include "common/memory_controls.h"

#include <utility>

namespace patapata {

void MemoryControls::setText(Edit edit, std::string_view text) {
  std::string& held = texts_[index(edit)];
  if (held == text) return;
  held.assign(text);
  ++revision_;
  if (onTextChanged) onTextChanged(edit);
}

std::string MemoryControls::text(Edit edit) const {
  return texts_[index(edit)];
}

int32_t MemoryControls::caretPosition(Edit edit) const {
  return carets_[index(edit)];
}

void MemoryControls::setChecked(Switch item, bool checked) {
  bool& held = checked_[static_cast<std::size_t>(item)];
  if (held == checked) return;
  held = checked;
  ++revision_;
}

bool MemoryControls::isChecked(Switch item) const {
  return checked_[static_cast<std::size_t>(item)];
}

void MemoryControls::selectAllAndCopy(Edit edit) {
  carets_[index(edit)] = 0;
  clipboard = text(edit);
  ++copies_;
}

void MemoryControls::type(Edit edit, std::string_view text) {
  setText(edit, text);
  carets_[index(edit)] = static_cast<int32_t>(text.size());
}

void MemoryControls::edited(Edit edit, std::string text, int32_t caret) {
  carets_[index(edit)] = caret;
  std::string& held = texts_[index(edit)];
  if (held == text) return;
  held = std::move(text);
  if (onTextChanged) onTextChanged(edit);
}

}  // namespace patapata
