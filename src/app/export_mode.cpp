#include "app/batch_error.h"
#include "app/batch_modes.h"
#include "app/gif_writer.h"
#include "app/headless_player.h"
#include "app/headless_session.h"
#include "app/palette_reduction.h"
#include "app/state_sheet.h"
#include "app/warning_report.h"
#include "app/webp_writer.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/new_file.h"
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

std::string stateName(int32_t state) {
  const StateInfo* info = stateInfo(state);
  return "state " + std::to_string(state) +
         (info != nullptr ? std::string(" (") + info->caption + ", " + info->english + ")" : "");
}

// Reading and exporting fail for different reasons; the message says which.
std::vector<LintWarning> loadCharacter(HeadlessSession& session, const std::string& file) {
  try {
    return session.loadAndCheck(file);
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
  writeNewFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
               Replace::Allowed);
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
    throw FileWriteError(
        "cannot write " + encoding::toDisplayText(options.out) + ": " + error.message(),
        options.out, error.value());
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
  const std::vector<LintWarning> warnings = loadCharacter(session, options.file);
  printWarnings(std::cerr, options.file, warnings);
  refuseWarningsWhenStrict(options.strict, warnings);
  return options.all ? exportAllStates(options, session) : exportOneState(options, session);
}

}  // namespace

int runExportMode(const ExportOptions& options) {
  return exportFrames(options);
}

}  // namespace patapata::app
