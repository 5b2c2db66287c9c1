#include "window/idle_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QString>

#include <chrono>

namespace patapata {

namespace {

// Events that stand for a window message: what the window system delivers, what the user
// does, and timers. Posted repaint requests are left out, so that a tick that presents does
// not wake the next one by itself.
bool wakesIdle(const QEvent& event) {
  if (event.spontaneous()) return true;
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::Show:
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
    case QEvent::Timer:
    case QEvent::MetaCall:
      return true;
    default:
      return false;
  }
}

}  // namespace

IdleLoop::IdleLoop(QObject* parent) : QObject(parent) {
  idleTimer_.setSingleShot(true);
  idleTimer_.setInterval(0);
  connect(&idleTimer_, &QTimer::timeout, this, &IdleLoop::idle);
  QCoreApplication::instance()->installEventFilter(this);
}

IdleLoop::~IdleLoop() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void IdleLoop::setTitle(const QString& title) {
  QCoreApplication::setApplicationName(title);
  QGuiApplication::setApplicationDisplayName(title);
}

void IdleLoop::setOnIdle(IdleHandler handler) {
  handler_ = std::move(handler);
  waiting_ = false;
  idleTimer_.start();
}

void IdleLoop::processEvents(uint32_t maxWaitMs) {
  if (maxWaitMs == 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // The deadline is an event of its own, so the blocking wait below ends by then at the
  // latest; any earlier event ends it sooner.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  deadline.start(std::chrono::milliseconds(maxWaitMs));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void IdleLoop::suspendIdle() {
  ++suspended_;
}

void IdleLoop::resumeIdle() {
  if (suspended_ > 0) --suspended_;
}

bool IdleLoop::eventFilter(QObject* watched, QEvent* event) {
  if (waiting_ && !inIdle_ && suspended_ == 0 && wakesIdle(*event)) wake();
  return QObject::eventFilter(watched, event);
}

void IdleLoop::wake() {
  waiting_ = false;
  idleTimer_.start();
}

void IdleLoop::idle() {
  if (inIdle_ || !handler_) return;
  if (suspended_ > 0) {
    waiting_ = true;
    return;
  }
  bool done = true;
  {
    // Reset however the handler ends, so that the loop is never locked out.
    struct Entered {
      bool& flag;
      explicit Entered(bool& f) : flag(f) { flag = true; }
      ~Entered() { flag = false; }
    } entered(inIdle_);
    handler_(done);
  }
  if (done) {
    waiting_ = true;
  } else {
    idleTimer_.start();
  }
}

}  // namespace patapata
