#pragma once

#include "common/controls.h"

#include <QPointer>

#include <functional>
#include <map>

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QObject;

namespace patapata {

/// The Controls of the core on the main window's Qt widgets. Captions are UTF-8; edit texts
/// reach the core as Shift-JIS bytes with caret positions counted in those bytes, and come
/// back from it as UTF-8 or Shift-JIS. Setting an edit's text to a different value runs the
/// change handler once; a typed change runs it too.
class QtControls : public Controls {
 public:
  /// Calls `handler` the way a handler entered from the event loop is called (with the error
  /// report around it); used for typed changes.
  using HandlerEntry = std::function<void(const std::function<void()>& handler)>;
  explicit QtControls(HandlerEntry entry);

  void addLabel(ControlId id, QLabel* label);
  void addEdit(ControlId id, QLineEdit* edit);
  void addButton(ControlId id, QAbstractButton* button);
  void addAction(ControlId id, QAction* action);

  std::string caption(ControlId id) const override;
  /// Labels size themselves to their new text.
  void setCaption(ControlId id, std::string_view caption) override;
  void setText(ControlId id, std::string_view text) override;
  std::string text(ControlId id) const override;
  void setEnabled(ControlId id, bool enabled) override;
  bool isEnabled(ControlId id) const override;
  void setChecked(ControlId id, bool checked) override;
  bool isChecked(ControlId id) const override;
  int32_t caretPosition(ControlId id) const override;
  void selectAllAndCopy(ControlId id) override;

 private:
  QLabel* label(ControlId id) const;
  QLineEdit* edit(ControlId id) const;
  QAbstractButton* button(ControlId id) const;
  QAction* action(ControlId id) const;

  HandlerEntry entry_;
  std::map<ControlId, QPointer<QLabel>> labels_;
  std::map<ControlId, QPointer<QLineEdit>> edits_;
  std::map<ControlId, QPointer<QAbstractButton>> buttons_;
  std::map<ControlId, QPointer<QAction>> actions_;
  /// True while the program sets an edit's text, so Qt's own signal is not taken as typing.
  bool settingText_ = false;
};

}  // namespace patapata
