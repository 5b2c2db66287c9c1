#pragma once

#include <QCoreApplication>
#include <QString>

namespace patapata {

/// A text of the main window, its menus and its dialogs, marked with QT_TRANSLATE_NOOP in the
/// context "MainWindow", in the window's language. Not tr(): its context would be the class's
/// name with its namespace, which the translation tools do not see.
inline QString ui(const char* source) {
  return QCoreApplication::translate("MainWindow", source);
}

}  // namespace patapata
