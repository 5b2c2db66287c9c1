#include "export_files.h"

#include "run_patapata.h"

#include <QString>

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace patapata::testing {

std::string sampleCharacter() {
  return std::string(PATAPATA_TEST_DATA) + "/../../samples/hiyoko/hiyoko.chp";
}

std::string multiCharacter() {
  return std::string(PATAPATA_TEST_DATA) + "/player/render/multi.chp";
}

std::string writeGradientCharacter(const QTemporaryDir& dir) {
  constexpr int kW = 121;
  constexpr int kH = 271;
  QImage sheet(4 * kW, kH, QImage::Format_RGB32);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < 4 * kW; ++x) {
      const int cel = x / kW;
      const int band = y * 250 / kH;  // 250 colours a cel, none shared between cels
      sheet.setPixel(x, y, qRgb(band, 40 + 50 * cel, 200 - band / 2 + cel));
    }
  }
  for (int y = 30; y < 40; ++y) {
    for (int x = 30; x < 40; ++x) sheet.setPixel(x, y, kGradientKey);
  }
  sheet.setPixel(4 * kW - 1, kH - 1, kGradientKey);  // the bottom-right pixel names the key
  EXPECT_TRUE(sheet.save(dir.path() + "/gradient.bmp", "BMP"));
  const std::string chp = (dir.path() + "/gradient.chp").toStdString();
  std::ofstream(chp) << "#ANIME 73\r\n#CHARBMP gradient.bmp\r\n#1 0 0 121 271\r\n"
                        "#2 121 0 121 271\r\n#3 242 0 121 271\r\n#4 363 0 121 271\r\n"
                        "#PATERN 01 01020304\r\n";
  return chp;
}

std::vector<QImage> renderedFrames(const std::string& character, int state, int count) {
  QTemporaryDir dir;
  const std::string prefix = (dir.path() + "/r").toStdString();
  const ProcessResult run = runPatapata({"--render", character, "--state", std::to_string(state),
                                         "--ticks", std::to_string(count), "--out", prefix});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<QImage> frames;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "-%04d.png", i);
    frames.emplace_back(QString::fromStdString(prefix + name));
    EXPECT_FALSE(frames.back().isNull());
    frames.back() = frames.back().convertToFormat(QImage::Format_RGB32);
  }
  return frames;
}

GifFile readGif(const std::string& path) {
  struct Closer {
    void operator()(GifFileType* gif) const {
      int error = 0;
      DGifCloseFile(gif, &error);
    }
  };
  int error = 0;
  std::unique_ptr<GifFileType, Closer> gif(DGifOpenFileName(path.c_str(), &error));
  GifFile out;
  if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) return out;
  out.globalColours = gif->SColorMap != nullptr ? gif->SColorMap->ColorCount : 0;
  for (int f = 0; f < gif->ImageCount; ++f) {
    const SavedImage& image = gif->SavedImages[f];
    if (image.ImageDesc.ColorMap != nullptr) ++out.localMaps;
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    QImage frame(image.ImageDesc.Width, image.ImageDesc.Height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y) {
      for (int x = 0; x < frame.width(); ++x) {
        const int index = image.RasterBits[y * frame.width() + x];
        const GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{};
        frame.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
      }
    }
    out.frames.push_back(frame);
    GraphicsControlBlock control{};
    out.delaysHundredths.push_back(
        DGifSavedExtensionToGCB(gif.get(), f, &control) == GIF_OK ? control.DelayTime : -1);
  }
  // Looping is said by the application extension before the first frame.
  const SavedImage& first = gif->SavedImages[0];
  for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
    const ExtensionBlock& b = first.ExtensionBlocks[i];
    if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
        std::string(reinterpret_cast<const char*>(b.Bytes), 11) == "NETSCAPE2.0") {
      const ExtensionBlock& data = first.ExtensionBlocks[i + 1];
      out.loopsForEver = data.ByteCount == 3 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
    }
  }
  return out;
}

WebpFile readWebp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WebpFile out;
  WebPAnimDecoderOptions options;
  if (bytes.empty() || !WebPAnimDecoderOptionsInit(&options)) return out;
  options.color_mode = MODE_RGBA;
  const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  struct Deleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
  };
  std::unique_ptr<WebPAnimDecoder, Deleter> decoder(WebPAnimDecoderNew(&data, &options));
  WebPAnimInfo info;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return out;
  out.loopCount = static_cast<int>(info.loop_count);
  while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
    uint8_t* pixels = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp)) return WebpFile{};
    const QImage frame(pixels, static_cast<int>(info.canvas_width),
                       static_cast<int>(info.canvas_height), QImage::Format_RGBA8888);
    out.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    out.endMs.push_back(timestamp);
  }
  return out;
}

QImage enlarged(const QImage& frame, int scale) {
  QImage out(frame.width() * scale, frame.height() * scale, QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, frame.pixel(x / scale, y / scale));
  }
  return out;
}

long long differentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return static_cast<long long>(a.width()) * a.height() + 1;
  long long count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if ((a.pixel(x, y) & 0xFFFFFFu) != (b.pixel(x, y) & 0xFFFFFFu)) ++count;
    }
  }
  return count;
}

}  // namespace patapata::testing
