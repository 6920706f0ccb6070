#include "jolstrand/serial_queue.hpp"

#include <pthread.h>

namespace jolstrand {

SerialQueue::SerialQueue(std::string label)
    : label_(std::move(label)), thread_([this] { run(); }) {}

SerialQueue::~SerialQueue() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void SerialQueue::async(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  changed_.notify_all();
}

void SerialQueue::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return tasks_.empty() && !running_; });
}

void SerialQueue::dropPending() {
  std::deque<std::function<void()>> dropped;
  {
    const std::lock_guard lock(mutex_);
    dropped.swap(tasks_);
  }
  changed_.notify_all();
}  // the dropped tasks are destroyed here, outside the lock

void SerialQueue::run() {
#if defined(__linux__)
  pthread_setname_np(pthread_self(), label_.substr(0, 15).c_str());  // the kernel's limit
#elif defined(__APPLE__)
  pthread_setname_np(label_.c_str());
#endif
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    if (tasks_.empty()) return;  // stopping, and everything queued has run
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    running_ = true;
    lock.unlock();
    task();
    lock.lock();
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace jolstrand
