#include "app/batch_modes.h"
#include "app/batch_options.h"
#include "app/gif_writer.h"
#include "app/headless_player.h"
#include "app/headless_session.h"
#include "common/errors.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace patapata::app {
namespace {

constexpr const char* kUsage =
    "usage: patapata --export FILE.chp [--state N] -o OUT.gif|OUT.png [--scale K] "
    "[--depth 32|16]";

enum class ExportKind { Gif, PngStrip };

struct ExportOptions {
  std::string file;
  std::optional<int32_t> state;
  std::string out;
  ExportKind kind = ExportKind::Gif;
  int32_t scale = 1;
  PixelFormat format = PixelFormat::xrgb8888();
};

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

ExportOptions parseArguments(std::span<const std::string> args) {
  ExportOptions options;
  bool haveFile = false;
  bool haveOut = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.starts_with("-") && arg.size() > 1) {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--state") {
        if (options.state) throw UsageError("--state given twice");
        options.state = parseState(value);
      } else if (arg == "-o" || arg == "--out") {
        if (haveOut) throw UsageError("-o given twice");
        haveOut = true;
        options.out = value;
        if (endsWithIgnoringCase(value, ".gif")) {
          options.kind = ExportKind::Gif;
        } else if (endsWithIgnoringCase(value, ".png")) {
          options.kind = ExportKind::PngStrip;
        } else {
          throw UsageError("-o names a .gif or a .png file");
        }
      } else if (arg == "--scale") {
        const auto scale = decimal(value);
        if (!scale || *scale < 1 || *scale > 8) throw UsageError("--scale takes 1 to 8");
        options.scale = *scale;
      } else if (arg == "--depth") {
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
  if (!haveOut) throw UsageError("no output file given (-o OUT.gif or -o OUT.png)");
  return options;
}

int exportFrames(const ExportOptions& options) {
  HeadlessSession session(options.format);
  session.load(options.file);
  HeadlessPlayer player(session);
  if (options.state) player.selectState(*options.state);

  // One pass of the state, enlarged without smoothing.
  std::vector<QImage> frames;
  const int32_t ticks = player.onePassTicks();
  for (int32_t i = 0; i < ticks; ++i) {
    player.tick();
    QImage frame = surfaceImage(player.backSurface());
    if (frame.isNull()) throw Exception("cannot read the frame");
    if (options.scale > 1) {
      frame = frame.scaled(frame.width() * options.scale, frame.height() * options.scale,
                           Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    frames.push_back(std::move(frame));
  }

  if (options.kind == ExportKind::Gif) {
    writeAnimatedGif(options.out, frames, session.viewer().frameIntervalMs);
  } else {
    const int w = frames.front().width();
    QImage strip(w * static_cast<int>(frames.size()), frames.front().height(),
                 QImage::Format_RGB32);
    {
      QPainter painter(&strip);
      for (std::size_t k = 0; k < frames.size(); ++k) {
        painter.drawImage(static_cast<int>(k) * w, 0, frames[k]);
      }
    }
    if (!strip.save(QString::fromStdString(options.out), "PNG")) {
      throw Exception("cannot write " + options.out);
    }
  }
  std::cout << options.out << '\n';
  return 0;
}

}  // namespace

int runExportMode(std::span<const std::string> args) {
  return runBatchMode<ExportOptions>("--export", kUsage, args, parseArguments, exportFrames);
}

}  // namespace patapata::app
