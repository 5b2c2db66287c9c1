#pragma once

#include "common/controls.h"

#include <array>
#include <cstdint>
#include <string>

namespace patapata {

/// The window's controls held in memory, in their start state: the batch modes run the
/// viewer's rules on them without a display, and so do the tests and the page. Setting an
/// edit's text to a different value runs the change handler, as the real window does.
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
  void setCaret(Edit edit, int32_t position) { carets_[index(edit)] = position; }

  /// Counts the program's changes of texts and check marks, so that whoever shows these
  /// controls refreshes them only when one happened; the user's own edits do not count.
  uint32_t revision() const { return revision_; }
  /// Counts the copies asked for.
  uint32_t copies() const { return copies_; }

  /// The clipboard's text.
  std::string clipboard;

 protected:
  /// The user's edit: the caret goes to `caret`, then a changed text runs the change handler.
  void edited(Edit edit, std::string text, int32_t caret);

 private:
  static std::size_t index(Edit edit) { return static_cast<std::size_t>(edit); }

  std::array<std::string, 4> texts_{"100"};  ///< in the order of Edit
  std::array<int32_t, 4> carets_{};
  std::array<bool, 4> checked_{};  ///< in the order of Switch
  uint32_t revision_ = 0;
  uint32_t copies_ = 0;
};

}  // namespace patapata
