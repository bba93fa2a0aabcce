#include "platform/video/side_thread.h"

#include <system_error>
#include <utility>

namespace platform {

SideThread::~SideThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool SideThread::Start(std::function<void()> job) {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
      return false;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = std::move(job);
    busy_ = true;
  }
  changed_.notify_all();
  return true;
}

void SideThread::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
}

void SideThread::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || quit_; });
    if (quit_) return;
    std::function<void()> job = std::move(job_);
    lock.unlock();
    job();
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace platform
