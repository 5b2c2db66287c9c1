#pragma once

#include "common/controls.h"

#include <QPointer>

#include <functional>
#include <map>

class QAbstractButton;
class QAction;
class QLineEdit;

namespace patapata {

/// The Controls of the core on the window's Qt widgets. Edit texts reach the core as
/// Shift-JIS bytes with caret positions counted in those bytes, and come back from it as
/// UTF-8 or Shift-JIS. Setting an edit's text to a different value runs the change handler
/// once; a typed change runs it too.
class QtControls : public Controls {
 public:
  /// Calls `handler` the way a handler entered from the event loop is called (with the error
  /// report around it); used for typed changes.
  using HandlerEntry = std::function<void(const std::function<void()>& handler)>;
  explicit QtControls(HandlerEntry entry);

  void addEdit(Edit id, QLineEdit* edit);
  /// A check box, or a checkable menu item.
  void addSwitch(Switch id, QAbstractButton* box);
  void addSwitch(Switch id, QAction* item);

  void setText(Edit id, std::string_view text) override;
  std::string text(Edit id) const override;
  int32_t caretPosition(Edit id) const override;
  void setChecked(Switch id, bool checked) override;
  bool isChecked(Switch id) const override;
  void selectAllAndCopy(Edit id) override;

 private:
  QLineEdit* edit(Edit id) const;

  HandlerEntry entry_;
  std::map<Edit, QPointer<QLineEdit>> edits_;
  std::map<Switch, QPointer<QAbstractButton>> boxes_;
  std::map<Switch, QPointer<QAction>> items_;
  /// True while the program sets an edit's text, so Qt's own signal is not taken as typing.
  bool settingText_ = false;
};

}  // namespace patapata
