#include "window/qt_controls.h"

#include "common/encoding.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QString>

#include <stdexcept>

namespace patapata {

namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string shiftJisOf(const QString& text) {
  return encoding::toShiftJis(text.toUtf8().toStdString());
}

[[noreturn]] void noSuchControl(ControlId id, const char* kind) {
  throw std::logic_error(std::string("control ") + std::to_string(static_cast<int>(id)) +
                         " is no " + kind);
}

}  // namespace

QtControls::QtControls(HandlerEntry entry) : entry_(std::move(entry)) {}

void QtControls::addLabel(ControlId id, QLabel* label) {
  labels_[id] = label;
}

void QtControls::addEdit(ControlId id, QLineEdit* edit) {
  edits_[id] = edit;
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id] {
    if (settingText_ || !onTextChanged) return;
    entry_([this, id] { onTextChanged(id); });
  });
}

void QtControls::addButton(ControlId id, QAbstractButton* button) {
  buttons_[id] = button;
}

void QtControls::addAction(ControlId id, QAction* action) {
  actions_[id] = action;
}

QLabel* QtControls::label(ControlId id) const {
  const auto it = labels_.find(id);
  return it == labels_.end() ? nullptr : it->second.data();
}

QLineEdit* QtControls::edit(ControlId id) const {
  const auto it = edits_.find(id);
  return it == edits_.end() ? nullptr : it->second.data();
}

QAbstractButton* QtControls::button(ControlId id) const {
  const auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second.data();
}

QAction* QtControls::action(ControlId id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second.data();
}

std::string QtControls::caption(ControlId id) const {
  if (QLabel* l = label(id)) return l->text().toUtf8().toStdString();
  if (QAbstractButton* b = button(id)) return b->text().toUtf8().toStdString();
  if (QAction* a = action(id)) return a->text().toUtf8().toStdString();
  if (QLineEdit* e = edit(id)) return e->text().toUtf8().toStdString();
  noSuchControl(id, "captioned control");
}

void QtControls::setCaption(ControlId id, std::string_view caption) {
  if (QLabel* l = label(id)) {
    l->setText(fromUtf8(caption));
    l->adjustSize();
  } else if (QAbstractButton* b = button(id)) {
    b->setText(fromUtf8(caption));
  } else if (QAction* a = action(id)) {
    a->setText(fromUtf8(caption));
  } else {
    noSuchControl(id, "captioned control");
  }
}

void QtControls::setText(ControlId id, std::string_view text) {
  QLineEdit* e = edit(id);
  if (e == nullptr) {
    setCaption(id, encoding::toDisplayText(text));
    return;
  }
  const QString value = fromUtf8(encoding::toDisplayText(text));
  if (value == e->text()) return;
  // A typed-length limit must not cut what the program puts in.
  if (e->maxLength() < value.size()) e->setMaxLength(static_cast<int>(value.size()));
  settingText_ = true;
  e->setText(value);
  settingText_ = false;
  if (onTextChanged) onTextChanged(id);
}

std::string QtControls::text(ControlId id) const {
  if (QLineEdit* e = edit(id)) return shiftJisOf(e->text());
  return caption(id);
}

void QtControls::setEnabled(ControlId id, bool enabled) {
  if (QAbstractButton* b = button(id)) {
    b->setEnabled(enabled);
  } else if (QLineEdit* e = edit(id)) {
    e->setEnabled(enabled);
  } else if (QAction* a = action(id)) {
    a->setEnabled(enabled);
  } else if (QLabel* l = label(id)) {
    l->setEnabled(enabled);
  } else {
    noSuchControl(id, "control");
  }
}

bool QtControls::isEnabled(ControlId id) const {
  if (QAbstractButton* b = button(id)) return b->isEnabled();
  if (QLineEdit* e = edit(id)) return e->isEnabled();
  if (QAction* a = action(id)) return a->isEnabled();
  if (QLabel* l = label(id)) return l->isEnabled();
  noSuchControl(id, "control");
}

void QtControls::setChecked(ControlId id, bool checked) {
  if (QAbstractButton* b = button(id)) {
    b->setChecked(checked);
  } else if (QAction* a = action(id)) {
    a->setChecked(checked);
  } else {
    noSuchControl(id, "checkable control");
  }
}

bool QtControls::isChecked(ControlId id) const {
  if (QAbstractButton* b = button(id)) return b->isChecked();
  if (QAction* a = action(id)) return a->isChecked();
  noSuchControl(id, "checkable control");
}

int32_t QtControls::caretPosition(ControlId id) const {
  QLineEdit* e = edit(id);
  if (e == nullptr) noSuchControl(id, "edit");
  // The selection's left end while text is selected, else the cursor; counted in the
  // Shift-JIS bytes the core measures.
  const int position = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return static_cast<int32_t>(shiftJisOf(e->text().left(position)).size());
}

void QtControls::selectAllAndCopy(ControlId id) {
  QLineEdit* e = edit(id);
  if (e == nullptr) noSuchControl(id, "edit");
  e->selectAll();
  e->copy();
}

}  // namespace patapata
