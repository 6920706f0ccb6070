#include "jolstrand/serial_queue.hpp"

#include <pthread.h>

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#elif defined(__APPLE__)
#include <pthread/qos.h>
#endif

namespace jolstrand {
namespace {

// For the calling thread only: on Linux a thread's nice value is its own.
void lowerThisThread() {
#if defined(__linux__)
  constexpr int utilityNice = 10;
  const auto thread = static_cast<id_t>(gettid());
  const int current = getpriority(PRIO_PROCESS, thread);
  if (current < utilityNice) setpriority(PRIO_PROCESS, thread, utilityNice);
#elif defined(__APPLE__)
  pthread_set_qos_class_self_np(QOS_CLASS_UTILITY, 0);
#endif
}

}  // namespace

SerialQueue::SerialQueue(std::string label, Priority priority)
    : label_(std::move(label)), priority_(priority), thread_([this] { run(); }) {}

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
  if (priority_ == Priority::utility) lowerThisThread();
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
