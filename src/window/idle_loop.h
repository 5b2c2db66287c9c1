#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

class QEvent;
class QString;

namespace patapata {

/// The application services the viewer's window relies on, on Qt's event loop: the title,
/// an idle handler with its done flag, and a wake-up at the next frame's deadline. Construct it
/// after the QApplication.
class IdleLoop : public QObject {
  Q_OBJECT

 public:
  explicit IdleLoop(QObject* parent = nullptr);
  ~IdleLoop() override;
  IdleLoop(const IdleLoop&) = delete;
  IdleLoop& operator=(const IdleLoop&) = delete;

  /// The application's title; window captions and message boxes use it.
  void setTitle(const QString& title);

  /// `done` is true on entry. The handler runs once the event queue is empty; while it
  /// leaves `done` true it is not called again until the next input or window event arrives,
  /// or the wake-up it asked for; when it sets `done` to false it runs again as soon as the
  /// queue is empty. The handler catches its own errors; nothing may propagate into Qt's event
  /// dispatch.
  using IdleHandler = std::function<void(bool& done)>;
  void setOnIdle(IdleHandler handler);

  /// Runs the idle handler again `ms` milliseconds from now, if no event has done so before;
  /// a later call replaces an earlier one. Nothing spins meanwhile.
  void wakeAfter(uint32_t ms);

  /// While suspended (counted), the idle handler is not called; it is called again after
  /// the next event once the last suspension ends. Used around modal message boxes.
  void suspendIdle();
  void resumeIdle();

  /// True while the handler left `done` true and no event has arrived since.
  bool waitingForEvent() const { return waiting_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void idle();
  void wake();

  IdleHandler handler_;
  QTimer idleTimer_;
  QTimer wakeTimer_;
  bool waiting_ = false;
  int suspended_ = 0;
};

}  // namespace patapata
