#pragma once

#include "character/character.h"
#include "player/frame_strip.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
}
class DrawContext;
class Surface;

/// The strip of frames below the main window's client area: the frames of the state playing as
/// small pictures in order, each with its frame number and pattern cel, the frame on screen
/// marked. A picture is drawn again only when its frame's recipe changed.
class FrameStripWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  /// A picture is the view at half its size.
  static constexpr int kPictureWidth = kViewWidth / 2;
  static constexpr int kPictureHeight = kViewHeight / 2;
  static constexpr int kGap = 4;

  explicit FrameStripWidget(QWidget* parent = nullptr);
  ~FrameStripWidget() override;
  FrameStripWidget(const FrameStripWidget&) = delete;
  FrameStripWidget& operator=(const FrameStripWidget&) = delete;

  /// Shows the frames of `state` with the player's `frame` marked.
  void render(const Character& character, int32_t state, int32_t frame);

  const std::vector<StripFrame>& frames() const { return frames_; }
  /// The picture marked, -1 for none.
  int32_t marked() const { return marked_; }
  /// Where picture `index` lies in the viewport.
  QRect pictureRect(int32_t index) const;

  /// Called with the frame of a picture clicked.
  std::function<void(int32_t frame)> onFramePicked;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage picture(const Character& character, int32_t state, const StripFrame& frame);
  void updateScrollRange();
  int labelHeight() const;

  std::vector<StripFrame> frames_;
  std::vector<StripFrame> next_;
  std::vector<QImage> pictures_;
  int32_t marked_ = -1;
  std::shared_ptr<platform::SurfaceService> service_;
  std::unique_ptr<DrawContext> context_;
  std::unique_ptr<Surface> scratch_;
};

}  // namespace patapata
