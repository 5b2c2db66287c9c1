#include "common/memory_controls.h"

namespace patapata {

void MemoryControls::setText(Edit edit, std::string_view text) {
  if (texts_[edit] == text) return;
  texts_[edit] = std::string(text);
  if (onTextChanged) onTextChanged(edit);
}

std::string MemoryControls::text(Edit edit) const {
  const auto it = texts_.find(edit);
  return it == texts_.end() ? std::string{} : it->second;
}

int32_t MemoryControls::caretPosition(Edit edit) const {
  const auto it = carets_.find(edit);
  return it == carets_.end() ? 0 : it->second;
}

void MemoryControls::setChecked(Switch item, bool checked) {
  checked_[item] = checked;
}

bool MemoryControls::isChecked(Switch item) const {
  const auto it = checked_.find(item);
  return it != checked_.end() && it->second;
}

void MemoryControls::selectAllAndCopy(Edit edit) {
  carets_[edit] = 0;
  clipboard = text(edit);
}

void MemoryControls::type(Edit edit, std::string_view text) {
  setText(edit, text);
  carets_[edit] = static_cast<int32_t>(text.size());
}

}  // namespace patapata
