#pragma once

#include "common/controls.h"

#include <map>
#include <string>

namespace patapata {

/// The window's controls held in memory, in their start state: the batch modes run the
/// viewer's rules on them without a display, and so do the tests. Setting an edit's text to
/// a different value runs the change handler, as the real window does.
class MemoryControls : public Controls {
 public:
  void setText(Edit edit, std::string_view text) override;
  std::string text(Edit edit) const override;
  int32_t caretPosition(Edit edit) const override;
  void setChecked(Switch item, bool checked) override;
  bool isChecked(Switch item) const override;
  void selectAllAndCopy(Edit edit) override;

  /// What the user does: typing replaces the text and puts the caret at its end.
  void type(Edit edit, std::string_view text);
  void setCaret(Edit edit, int32_t position) { carets_[edit] = position; }

  /// The clipboard's text.
  std::string clipboard;

 private:
  std::map<Edit, std::string> texts_{{Edit::Interval, "100"}};
  std::map<Switch, bool> checked_;
  std::map<Edit, int32_t> carets_;
};

}  // namespace patapata
