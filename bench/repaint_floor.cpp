// The least a Qt widget window costs to show a new 121 x 271 picture every interval: a timer,
// one fill of the picture, one repaint of its rectangle, nothing else. bench/cpu_usage.sh runs
// it beside the viewer, so that the viewer's processor use can be read against what Qt and
// the window system take for the same frames.
//
// Usage: patapata_repaint_floor INTERVAL_MS
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <cstdlib>

namespace {

class Picture : public QWidget {
 public:
  explicit Picture(QWidget* parent) : QWidget(parent), image_(121, 271, QImage::Format_RGB32) {
    setFixedSize(image_.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  void next() {
    // A different picture each time, so that nothing can skip the frame.
    image_.fill(static_cast<uint32_t>(0x00808080u ^ (frame_++ & 1u) * 0x00404040u));
    update();
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
  }

 private:
  QImage image_;
  uint32_t frame_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int interval = argc > 1 ? std::atoi(argv[1]) : 16;
  if (interval <= 0) return 2;
  QWidget window;
  window.resize(226, 409);  // the viewer's client area
  Picture picture(&window);
  picture.move(97, 0);
  window.show();
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &picture, &Picture::next);
  timer.start(interval);
  return QApplication::exec();
}
