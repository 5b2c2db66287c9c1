#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace patapata {

/// The edits the user types in.
enum class Edit {
  Interval,     ///< the frame interval in milliseconds
  Pattern,      ///< a pattern sequence to try
  Layer,        ///< a layer sequence to try
  Destination,  ///< the layer's destination sequence
};

/// The check marks the user sets.
enum class Switch {
  PatternLoop,          ///< repeat the pattern check instead of returning
  OneShotLoop,          ///< repeat a one-shot state instead of returning
  AutoSheetReload,      ///< reload the sheet whenever its file changes
  AutoCharacterReload,  ///< reload the character file whenever it changes
};

/// What the core needs of the window's controls: the user's input. What the core only reports
/// for display lives in DisplayState, which the window renders. The window implements this
/// with Qt widgets, tests and the batch modes with MemoryControls. Edit texts are the bytes
/// the viewer measures (Shift-JIS where the user typed Japanese); caret positions count those
/// bytes.
class Controls {
 public:
  virtual ~Controls() = default;

  /// Sets an edit's text. When the text differs from the current one, the change handler
  /// runs before this returns; an equal text runs nothing.
  virtual void setText(Edit edit, std::string_view text) = 0;
  virtual std::string text(Edit edit) const = 0;

  /// The edit's selection start: the number of bytes before the caret.
  virtual int32_t caretPosition(Edit edit) const = 0;

  virtual void setChecked(Switch item, bool checked) = 0;
  virtual bool isChecked(Switch item) const = 0;

  /// Selects the edit's whole text and copies the selection to the clipboard as text.
  virtual void selectAllAndCopy(Edit edit) = 0;

  /// Runs for every change of an edit's text, typed or set by the program.
  std::function<void(Edit)> onTextChanged;
};

}  // namespace patapata
