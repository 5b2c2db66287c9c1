#include "window/idle_loop.h"

#include <QCoreApplication>
#include <QEvent>
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
  wakeTimer_.setSingleShot(true);
  wakeTimer_.setTimerType(Qt::PreciseTimer);
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

void IdleLoop::wakeAfter(uint32_t ms) {
  // The timer's event wakes the idle handler as any other event does.
  wakeTimer_.start(std::chrono::milliseconds(ms));
}

void IdleLoop::suspendIdle() {
  ++suspended_;
}

void IdleLoop::resumeIdle() {
  if (suspended_ > 0) --suspended_;
}

bool IdleLoop::eventFilter(QObject* watched, QEvent* event) {
  if (waiting_ && suspended_ == 0 && wakesIdle(*event)) wake();
  return QObject::eventFilter(watched, event);
}

void IdleLoop::wake() {
  waiting_ = false;
  idleTimer_.start();
}

void IdleLoop::idle() {
  if (!handler_) return;
  if (suspended_ > 0) {
    waiting_ = true;
    return;
  }
  bool done = true;
  handler_(done);
  if (done) {
    waiting_ = true;
  } else {
    idleTimer_.start();
  }
}

}  // namespace patapata
