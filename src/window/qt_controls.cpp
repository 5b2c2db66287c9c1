#include "window/qt_controls.h"

#include "common/encoding.h"

#include <QAbstractButton>
#include <QAction>
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

[[noreturn]] void noSuchControl(const char* kind, int id) {
  throw std::logic_error(std::string("no ") + kind + " " + std::to_string(id) + " was added");
}

}  // namespace

QtControls::QtControls(HandlerEntry entry) : entry_(std::move(entry)) {}

void QtControls::addEdit(Edit id, QLineEdit* edit) {
  edits_[id] = edit;
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id] {
    if (settingText_ || !onTextChanged) return;
    entry_([this, id] { onTextChanged(id); });
  });
}

void QtControls::addSwitch(Switch id, QAbstractButton* box) {
  boxes_[id] = box;
}

void QtControls::addSwitch(Switch id, QAction* item) {
  items_[id] = item;
}

QLineEdit* QtControls::edit(Edit id) const {
  const auto it = edits_.find(id);
  if (it == edits_.end() || it->second.isNull()) noSuchControl("edit", static_cast<int>(id));
  return it->second.data();
}

void QtControls::setText(Edit id, std::string_view text) {
  QLineEdit* e = edit(id);
  const QString value = fromUtf8(encoding::toDisplayText(text));
  if (value == e->text()) return;
  // A typed-length limit must not cut what the program puts in.
  if (e->maxLength() < value.size()) e->setMaxLength(static_cast<int>(value.size()));
  settingText_ = true;
  e->setText(value);
  settingText_ = false;
  if (onTextChanged) onTextChanged(id);
}

std::string QtControls::text(Edit id) const {
  return shiftJisOf(edit(id)->text());
}

int32_t QtControls::caretPosition(Edit id) const {
  const QLineEdit* e = edit(id);
  // The selection's left end while text is selected, else the cursor; counted in the
  // Shift-JIS bytes the core measures.
  const int position = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return static_cast<int32_t>(shiftJisOf(e->text().left(position)).size());
}

void QtControls::setChecked(Switch id, bool checked) {
  if (const auto box = boxes_.find(id); box != boxes_.end() && box->second) {
    box->second->setChecked(checked);
  } else if (const auto item = items_.find(id); item != items_.end() && item->second) {
    item->second->setChecked(checked);
  } else {
    noSuchControl("switch", static_cast<int>(id));
  }
}

bool QtControls::isChecked(Switch id) const {
  if (const auto box = boxes_.find(id); box != boxes_.end() && box->second) {
    return box->second->isChecked();
  }
  if (const auto item = items_.find(id); item != items_.end() && item->second) {
    return item->second->isChecked();
  }
  noSuchControl("switch", static_cast<int>(id));
}

void QtControls::selectAllAndCopy(Edit id) {
  QLineEdit* e = edit(id);
  e->selectAll();
  e->copy();
}

}  // namespace patapata
