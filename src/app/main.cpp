#include "app/batch_modes.h"
#include "character/character_reader.h"
#include "surfaces/pixel_format.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"

#include <QApplication>
#include <QTimer>

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
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

// The cold start, measured when PATAPATA_MEASURE_START is set: the milliseconds from the
// start to the first frame of the character on screen are printed, and the viewer quits. The
// value is the start as nanoseconds since the epoch (`date +%s%N` just before exec, so that
// loading the libraries counts); any other value measures from the start of main.
int64_t measuredStartNs(const char* value, int64_t mainStartNs) {
  char* end = nullptr;
  const long long given = std::strtoll(value, &end, 10);
  return end != value && *end == '\0' && given > 1'000'000'000'000'000'000LL ? given : mainStartNs;
}

int64_t epochNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The font configuration is read on the other processor while this one loads Qt: Qt reads it
// when it first lays out text, which the window's first frame waits for. Without a thread Qt
// reads it itself, as it would anyway.
std::jthread readFontConfigurationAhead() {
  try {
    return std::jthread([] { FcInit(); });
  } catch (const std::system_error&) {
    return {};
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t mainStartNs = epochNs();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Batch modes run before any window system is touched, so they need no display.
  if (const auto status = patapata::app::runCommandLine(args)) return *status;

  auto service = std::make_shared<patapata::platform::SurfaceService>(displayFormat());
  // The sheet of the character on the command line is read and decoded while Qt starts and
  // the window is built: for a large sheet that is most of the time to the first frame.
  if (!args.empty()) {
    if (auto sheet = patapata::firstSheetPath(args.front())) service->prefetchImage(*sheet);
  }

  const std::jthread fonts = readFontConfigurationAhead();

  QApplication app(argc, argv);
  patapata::IdleLoop idleLoop;
  idleLoop.setTitle(QStringLiteral("ぱたぱた！"));

  // QApplication has taken its own options out of argv; what is left are the viewer's.
  std::vector<std::string> arguments(argv + 1, argv + argc);
  patapata::MainWindow window(idleLoop, std::move(service), std::move(arguments),
                              std::make_unique<patapata::Preferences>());
  if (const char* measure = std::getenv("PATAPATA_MEASURE_START")) {
    const int64_t startNs = measuredStartNs(measure, mainStartNs);
    window.setOnFirstFrame([startNs] {
      // Printed once the paint has been flushed to the window, which follows the paint in the
      // same pass of the event loop.
      QTimer::singleShot(0, [startNs] {
        std::printf("first frame on screen %.1f ms after the start\n",
                    static_cast<double>(epochNs() - startNs) / 1e6);
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    });
  }
  window.show();
  return QApplication::exec();
}
