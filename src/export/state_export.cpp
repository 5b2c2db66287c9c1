#include "export/state_export.h"

#include "character/character.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/same_file.h"
#include "export/export_error.h"
#include "export/gif_writer.h"
#include "export/headless_player.h"
#include "export/headless_session.h"
#include "export/palette_reduction.h"
#include "export/state_sheet.h"
#include "export/webp_writer.h"
#include "surfaces/sheet_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace patapata::exporting {
namespace {

// "<name>-<state>-<english>.<ext>", the English meaning with its blanks taken out (normal1,
// patterncheck), so a name never needs quoting in a shell.
std::string animationFileName(const std::string& name, int32_t state, Animation format) {
  std::string english = stateInfo(state)->english;
  std::erase(english, ' ');
  return name + "-" + std::to_string(state) + "-" + english +
         (format == Animation::Webp ? ".webp" : ".gif");
}

std::string folderOf(const std::string& out) {
  return out.ends_with('/') ? out : out + "/";
}

// Counts the steps and tells the caller after each.
class Steps {
 public:
  Steps(const ExportProgress& progress, int64_t total) : progress_(progress), total_(total) {}
  void done() {
    ++done_;
    if (progress_) progress_(done_, total_);
  }

 private:
  const ExportProgress& progress_;
  int64_t total_;
  int64_t done_ = 0;
};

std::vector<QImage> onePass(HeadlessPlayer& player, Steps& steps) {
  std::vector<QImage> frames;
  const int32_t ticks = player.onePassTicks();
  for (int32_t i = 0; i < ticks; ++i) {
    player.tick();
    QImage frame = surfaceImage(player.backSurface());
    if (frame.isNull()) throw ExportError("cannot read frame " + std::to_string(i + 1));
    frames.push_back(std::move(frame));
    steps.done();
  }
  return frames;
}

// The sheet's transparent colour, kept exact when a GIF's colours are reduced.
std::optional<QRgb> sheetKey(const Character& character) {
  const SheetPicture* sheet = character.sheet.picture.get();
  if (sheet == nullptr || sheet->width() <= 0) return std::nullopt;
  return sheet->format().toRgb(sheet->key());
}

void writePng(const std::string& path, const QImage& image, Replace replace) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw ExportError("cannot encode the PNG picture");
  writeNewFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
               replace);
}

void writeAnimation(const ExportJob& job, const Character& character, Animation format,
                    const std::string& path, const std::vector<QImage>& frames, Replace replace) {
  const int32_t interval = character.frameIntervalMs;
  if (format == Animation::Webp) {
    writeAnimatedWebp(path, frames, interval, job.scale, replace);
  } else {
    const IndexedFrames indexed =
        reduceToPalette(frames, job.dither.value_or(Dither::None), sheetKey(character));
    writeAnimatedGif(path, indexed, interval, job.scale, replace);
  }
}

}  // namespace

std::vector<int32_t> statesWithEntries(const Character& character) {
  std::vector<int32_t> states;
  for (const StateInfo& info : kStates) {
    if (character.hasEntries(info.state)) states.push_back(info.state);
  }
  std::sort(states.begin(), states.end());
  return states;
}

std::string characterName(const std::string& characterFile) {
  const std::size_t slash = characterFile.rfind('/');
  std::string base = slash == std::string::npos ? characterFile : characterFile.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return base;
}

std::vector<std::string> exportDestinations(const Character& character, const ExportJob& job) {
  if (job.output != Output::Directory) return {job.out};
  std::vector<std::string> paths;
  for (int32_t state : statesWithEntries(character)) {
    paths.push_back(folderOf(job.out) + animationFileName(job.name, state, job.format));
  }
  return paths;
}

std::vector<std::string> sourcesAmong(const std::vector<std::string>& destinations,
                                      const std::string& characterFile,
                                      const Character& character) {
  std::vector<std::string> sources;
  for (const std::string& path : destinations) {
    if (sameFile(path, characterFile) || sameFile(path, character.sheet.path)) {
      sources.push_back(path);
    }
  }
  return sources;
}

void runExport(HeadlessSession& session, const ExportJob& job, Replace replace,
               const ExportProgress& progress,
               const std::function<void(const std::string& path)>& written) {
  const Character& character = session.character();
  HeadlessPlayer player(session);
  const auto done = [&](const std::string& path) {
    if (written) written(path);
  };

  if (job.output == Output::Gif || job.output == Output::Webp || job.output == Output::PngStrip) {
    if (job.state) player.selectState(*job.state);
    Steps steps(progress, player.onePassTicks() + 1);
    const std::vector<QImage> frames = onePass(player, steps);
    if (job.output == Output::PngStrip) {
      writePng(job.out, frameStrip(frames, job.scale), replace);
    } else {
      writeAnimation(job, character, job.output == Output::Webp ? Animation::Webp : Animation::Gif,
                     job.out, frames, replace);
    }
    steps.done();
    done(job.out);
    return;
  }

  const std::vector<int32_t> states = statesWithEntries(character);
  int64_t total = 0;
  for (int32_t state : states) total += character.sequenceLength(state) + 1;

  if (job.output == Output::Sheet) {
    std::vector<StateSheet::Row> rows;
    for (int32_t state : states) {
      player.selectState(state);
      rows.push_back({state, player.onePassTicks()});
    }
    Steps steps(progress, total - static_cast<int64_t>(states.size()) + 1);
    StateSheet sheet(rows, kViewWidth, kViewHeight, job.scale);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      player.selectState(rows[r].state);
      const std::vector<QImage> frames = onePass(player, steps);
      for (std::size_t k = 0; k < frames.size(); ++k) {
        sheet.placeFrame(r, static_cast<int32_t>(k), frames[k]);
      }
    }
    writePng(job.out, sheet.image(), replace);
    steps.done();
    done(job.out);
    return;
  }

  std::error_code error;
  std::filesystem::create_directories(job.out, error);
  if (error) {
    throw FileWriteError(
        "cannot write " + encoding::toDisplayText(job.out) + ": " + error.message(), job.out,
        error.value());
  }
  Steps steps(progress, total);
  const std::string dir = folderOf(job.out);
  for (int32_t state : states) {
    player.selectState(state);
    const std::string path = dir + animationFileName(job.name, state, job.format);
    writeAnimation(job, character, job.format, path, onePass(player, steps), replace);
    steps.done();
    done(path);
  }
}

}  // namespace patapata::exporting
