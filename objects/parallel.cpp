#include "objects/parallel.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class Workers {
 public:
  Workers() {
    cpu_set_t set;
    const int cpus = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
    for (int t = 1; t < cpus; ++t) threads_.emplace_back([this] { Serve(); });
  }
  ~Workers() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  void For(std::size_t count, const std::function<void(std::size_t)>& work) {
    if (threads_.empty() || count < 2) {
      for (std::size_t i = 0; i < count; ++i) work(i);
      return;
    }
    {
      std::lock_guard lock(mutex_);
      work_ = &work;
      count_ = count;
      next_ = 0;
      ++generation_;
    }
    wake_.notify_all();
    Pull(work, count);
    // Only threads that joined this loop are waited for; one that wakes later finds it over.
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    work_ = nullptr;
    count_ = 0;
  }

 private:
  void Pull(const std::function<void(std::size_t)>& work, std::size_t count) {
    for (std::size_t i; (i = next_.fetch_add(1)) < count;) work(i);
  }

  void Serve() {
    unsigned seen = 0;
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      if (!work_) continue;
      const std::function<void(std::size_t)>* work = work_;
      const std::size_t count = count_;
      ++busy_;
      lock.unlock();
      Pull(*work, count);
      lock.lock();
      if (--busy_ == 0) done_.notify_all();
    }
  }

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(std::size_t)>* work_ = nullptr;
  std::size_t count_ = 0;
  std::atomic<std::size_t> next_{0};
  unsigned generation_ = 0;
  int busy_ = 0;
  bool stop_ = false;
};

}  // namespace

void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work) {
  static Workers workers;
  workers.For(count, work);
}
