#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

class QGuiApplication;

namespace patapata::exporting {

/// The largest picture the export writes, in pixels (512 MiB at four bytes a pixel).
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 27;

/// Throws PictureTooLargeError, naming the size, when a picture of `width` × `height` pixels would
/// be larger than kMaxPicturePixels.
void checkPictureSize(int64_t width, int64_t height);

/// Copies `frame` into `target` at (x, y), each pixel enlarged to a `scale` × `scale` block.
/// The frame must fit.
void placeFrame(QImage& target, int32_t x, int32_t y, const QImage& frame, int32_t scale);

/// The frames side by side, enlarged by `scale`. Throws ExportError when the strip is too large.
QImage frameStrip(const std::vector<QImage>& frames, int32_t scale);

/// One picture of every state that has entries: a row per state, starting with the state's
/// number and caption, then the frames of one pass side by side. Rows are filled one at a time,
/// so only the sheet and one state's frames are held at once.
class StateSheet {
 public:
  struct Row {
    int32_t state;
    int32_t frames;  ///< frames in one pass
  };

  /// Lays out the rows for frames of `frameWidth` × `frameHeight` enlarged by `scale` and
  /// draws the labels. Text needs Qt's font system, so a GUI application on the offscreen
  /// platform is started when none runs. Throws ExportError when the sheet would be too large.
  StateSheet(std::vector<Row> rows, int32_t frameWidth, int32_t frameHeight, int32_t scale);
  ~StateSheet();
  StateSheet(const StateSheet&) = delete;
  StateSheet& operator=(const StateSheet&) = delete;

  /// Puts frame `index` (from 0) of row `row` in its place.
  void placeFrame(std::size_t row, int32_t index, const QImage& frame);

  const QImage& image() const { return image_; }

 private:
  std::unique_ptr<QGuiApplication> application_;
  std::vector<Row> rows_;
  int32_t frameWidth_;
  int32_t frameHeight_;
  int32_t scale_;
  int32_t labelWidth_ = 0;
  QImage image_;
};

}  // namespace patapata::exporting
