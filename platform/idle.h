#pragma once

// Idle processing: when the event queue is empty the idle handler is called with a count that
// starts at 0 and grows with each call; it returns true while it wants more idle time (playback
// advances one frame a call). When it says no, calls stop until input arrives or Wake() is
// called, and the count starts at 0 again.

#include <QObject>
#include <QTimer>

#include <functional>

namespace platform {

class IdleDriver : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<bool(long count)>;

  explicit IdleDriver(Handler handler, QObject* parent = nullptr);

  // Watches the application's input so that idle calls resume after it.
  void WatchApplicationInput();
  // Resumes idle calls (count from 0).
  void Wake();
  bool IsRunning() const { return timer_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RunOnce();

  Handler handler_;
  QTimer timer_;
  long count_ = 0;
};

}  // namespace platform
