#pragma once

#include <QImage>
#include <QTemporaryDir>

#include <string>
#include <vector>

// Reading back what `--export` writes, and what it should have written.
namespace patapata::testing {

/// The bundled sample: few colours, and a state with a layer clipped at the view's edge.
std::string sampleCharacter();
/// Test data with states 1, 6, 10 and 30 filled, the others empty.
std::string multiCharacter();

/// A four-frame animation of about a thousand colours (four vertical gradients, one per cel,
/// #ANIME 73) whose sheet's transparent colour, magenta, shows in a square of the first frame.
/// Written into `dir`; returns the character file.
std::string writeGradientCharacter(const QTemporaryDir& dir);
inline constexpr QRgb kGradientKey = 0xFFFF00FFu;

/// The frames `--render` draws for one pass of `state`: what an export must show.
std::vector<QImage> renderedFrames(const std::string& character, int state, int count);

/// A GIF's frames as pictures (0xFFRRGGBB), each drawn with its own or the global palette;
/// empty when the file cannot be read. `localMaps` counts frames that carry a palette of
/// their own; `globalColours` is the size of the global one.
struct GifFile {
  std::vector<QImage> frames;
  std::vector<int> delaysHundredths;
  int localMaps = 0;
  int globalColours = 0;
  bool loopsForEver = false;
};
GifFile readGif(const std::string& path);

/// An animated WebP as libwebp's decoder shows it: each frame's picture and end time.
struct WebpFile {
  std::vector<QImage> frames;
  std::vector<int> endMs;  ///< the time each frame stops showing, from the start
  int loopCount = -1;      ///< 0 loops for ever
};
WebpFile readWebp(const std::string& path);

/// `frame` with each pixel enlarged to a `scale` × `scale` block.
QImage enlarged(const QImage& frame, int scale);

/// How many pixels differ between two pictures of one size; every pixel when sizes differ.
long long differentPixels(const QImage& a, const QImage& b);

}  // namespace patapata::testing
