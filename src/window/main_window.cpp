#include "window/main_window.h"

namespace patapata {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("ぱたぱた！"));
}

}  // namespace patapata
