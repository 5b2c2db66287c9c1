#include "app/batch_modes.h"
#include "app/batch_options.h"
#include "app/gif_writer.h"
#include "app/headless_player.h"
#include "app/headless_session.h"
#include "app/output_file.h"
#include "app/palette_reduction.h"
#include "app/state_sheet.h"
#include "app/webp_writer.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "player/frame_composer.h"
#include "surfaces/sheet_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace patapata::app {
namespace {

constexpr const char* kUsage =
    "usage: patapata --export FILE.chp [--state N] -o OUT.gif|OUT.webp|OUT.png [--scale K]\n"
    "                [--depth 32|16] [--dither none|ordered|fs]\n"
    "       patapata --export FILE.chp --all -o SHEET.png|DIR/ [--format gif|webp] [--scale K]\n"
    "                [--depth 32|16] [--dither none|ordered|fs]";

enum class Output {
  Gif,        ///< one state as an animated GIF
  Webp,       ///< one state as a lossless animated WebP
  PngStrip,   ///< one state's frames side by side
  Sheet,      ///< every state with entries, a row each, in one PNG
  Directory,  ///< every state with entries, an animation each
};

enum class Animation { Gif, Webp };

struct ExportOptions {
  std::string file;
  std::optional<int32_t> state;
  bool all = false;
  std::string out;
  Output output = Output::Gif;
  std::optional<Animation> format;
  std::optional<Dither> dither;
  std::optional<int32_t> scale;
  std::optional<PixelFormat> depth;
};

bool endsWithIgnoringCase(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

bool isDirectory(const std::string& path) {
  std::error_code error;
  return path.ends_with('/') || std::filesystem::is_directory(path, error);
}

template <typename T>
void setOnce(std::optional<T>& option, T value, const std::string& name) {
  if (option) throw UsageError(name + " given twice");
  option = std::move(value);
}

Dither parseDither(const std::string& value) {
  if (value == "none") return Dither::None;
  if (value == "ordered") return Dither::Ordered;
  if (value == "fs") return Dither::FloydSteinberg;
  throw UsageError("--dither takes none, ordered or fs");
}

Animation parseFormat(const std::string& value) {
  if (value == "gif") return Animation::Gif;
  if (value == "webp") return Animation::Webp;
  throw UsageError("--format takes gif or webp");
}

Output outputFor(const std::string& out, bool all) {
  if (isDirectory(out)) {
    if (!all) throw UsageError("-o names a folder: add --all to write one animation per state");
    return Output::Directory;
  }
  if (endsWithIgnoringCase(out, ".png")) return all ? Output::Sheet : Output::PngStrip;
  const bool gif = endsWithIgnoringCase(out, ".gif");
  if (!gif && !endsWithIgnoringCase(out, ".webp")) {
    throw UsageError("-o names a .gif, .webp or .png file, or with --all a folder (DIR/)");
  }
  if (all) {
    throw UsageError(
        "--all writes one PNG sheet (-o SHEET.png) or one animation per state "
        "(-o DIR/)");
  }
  return gif ? Output::Gif : Output::Webp;
}

ExportOptions parseArguments(std::span<const std::string> args) {
  ExportOptions options;
  bool haveFile = false;
  std::optional<std::string> out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--all") {
      if (options.all) throw UsageError("--all given twice");
      options.all = true;
    } else if (arg.starts_with("-") && arg.size() > 1) {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--state") {
        setOnce(options.state, parseState(value), arg);
      } else if (arg == "-o" || arg == "--out") {
        if (value.empty()) throw UsageError("-o needs a file name");
        setOnce(out, value, "-o");
      } else if (arg == "--scale") {
        const auto scale = decimal(value);
        if (!scale || *scale < 1 || *scale > 8) throw UsageError("--scale takes 1 to 8");
        setOnce(options.scale, *scale, arg);
      } else if (arg == "--depth") {
        setOnce(options.depth, parseDepth(value), arg);
      } else if (arg == "--dither") {
        setOnce(options.dither, parseDither(value), arg);
      } else if (arg == "--format") {
        setOnce(options.format, parseFormat(value), arg);
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
  if (!out) throw UsageError("no output given (-o OUT.gif, OUT.webp or OUT.png)");
  if (options.all && options.state) throw UsageError("--all and --state exclude each other");
  options.out = *out;
  options.output = outputFor(options.out, options.all);
  if (options.format && options.output != Output::Directory) {
    throw UsageError("--format is for --all -o DIR/; a file's extension gives its format");
  }
  const bool gif =
      options.output == Output::Gif || (options.output == Output::Directory &&
                                        options.format.value_or(Animation::Gif) == Animation::Gif);
  if (options.dither && !gif) throw UsageError("--dither is for GIF output only");
  return options;
}

std::string stateName(int32_t state) {
  const StateInfo* info = stateInfo(state);
  return "state " + std::to_string(state) +
         (info != nullptr ? std::string(" (") + info->caption + ", " + info->english + ")" : "");
}

// Reading and exporting fail for different reasons; the message says which.
void loadCharacter(HeadlessSession& session, const std::string& file) {
  try {
    session.load(file);
  } catch (const Error& e) {
    const std::string shown = encoding::toDisplayText(file);
    if (e.location() && e.location()->line > 0) {
      throw BatchError("the character file " + shown + " stopped at line " +
                       std::to_string(e.location()->line) + ": " + e.what());
    }
    throw BatchError("cannot read the character file " + shown + ": " + e.what());
  }
}

std::vector<QImage> onePass(HeadlessPlayer& player) {
  std::vector<QImage> frames;
  const int32_t ticks = player.onePassTicks();
  for (int32_t i = 0; i < ticks; ++i) {
    player.tick();
    QImage frame = surfaceImage(player.backSurface());
    if (frame.isNull()) throw BatchError("cannot read frame " + std::to_string(i + 1));
    frames.push_back(std::move(frame));
  }
  return frames;
}

// The sheet's transparent colour, kept exact when a GIF's colours are reduced.
std::optional<QRgb> sheetKey(const HeadlessSession& session) {
  const SheetPicture* sheet = session.character().sheet.picture.get();
  if (sheet == nullptr || sheet->width() <= 0) return std::nullopt;
  return sheet->format().toRgb(sheet->key());
}

void writePng(const std::string& path, const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw BatchError("cannot encode the PNG picture");
  writeWholeFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void writeAnimation(const ExportOptions& options, const HeadlessSession& session, Animation format,
                    const std::string& path, const std::vector<QImage>& frames) {
  const int32_t interval = session.character().frameIntervalMs;
  const int32_t scale = options.scale.value_or(1);
  if (format == Animation::Webp) {
    writeAnimatedWebp(path, frames, interval, scale);
  } else {
    const IndexedFrames indexed =
        reduceToPalette(frames, options.dither.value_or(Dither::None), sheetKey(session));
    writeAnimatedGif(path, indexed, interval, scale);
  }
}

// The file's base name without its extension: the start of each file a folder export writes.
std::string characterName(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return base;
}

// "<name>-<state>-<english>.<ext>", the English meaning with its blanks taken out (normal1,
// patterncheck), so a name never needs quoting in a shell.
std::string animationFileName(const std::string& name, int32_t state, Animation format) {
  std::string english = stateInfo(state)->english;
  std::erase(english, ' ');
  return name + "-" + std::to_string(state) + "-" + english +
         (format == Animation::Webp ? ".webp" : ".gif");
}

int exportOneState(const ExportOptions& options, HeadlessSession& session) {
  HeadlessPlayer player(session);
  const int32_t state = options.state.value_or(session.viewer().player.state);
  if (!session.character().hasEntries(state)) {
    throw BatchError(stateName(state) + " has no entries in " +
                     encoding::toDisplayText(options.file) + ": there is nothing to export");
  }
  if (options.state) player.selectState(*options.state);
  const std::vector<QImage> frames = onePass(player);

  switch (options.output) {
    case Output::Gif:
      writeAnimation(options, session, Animation::Gif, options.out, frames);
      break;
    case Output::Webp:
      writeAnimation(options, session, Animation::Webp, options.out, frames);
      break;
    default:
      writePng(options.out, frameStrip(frames, options.scale.value_or(1)));
      break;
  }
  std::cout << options.out << '\n';
  return 0;
}

int exportAllStates(const ExportOptions& options, HeadlessSession& session) {
  std::vector<int32_t> states;
  for (const StateInfo& info : kStates) {
    if (session.character().hasEntries(info.state)) states.push_back(info.state);
  }
  if (states.empty()) {
    throw BatchError(encoding::toDisplayText(options.file) +
                     " gives no state any entries: there is nothing to export");
  }
  std::sort(states.begin(), states.end());
  HeadlessPlayer player(session);

  if (options.output == Output::Sheet) {
    std::vector<StateSheet::Row> rows;
    for (int32_t state : states) {
      player.selectState(state);
      rows.push_back({state, player.onePassTicks()});
    }
    StateSheet sheet(rows, kViewWidth, kViewHeight, options.scale.value_or(1));
    for (std::size_t r = 0; r < rows.size(); ++r) {
      player.selectState(rows[r].state);
      const std::vector<QImage> frames = onePass(player);
      for (std::size_t k = 0; k < frames.size(); ++k) {
        sheet.placeFrame(r, static_cast<int32_t>(k), frames[k]);
      }
    }
    writePng(options.out, sheet.image());
    std::cout << options.out << '\n';
    return 0;
  }

  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  if (error) {
    throw WriteError("cannot write " + encoding::toDisplayText(options.out) + ": " +
                     error.message());
  }
  const Animation format = options.format.value_or(Animation::Gif);
  const std::string name = characterName(options.file);
  const std::string dir = options.out.ends_with('/') ? options.out : options.out + "/";
  for (int32_t state : states) {
    player.selectState(state);
    const std::string path = dir + animationFileName(name, state, format);
    writeAnimation(options, session, format, path, onePass(player));
    std::cout << path << '\n';
  }
  return 0;
}

int exportFrames(const ExportOptions& options) {
  HeadlessSession session(options.depth.value_or(PixelFormat::xrgb8888()));
  loadCharacter(session, options.file);
  return options.all ? exportAllStates(options, session) : exportOneState(options, session);
}

}  // namespace

int runExportMode(std::span<const std::string> args) {
  return runBatchMode<ExportOptions>("--export", kUsage, args, parseArguments, exportFrames);
}

}  // namespace patapata::app
