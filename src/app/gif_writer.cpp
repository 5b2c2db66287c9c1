#include "app/gif_writer.h"

#include "common/errors.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace patapata::app {

namespace {

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};
struct MapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

[[noreturn]] void fail(const std::string& path, int error) {
  const char* reason = GifErrorString(error);
  throw Exception("cannot write " + path + (reason != nullptr ? std::string(": ") + reason : ""));
}

// GIF delays count hundredths of a second; a zero delay is shown by many viewers as a slow
// default, so the shortest delay written is one hundredth.
uint16_t delayHundredths(int32_t ms) {
  const int32_t cs = (std::max(ms, 0) + 5) / 10;
  return static_cast<uint16_t>(std::clamp(cs, 1, 65535));
}

}  // namespace

void writeAnimatedGif(const std::string& path, const std::vector<QImage>& frames,
                      int32_t frameIntervalMs) {
  if (frames.empty()) throw Exception("no frames to write");
  const int width = frames.front().width();
  const int height = frames.front().height();

  // One palette for every frame, in order of first appearance.
  std::unordered_map<QRgb, uint8_t> index;
  std::vector<QRgb> colours;
  for (const QImage& frame : frames) {
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        const QRgb c = row[x] & 0xFFFFFFu;
        if (index.contains(c)) continue;
        if (colours.size() == 256) {
          throw Exception(
              "the frames use more than 256 colours, which a GIF cannot hold exactly;"
              " export a PNG strip instead");
        }
        index.emplace(c, static_cast<uint8_t>(colours.size()));
        colours.push_back(c);
      }
    }
  }
  int mapSize = 2;
  while (mapSize < static_cast<int>(colours.size())) mapSize *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(mapSize), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i) {
    entries[i] = GifColorType{static_cast<GifByteType>(qRed(colours[i])),
                              static_cast<GifByteType>(qGreen(colours[i])),
                              static_cast<GifByteType>(qBlue(colours[i]))};
  }
  std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(mapSize, entries.data()));
  if (!map) throw Exception("cannot write " + path);

  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpenFileName(path.c_str(), false, &error));
  if (!gif) fail(path, error);
  EGifSetGifVersion(gif.get(), true);
  if (EGifPutScreenDesc(gif.get(), width, height, 8, 0, map.get()) == GIF_ERROR) {
    fail(path, gif->Error);
  }
  // Loop for ever.
  static const GifByteType kNetscape[] = "NETSCAPE2.0";
  const GifByteType loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 11, kNetscape) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif.get()) == GIF_ERROR) {
    fail(path, gif->Error);
  }

  std::vector<GifByteType> line(static_cast<std::size_t>(width));
  for (const QImage& frame : frames) {
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
      fail(path, gif->Error);
    }
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
      for (int x = 0; x < width; ++x)
        line[static_cast<std::size_t>(x)] = index.at(row[x] & 0xFFFFFFu);
      if (EGifPutLine(gif.get(), line.data(), width) == GIF_ERROR) fail(path, gif->Error);
    }
  }
  GifFileType* raw = gif.release();
  if (EGifCloseFile(raw, &error) == GIF_ERROR) fail(path, error);
}

}  // namespace patapata::app
