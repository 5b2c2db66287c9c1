#include "export/gif_writer.h"

#include "common/encoding.h"
#include "common/new_file.h"
#include "export/export_error.h"
#include "export/palette_reduction.h"

#include <gif_lib.h>

#include <algorithm>
#include <exception>
#include <memory>

namespace patapata::exporting {

namespace {

// giflib writes through this; an error here cannot pass through giflib's C frames, so it is
// kept and raised once giflib has returned.
struct Sink {
  NewFile* file = nullptr;
  std::exception_ptr error;
};

int writeBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* sink = static_cast<Sink*>(gif->UserData);
  if (sink->error) return 0;
  try {
    sink->file->write(bytes, static_cast<std::size_t>(length));
    return length;
  } catch (...) {
    sink->error = std::current_exception();
    return 0;
  }
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};
struct MapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

[[noreturn]] void fail(const Sink& sink, const std::string& path, int error) {
  if (sink.error) std::rethrow_exception(sink.error);
  const char* reason = GifErrorString(error);
  throw FileWriteError("cannot write " + encoding::toDisplayText(path) +
                           (reason != nullptr ? ": " + std::string(reason) : ""),
                       path, 0);
}

// GIF delays count hundredths of a second; a zero delay is shown by many viewers as a slow
// default, so the shortest delay written is one hundredth.
uint16_t delayHundredths(int32_t ms) {
  // Rounded in 64 bits: an interval near the 32-bit limit must not wrap.
  const int64_t cs = (int64_t{std::max(ms, 0)} + 5) / 10;
  return static_cast<uint16_t>(std::clamp<int64_t>(cs, 1, 65535));
}

}  // namespace

void writeAnimatedGif(const std::string& path, const IndexedFrames& frames, int32_t frameIntervalMs,
                      int32_t scale, Replace replace) {
  if (frames.indices.empty() || frames.palette.empty()) throw ExportError("no frames to write");
  const int width = frames.width * scale;
  const int height = frames.height * scale;

  int mapSize = 2;
  while (mapSize < static_cast<int>(frames.palette.size())) mapSize *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(mapSize), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < frames.palette.size(); ++i) {
    const QRgb c = frames.palette[i];
    entries[i] =
        GifColorType{static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                     static_cast<GifByteType>(qBlue(c))};
  }
  std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(mapSize, entries.data()));
  if (!map) throw ExportError("out of memory for the GIF palette");

  NewFile file(path, replace);
  Sink sink{&file, nullptr};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&sink, writeBytes, &error));
  if (!gif) fail(sink, path, error);
  EGifSetGifVersion(gif.get(), true);
  if (EGifPutScreenDesc(gif.get(), width, height, 8, 0, map.get()) == GIF_ERROR) {
    fail(sink, path, gif->Error);
  }
  // Loop for ever.
  static const GifByteType kNetscape[] = "NETSCAPE2.0";
  const GifByteType loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 11, kNetscape) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif.get()) == GIF_ERROR) {
    fail(sink, path, gif->Error);
  }

  std::vector<GifByteType> line(static_cast<std::size_t>(width));
  for (const std::vector<uint8_t>& indices : frames.indices) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delayHundredths(frameIntervalMs);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) == GIF_ERROR) {
      fail(sink, path, gif->Error);
    }
    for (int32_t y = 0; y < frames.height; ++y) {
      const uint8_t* source = indices.data() + static_cast<std::ptrdiff_t>(y) * frames.width;
      for (int32_t x = 0; x < width; ++x) line[static_cast<std::size_t>(x)] = source[x / scale];
      for (int32_t repeat = 0; repeat < scale; ++repeat) {
        if (EGifPutLine(gif.get(), line.data(), width) == GIF_ERROR) fail(sink, path, gif->Error);
      }
    }
  }
  GifFileType* raw = gif.release();
  if (EGifCloseFile(raw, &error) == GIF_ERROR) fail(sink, path, error);
  file.commit();
}

}  // namespace patapata::exporting
