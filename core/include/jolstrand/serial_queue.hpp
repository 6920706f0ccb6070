#pragma once
// A serial background queue: tasks run one at a time, in the order they were queued, on one
// thread of the queue's own. The destructor runs every task still queued, then stops.
// async() may be called from any thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace jolstrand {

class SerialQueue {
 public:
  /// How the queue's thread competes for the processor.
  enum class Priority {
    normal,
    /// Below the threads that serve the user (typing, drawing): a lower scheduling priority on
    /// Linux (nice 10), the utility quality of service on macOS.
    utility,
  };

  /// label names the queue ("jolstrand.usage.save") for debugging.
  explicit SerialQueue(std::string label, Priority priority = Priority::normal);
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;
  ~SerialQueue();

  [[nodiscard]] const std::string& label() const { return label_; }

  /// Queues a task and returns at once.
  void async(std::function<void()> task);

  /// Blocks until every task queued before this call has run.
  void waitUntilIdle();

  /// Drops every task that has not started yet; a task already running runs to its end.
  void dropPending();

 private:
  void run();

  const std::string label_;
  const Priority priority_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> tasks_;
  bool running_ = false;  // a task is executing
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace jolstrand
