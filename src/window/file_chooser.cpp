#include "window/file_chooser.h"

#include "window/qt_path.h"

#include <QCoreApplication>

namespace patapata {

void makeCharacterFileDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setWindowTitle(QCoreApplication::translate("MainWindow", "開く"));
  // The model of Qt's dialog matches its filters without regard to case unless told otherwise.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setNameFilter(QCoreApplication::translate(
      "MainWindow",
      "キャラクターファイル (*.chp);;Aseprite のシート JSON (*.json);;すべてのファイル (*)"));
}

std::optional<std::string> chooseCharacterFile(QWidget* parent) {
  QFileDialog dialog(parent);
  makeCharacterFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return corePath(dialog.selectedFiles().front());
}

}  // namespace patapata
