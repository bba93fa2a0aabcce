#pragma once

// A thread of its own that runs one job at a time beside the caller: the caller starts a job,
// does other work, then waits for the job. The thread lives as long as the object, so starting a
// job costs a wake-up, not a new thread (a new thread queues behind every other on a busy
// machine before it runs at all).

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class SideThread {
 public:
  SideThread() = default;
  ~SideThread();
  SideThread(const SideThread&) = delete;
  SideThread& operator=(const SideThread&) = delete;

  // Starts `job`; false (and nothing started) when the thread cannot be made, the caller then
  // runs the job itself. One job at a time: Wait before the next Start.
  bool Start(std::function<void()> job);
  // Waits until the started job is done; returns at once when none runs.
  void Wait();

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool busy_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace platform
