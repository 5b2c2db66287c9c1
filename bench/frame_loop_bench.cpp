// The real viewer's frame loop, measured: the idle loop and the main window
// play a character on Qt's offscreen platform, at each frame interval in turn, and the
// program prints how far the intervals between frame starts stray from the frame interval
// (median and 99th percentile) and the processor time the process used over that time.
//
// Usage: patapata_frame_loop_bench [--seconds N] [--intervals 16,100] [file.chp]
// Without a file it plays the sample character (samples/hiyoko). A measurement, not a test.
#include "common/controls.h"
#include "surfaces/pixel_format.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
  return values[std::min(values.size(), std::max<std::size_t>(rank, 1)) - 1];
}

struct Options {
  double seconds = 10;
  std::vector<int> intervals{16, 100};
  std::string file = PATAPATA_SAMPLE_CHARACTER;
};

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      o.seconds = std::atof(argv[++i]);
    } else if (arg == "--intervals" && i + 1 < argc) {
      o.intervals.clear();
      std::stringstream list(argv[++i]);
      std::string item;
      while (std::getline(list, item, ',')) o.intervals.push_back(std::atoi(item.c_str()));
    } else {
      o.file = arg;
    }
  }
  return o;
}

/// One measurement phase: the frame interval, and the end times of the ticks that drew.
struct Phase {
  int interval = 0;
  bool measuring = false;
  std::vector<Clock::time_point> frames;
  Clock::time_point start;
  double cpuAtStart = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const Options options = parse(argc, argv);
  if (!std::filesystem::exists(options.file)) {
    std::fprintf(stderr, "no character file at %s\n", options.file.c_str());
    return 2;
  }
  if (options.intervals.empty() || options.seconds <= 0) {
    std::fprintf(stderr, "usage: %s [--seconds N] [--intervals 16,100] [file.chp]\n", argv[0]);
    return 2;
  }

  QApplication app(argc, argv);
  patapata::IdleLoop idleLoop;
  idleLoop.setTitle(QStringLiteral("ぱたぱた！"));
  auto service = std::make_shared<patapata::platform::SurfaceService>();
  // Settings of its own, so that a run never changes the user's.
  patapata::MainWindow form(
      idleLoop, service, {options.file},
      std::make_unique<patapata::Preferences>(QDir::tempPath() + "/patapata-frame-loop-bench.ini"));
  int errors = 0;
  form.setErrorReporter([&](const QString& text) {
    ++errors;
    std::fprintf(stderr, "error box: %s\n", text.toUtf8().constData());
  });

  // The window's own idle handler, wrapped: a tick that leaves `done` false has drawn a
  // frame. Its end is taken as the frame's start plus the constant work of composing and
  // presenting (a tenth of a millisecond), so intervals between ends are frame intervals.
  Phase phase;
  idleLoop.setOnIdle([&](bool& done) {
    form.onIdle(done);
    if (!done && phase.measuring) phase.frames.push_back(Clock::now());
  });
  form.show();

  std::printf("frame loop of the viewer on Qt's \"%s\" platform, %s, %.0f s per interval\n",
              QGuiApplication::platformName().toUtf8().constData(), options.file.c_str(),
              options.seconds);
  std::printf("%-10s %8s %14s %14s %14s %10s\n", "interval", "frames", "mean interval",
              "median error", "p99 error", "CPU");

  std::size_t next = 0;
  bool failed = false;
  const auto warmUp = std::chrono::milliseconds(1000);
  const auto measure = std::chrono::milliseconds(static_cast<int64_t>(options.seconds * 1000));
  std::function<void()> startPhase;
  std::function<void()> endPhase;
  startPhase = [&] {
    phase = Phase{options.intervals[next], false, {}, {}, 0};
    form.controls().setText(patapata::Edit::Interval, std::to_string(phase.interval));
    QTimer::singleShot(warmUp, [&] {
      // Again: the start-up load of the first phase sets the file's own interval.
      form.controls().setText(patapata::Edit::Interval, std::to_string(phase.interval));
      phase.frames.clear();
      phase.measuring = true;
      phase.start = Clock::now();
      phase.cpuAtStart = processCpuSeconds();
      QTimer::singleShot(measure, endPhase);
    });
  };
  endPhase = [&] {
    phase.measuring = false;
    const double wall = std::chrono::duration<double>(Clock::now() - phase.start).count();
    const double cpu = processCpuSeconds() - phase.cpuAtStart;
    std::vector<double> errorsMs;
    double sum = 0;
    for (std::size_t i = 1; i < phase.frames.size(); ++i) {
      const double ms =
          std::chrono::duration<double, std::milli>(phase.frames[i] - phase.frames[i - 1]).count();
      sum += ms;
      errorsMs.push_back(std::abs(ms - phase.interval));
    }
    if (errorsMs.empty()) {
      std::printf("%-10d no frames were drawn: is the character loaded?\n", phase.interval);
      failed = true;
    } else {
      std::printf("%7d ms %8zu %11.3f ms %11.3f ms %11.3f ms %8.2f %%\n", phase.interval,
                  phase.frames.size(), sum / static_cast<double>(errorsMs.size()),
                  percentile(errorsMs, 0.5), percentile(errorsMs, 0.99), 100 * cpu / wall);
    }
    std::fflush(stdout);
    if (++next < options.intervals.size()) {
      startPhase();
    } else {
      QApplication::quit();
    }
  };
  QTimer::singleShot(0, startPhase);
  QApplication::exec();
  return failed || errors != 0 ? 1 : 0;
}
