#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace patapata {

/// The main window's controls, by their design names.
enum class ControlId {
  stateButton1,
  stateButton2,
  stateButton15,
  stateButton16,
  stateButton5,
  stateButton6,
  stateButton7,
  stateButton8,
  stateButton10,
  stateButton11,
  stateButton12,
  stateButton4,
  stateButton3,
  patternCheckButton,
  reloadButton,
  copyPatternButton,
  sheetReloadButton,
  nameLabel,
  stateCaptionLabel,
  intervalLabel,
  layerLabel,
  destinationLabel,
  patternCounter,
  layerCounter,
  destinationCounter,
  intervalEdit,
  patternEdit,
  layerEdit,
  destinationEdit,
  patternLoopBox,
  oneShotLoopBox,
  autoSheetReload,
};

/// What the core needs of the window's controls. The window implements it with Qt widgets,
/// tests with a fake. Captions are UTF-8; edit texts are the bytes the viewer measures
/// (Shift-JIS where the user typed Japanese), caret positions count those bytes.
class Controls {
 public:
  virtual ~Controls() = default;

  virtual std::string caption(ControlId id) const = 0;
  virtual void setCaption(ControlId id, std::string_view caption) = 0;

  /// Sets an edit's text. When the text differs from the current one, the change handler
  /// runs before this returns; an equal text runs nothing.
  virtual void setText(ControlId id, std::string_view text) = 0;
  virtual std::string text(ControlId id) const = 0;

  virtual void setEnabled(ControlId id, bool enabled) = 0;
  virtual bool isEnabled(ControlId id) const = 0;

  virtual void setChecked(ControlId id, bool checked) = 0;
  virtual bool isChecked(ControlId id) const = 0;

  /// The edit's selection start: the number of bytes before the caret.
  virtual int32_t caretPosition(ControlId id) const = 0;

  /// Selects the edit's whole text and copies the selection to the clipboard as text.
  virtual void selectAllAndCopy(ControlId id) = 0;

  /// Runs for every change of an edit's text, typed or set by the program.
  std::function<void(ControlId)> onTextChanged;
};

}  // namespace patapata
