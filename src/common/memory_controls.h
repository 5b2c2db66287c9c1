#pragma once

#include "common/controls.h"

#include <map>
#include <string>
#include <vector>

namespace patapata {

/// The main window's controls held in memory, in their start state: the batch modes run the
/// viewer's rules on them without a display, and so do the tests. Setting an edit's text to
/// a different value runs the change handler, as the real window does.
class MemoryControls : public Controls {
 public:
  MemoryControls();

  std::string caption(ControlId id) const override;
  void setCaption(ControlId id, std::string_view caption) override;
  void setText(ControlId id, std::string_view text) override;
  std::string text(ControlId id) const override;
  void setEnabled(ControlId id, bool enabled) override;
  bool isEnabled(ControlId id) const override;
  void setChecked(ControlId id, bool checked) override;
  bool isChecked(ControlId id) const override;
  int32_t caretPosition(ControlId id) const override;
  void selectAllAndCopy(ControlId id) override;

  /// What the user does: typing replaces the text and puts the caret at its end.
  void type(ControlId id, std::string_view text);
  void setCaret(ControlId id, int32_t position) { carets_[id] = position; }

  /// The clipboard's text.
  std::string clipboard;
  /// Every change handler call, in order.
  std::vector<ControlId> changes;

 private:
  std::map<ControlId, std::string> texts_;
  std::map<ControlId, bool> enabled_;
  std::map<ControlId, bool> checked_;
  std::map<ControlId, int32_t> carets_;
};

}  // namespace patapata
