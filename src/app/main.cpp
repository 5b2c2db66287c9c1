#include "app/batch_modes.h"
#include "window/main_window.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Batch modes run before any window system is touched, so they need no display.
  if (!args.empty() && args[0] == "--check") {
    return patapata::app::runCheckMode(std::span(args).subspan(1));
  }
  if (!args.empty() && args[0] == "--render") {
    return patapata::app::runRenderMode(std::span(args).subspan(1));
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ぱたぱた！"));
  patapata::TForm1 form;
  form.show();
  return QApplication::exec();
}
