#include "window/main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ぱたぱた！"));
  patapata::TForm1 form;
  form.show();
  return QApplication::exec();
}
