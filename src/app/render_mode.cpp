#include "app/batch_modes.h"
#include "app/batch_options.h"
#include "app/headless_player.h"
#include "app/headless_session.h"
#include "common/errors.h"

#include <QImage>
#include <QString>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

namespace patapata::app {
namespace {

constexpr const char* kUsage =
    "usage: patapata --render FILE.chp [--state N] [--ticks K] [--out PREFIX] [--depth 32|16]";

/// More ticks than this is not a render anyone waits for; it also bounds the report's size.
constexpr int32_t kMaxTicks = 100000;

struct RenderOptions {
  std::string file;
  std::optional<int32_t> state;
  std::optional<int32_t> ticks;
  std::optional<std::string> outPrefix;
  PixelFormat format = PixelFormat::xrgb8888();
};

RenderOptions parseArguments(std::span<const std::string> args) {
  RenderOptions options;
  bool haveFile = false;
  bool haveDepth = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.starts_with("--")) {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--state") {
        if (options.state) throw UsageError("--state given twice");
        options.state = parseState(value);
      } else if (arg == "--ticks") {
        if (options.ticks) throw UsageError("--ticks given twice");
        const auto ticks = decimal(value);
        if (!ticks || *ticks < 1 || *ticks > kMaxTicks) {
          throw UsageError("--ticks takes a number from 1 to " + std::to_string(kMaxTicks));
        }
        options.ticks = ticks;
      } else if (arg == "--out") {
        if (options.outPrefix) throw UsageError("--out given twice");
        if (value.empty()) throw UsageError("--out needs a file name prefix");
        options.outPrefix = value;
      } else if (arg == "--depth") {
        if (haveDepth) throw UsageError("--depth given twice");
        haveDepth = true;
        options.format = parseDepth(value);
      } else {
        throw UsageError("unknown option " + arg);
      }
    } else {
      if (haveFile) throw UsageError("one character file only");
      options.file = arg;
      haveFile = true;
    }
  }
  if (!haveFile) throw UsageError("no character file given");
  return options;
}

std::string frameFileName(const std::string& prefix, int32_t tick) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", tick);
  return prefix + "-" + number + ".png";
}

int render(const RenderOptions& options) {
  HeadlessSession session(options.format);
  session.load(options.file);

  HeadlessPlayer player(session);
  if (options.state) player.selectState(*options.state);
  const int32_t ticks = options.ticks.value_or(player.onePassTicks());

  // Keys in the order they are documented.
  nlohmann::ordered_json report = nlohmann::ordered_json::array();
  for (int32_t i = 1; i <= ticks; ++i) {
    const TickRecord tick = player.tick();
    report.push_back({{"tick", tick.tick},
                      {"state", tick.state},
                      {"frame", tick.frame},
                      {"caption", tick.caption},
                      {"pattern", tick.pattern},
                      {"layer", tick.layer},
                      {"dest", tick.dest}});
    if (options.outPrefix) {
      const std::string path = frameFileName(*options.outPrefix, tick.tick);
      const QImage image = surfaceImage(player.backSurface());
      if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
        std::cerr << "patapata: cannot write " << path << '\n';
        return 1;
      }
    }
  }
  std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  return 0;
}

}  // namespace

int runRenderMode(std::span<const std::string> args) {
  return runBatchMode<RenderOptions>("--render", kUsage, args, parseArguments, render);
}

}  // namespace patapata::app
