#include "app/batch_modes.h"
#include "surfaces/pixel_format.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

/// The display format: 32-bit XRGB, or 16-bit 5-6-5 when PATAPATA_DISPLAY_BITS is 16, for
/// authors who want to see how their colours reduce. An environment setting, so that the
/// first argument stays the character file.
patapata::PixelFormat displayFormat() {
  const char* bits = std::getenv("PATAPATA_DISPLAY_BITS");
  if (bits != nullptr && std::string_view(bits) == "16") return patapata::PixelFormat::rgb565();
  return patapata::PixelFormat::xrgb8888();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Batch modes run before any window system is touched, so they need no display.
  if (const auto status = patapata::app::runCommandLine(args)) return *status;

  QApplication app(argc, argv);
  patapata::IdleLoop idleLoop;
  idleLoop.setTitle(QStringLiteral("ぱたぱた！"));

  // QApplication has taken its own options out of argv; what is left are the viewer's.
  std::vector<std::string> arguments(argv + 1, argv + argc);
  auto service = std::make_shared<patapata::platform::SurfaceService>(displayFormat());
  patapata::MainWindow window(idleLoop, std::move(service), std::move(arguments),
                              std::make_unique<patapata::Preferences>());
  window.show();
  return QApplication::exec();
}
