#include "export/palette_reduction.h"

#include "export/export_error.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace patapata::exporting {

namespace {

constexpr QRgb kRgbMask = 0xFFFFFFu;
constexpr int32_t kMaxColours = 256;

const QRgb* row(const QImage& frame, int32_t y) {
  return reinterpret_cast<const QRgb*>(frame.constScanLine(y));
}

// Every colour in order of first appearance; nothing when there are more than 256.
std::optional<IndexedFrames> exactPalette(const std::vector<QImage>& frames, int32_t width,
                                          int32_t height) {
  IndexedFrames out{width, height, {}, {}};
  std::unordered_map<QRgb, uint8_t> index;
  for (const QImage& frame : frames) {
    std::vector<uint8_t>& indices = out.indices.emplace_back();
    indices.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
      const QRgb* pixels = row(frame, y);
      for (int32_t x = 0; x < width; ++x) {
        const QRgb c = pixels[x] & kRgbMask;
        auto it = index.find(c);
        if (it == index.end()) {
          if (out.palette.size() == kMaxColours) return std::nullopt;
          it = index.emplace(c, static_cast<uint8_t>(out.palette.size())).first;
          out.palette.push_back(c);
        }
        indices.push_back(it->second);
      }
    }
  }
  return out;
}

// The nearest palette colour by squared distance in RGB, remembered per colour asked for.
class NearestColour {
 public:
  /// `count` entries from the start of `palette` take part.
  NearestColour(const std::vector<QRgb>& palette, std::size_t count)
      : palette_(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(count)),
        known_(std::size_t{1} << 24, kUnknown) {}

  uint8_t find(int32_t r, int32_t g, int32_t b) {
    const auto key = static_cast<std::size_t>((r << 16) | (g << 8) | b);
    if (known_[key] != kUnknown) return static_cast<uint8_t>(known_[key]);
    int32_t best = std::numeric_limits<int32_t>::max();
    std::size_t bestIndex = 0;
    for (std::size_t i = 0; i < palette_.size() && best > 0; ++i) {
      const int32_t dr = r - qRed(palette_[i]);
      const int32_t dg = g - qGreen(palette_[i]);
      const int32_t db = b - qBlue(palette_[i]);
      const int32_t d = dr * dr + dg * dg + db * db;
      if (d < best) {
        best = d;
        bestIndex = i;
      }
    }
    known_[key] = static_cast<uint16_t>(bestIndex);
    return static_cast<uint8_t>(bestIndex);
  }

  /// How far apart neighbouring palette colours lie on average: the ordered pattern's reach.
  double meanSpacing() const {
    if (palette_.size() < 2) return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      int32_t best = std::numeric_limits<int32_t>::max();
      for (std::size_t j = 0; j < palette_.size(); ++j) {
        if (i == j) continue;
        const int32_t dr = qRed(palette_[i]) - qRed(palette_[j]);
        const int32_t dg = qGreen(palette_[i]) - qGreen(palette_[j]);
        const int32_t db = qBlue(palette_[i]) - qBlue(palette_[j]);
        best = std::min(best, dr * dr + dg * dg + db * db);
      }
      sum += std::sqrt(static_cast<double>(best));
    }
    return sum / static_cast<double>(palette_.size());
  }

 private:
  static constexpr uint16_t kUnknown = 0xFFFF;
  std::vector<QRgb> palette_;
  std::vector<uint16_t> known_;  // one entry per 24-bit colour
};

constexpr std::array<std::array<int32_t, 8>, 8> kBayer{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

int32_t clampChannel(int32_t v) {
  return std::clamp(v, 0, 255);
}

void mapPlain(const QImage& frame, std::optional<uint8_t> keyIndex, QRgb key,
              NearestColour& nearest, std::vector<uint8_t>& out) {
  for (int32_t y = 0; y < frame.height(); ++y) {
    const QRgb* pixels = row(frame, y);
    for (int32_t x = 0; x < frame.width(); ++x) {
      const QRgb c = pixels[x] & kRgbMask;
      out.push_back(keyIndex && c == key ? *keyIndex : nearest.find(qRed(c), qGreen(c), qBlue(c)));
    }
  }
}

void mapOrdered(const QImage& frame, std::optional<uint8_t> keyIndex, QRgb key,
                NearestColour& nearest, double spacing, std::vector<uint8_t>& out) {
  for (int32_t y = 0; y < frame.height(); ++y) {
    const QRgb* pixels = row(frame, y);
    for (int32_t x = 0; x < frame.width(); ++x) {
      const QRgb c = pixels[x] & kRgbMask;
      if (keyIndex && c == key) {
        out.push_back(*keyIndex);
        continue;
      }
      // A threshold in (-1/2, 1/2) of the palette's spacing, the same in every frame.
      const double t =
          (kBayer[static_cast<std::size_t>(y & 7)][static_cast<std::size_t>(x & 7)] + 0.5) / 64.0 -
          0.5;
      const auto offset = static_cast<int32_t>(std::lround(t * spacing));
      out.push_back(nearest.find(clampChannel(qRed(c) + offset), clampChannel(qGreen(c) + offset),
                                 clampChannel(qBlue(c) + offset)));
    }
  }
}

void mapFloydSteinberg(const QImage& frame, std::optional<uint8_t> keyIndex, QRgb key,
                       const std::vector<QRgb>& palette, NearestColour& nearest,
                       std::vector<uint8_t>& out) {
  const int32_t width = frame.width();
  // Errors in sixteenths, per channel, for this row and the next; one spare column each side.
  const auto columns = static_cast<std::size_t>(width + 2) * 3;
  std::vector<int32_t> current(columns, 0);
  std::vector<int32_t> next(columns, 0);
  for (int32_t y = 0; y < frame.height(); ++y) {
    const QRgb* pixels = row(frame, y);
    std::fill(next.begin(), next.end(), 0);
    for (int32_t x = 0; x < width; ++x) {
      const QRgb c = pixels[x] & kRgbMask;
      if (keyIndex && c == key) {
        out.push_back(*keyIndex);
        continue;
      }
      const auto at = static_cast<std::size_t>(x + 1) * 3;
      const std::array<int32_t, 3> wanted{
          clampChannel(qRed(c) + current[at] / 16),
          clampChannel(qGreen(c) + current[at + 1] / 16),
          clampChannel(qBlue(c) + current[at + 2] / 16),
      };
      const uint8_t index = nearest.find(wanted[0], wanted[1], wanted[2]);
      out.push_back(index);
      const QRgb got = palette[index];
      const std::array<int32_t, 3> error{wanted[0] - qRed(got), wanted[1] - qGreen(got),
                                         wanted[2] - qBlue(got)};
      for (std::size_t ch = 0; ch < 3; ++ch) {
        current[at + 3 + ch] += error[ch] * 7;
        next[at - 3 + ch] += error[ch] * 3;
        next[at + ch] += error[ch] * 5;
        next[at + 3 + ch] += error[ch];
      }
    }
    std::swap(current, next);
  }
}

IndexedFrames quantised(const std::vector<QImage>& frames, int32_t width, int32_t height,
                        Dither dither, std::optional<QRgb> key) {
  // The key colour gets an entry of its own, so the quantiser sees every other pixel.
  bool keyShown = false;
  std::vector<GifByteType> red;
  std::vector<GifByteType> green;
  std::vector<GifByteType> blue;
  const std::size_t pixels =
      frames.size() * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (pixels > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw ExportError("too many pixels to reduce to 256 colours");
  }
  red.reserve(pixels);
  green.reserve(pixels);
  blue.reserve(pixels);
  for (const QImage& frame : frames) {
    for (int32_t y = 0; y < height; ++y) {
      const QRgb* line = row(frame, y);
      for (int32_t x = 0; x < width; ++x) {
        const QRgb c = line[x] & kRgbMask;
        if (key && c == *key) {
          keyShown = true;
          continue;
        }
        red.push_back(static_cast<GifByteType>(qRed(c)));
        green.push_back(static_cast<GifByteType>(qGreen(c)));
        blue.push_back(static_cast<GifByteType>(qBlue(c)));
      }
    }
  }

  int size = keyShown ? kMaxColours - 1 : kMaxColours;
  std::vector<GifColorType> map(kMaxColours);
  std::vector<GifByteType> unused(red.size());
  if (GifQuantizeBuffer(static_cast<unsigned>(red.size()), 1, &size, red.data(), green.data(),
                        blue.data(), unused.data(), map.data()) != GIF_OK ||
      size < 1) {
    throw ExportError("cannot reduce the frames to 256 colours");
  }

  IndexedFrames out{width, height, {}, {}};
  for (int i = 0; i < size; ++i) {
    const GifColorType& c = map[static_cast<std::size_t>(i)];
    out.palette.push_back(qRgb(c.Red, c.Green, c.Blue) & kRgbMask);
  }
  NearestColour nearest(out.palette, out.palette.size());
  std::optional<uint8_t> keyIndex;
  if (keyShown) {
    keyIndex = static_cast<uint8_t>(out.palette.size());
    out.palette.push_back(*key);
  }
  const double spacing = dither == Dither::Ordered ? nearest.meanSpacing() : 0.0;
  const QRgb keyColour = key.value_or(0);
  for (const QImage& frame : frames) {
    std::vector<uint8_t>& indices = out.indices.emplace_back();
    indices.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    switch (dither) {
      case Dither::None:
        mapPlain(frame, keyIndex, keyColour, nearest, indices);
        break;
      case Dither::Ordered:
        mapOrdered(frame, keyIndex, keyColour, nearest, spacing, indices);
        break;
      case Dither::FloydSteinberg:
        mapFloydSteinberg(frame, keyIndex, keyColour, out.palette, nearest, indices);
        break;
    }
  }
  return out;
}

}  // namespace

IndexedFrames reduceToPalette(const std::vector<QImage>& frames, Dither dither,
                              std::optional<QRgb> key) {
  if (frames.empty()) throw ExportError("no frames to write");
  const int32_t width = frames.front().width();
  const int32_t height = frames.front().height();
  std::vector<QImage> rgb;
  rgb.reserve(frames.size());
  for (const QImage& frame : frames) {
    if (frame.width() != width || frame.height() != height) {
      throw ExportError("the frames differ in size");
    }
    rgb.push_back(frame.format() == QImage::Format_RGB32
                      ? frame
                      : frame.convertToFormat(QImage::Format_RGB32));
  }
  if (auto exact = exactPalette(rgb, width, height)) return std::move(*exact);
  if (key) key = *key & kRgbMask;
  return quantised(rgb, width, height, dither, key);
}

}  // namespace patapata::exporting
