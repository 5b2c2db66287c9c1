#include "export/webp_writer.h"

#include "common/new_file.h"
#include "export/export_error.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

namespace patapata::exporting {

namespace {

struct EncoderDeleter {
  void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};
// The encoder's buffers, released however the function is left.
struct Picture {
  WebPPicture picture{};
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  ~Picture() { WebPPictureFree(&picture); }
};
struct Bitstream {
  WebPData data{};
  Bitstream() { WebPDataInit(&data); }
  Bitstream(const Bitstream&) = delete;
  Bitstream& operator=(const Bitstream&) = delete;
  ~Bitstream() { WebPDataClear(&data); }
};

// WebP stores a frame's duration in 24 bits, and the encoder takes timestamps as int.
int32_t frameDuration(int32_t ms, std::size_t frames) {
  const auto limit = static_cast<int32_t>(
      std::min<std::size_t>((1 << 24) - 1, static_cast<std::size_t>(INT_MAX) / (frames + 1)));
  return std::clamp(ms, 1, limit);
}

[[noreturn]] void encoderFailed(WebPAnimEncoder* encoder) {
  const char* reason = encoder != nullptr ? WebPAnimEncoderGetError(encoder) : nullptr;
  throw ExportError(std::string("the WebP encoder failed") +
                    (reason != nullptr && *reason != '\0' ? std::string(": ") + reason : ""));
}

}  // namespace

void writeAnimatedWebp(const std::string& path, const std::vector<QImage>& frames,
                       int32_t frameIntervalMs, int32_t scale, Replace replace) {
  if (frames.empty()) throw ExportError("no frames to write");
  const int width = frames.front().width() * scale;
  const int height = frames.front().height() * scale;

  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config) ||
      !WebPConfigLosslessPreset(&config, 6)) {
    throw ExportError("the WebP library does not match the one patapata was built with");
  }
  options.anim_params.loop_count = 0;  // for ever
  options.allow_mixed = 0;             // lossless only
  config.lossless = 1;
  config.exact = 1;
  std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder(
      WebPAnimEncoderNew(width, height, &options));
  if (!encoder) encoderFailed(nullptr);

  const int32_t duration = frameDuration(frameIntervalMs, frames.size());
  int timestamp = 0;
  for (const QImage& frame : frames) {
    const QImage scaled =
        (scale > 1 ? frame.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   : frame)
            .convertToFormat(QImage::Format_RGB32);
    Picture owned;
    WebPPicture& picture = owned.picture;
    if (!WebPPictureInit(&picture)) encoderFailed(nullptr);
    picture.use_argb = 1;
    picture.width = width;
    picture.height = height;
    if (!WebPPictureAlloc(&picture)) throw ExportError("out of memory for a WebP frame");
    // Both hold 0xAARRGGBB words, so rows copy as they are.
    for (int y = 0; y < height; ++y) {
      std::memcpy(picture.argb + static_cast<std::ptrdiff_t>(y) * picture.argb_stride,
                  scaled.constScanLine(y), static_cast<std::size_t>(width) * sizeof(uint32_t));
    }
    if (!WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config)) {
      encoderFailed(encoder.get());
    }
    timestamp += duration;
  }
  // The last frame's duration is the time until this closing call.
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr)) {
    encoderFailed(encoder.get());
  }
  Bitstream webp;
  if (!WebPAnimEncoderAssemble(encoder.get(), &webp.data)) encoderFailed(encoder.get());
  writeNewFile(path,
               std::string_view(reinterpret_cast<const char*>(webp.data.bytes), webp.data.size),
               replace);
}

}  // namespace patapata::exporting
