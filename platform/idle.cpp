#include "platform/idle.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {

IdleDriver::IdleDriver(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &IdleDriver::RunOnce);
  timer_.start();
}

void IdleDriver::WatchApplicationInput() {
  if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
}

void IdleDriver::Wake() {
  if (timer_.isActive()) return;
  count_ = 0;
  timer_.start();
}

void IdleDriver::RunOnce() {
  if (!handler_ || !handler_(count_++)) timer_.stop();
}

bool IdleDriver::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Resize:
      Wake();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform
