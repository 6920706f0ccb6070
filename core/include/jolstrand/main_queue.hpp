#pragma once
// The main queue: work that must run on the thread that owns the event loop (controllers,
// windows, timers). Background work hands its results back through post(). The application
// implements it on Qt's event loop; SimpleMainQueue implements it for tests and command-line use.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace jolstrand {

/// A task scheduled with MainQueue::postDelayed.
class ScheduledTask {
 public:
  ScheduledTask() = default;
  /// The task will not run if it has not started yet. Call on the main thread.
  void cancel() const;
  [[nodiscard]] bool isCancelled() const;

 private:
  friend class MainQueue;
  explicit ScheduledTask(std::shared_ptr<std::atomic<bool>> cancelled)
      : cancelled_(std::move(cancelled)) {}
  std::shared_ptr<std::atomic<bool>> cancelled_;
};

class MainQueue {
 public:
  using Seconds = std::chrono::duration<double>;

  MainQueue() = default;
  MainQueue(const MainQueue&) = delete;
  MainQueue& operator=(const MainQueue&) = delete;
  virtual ~MainQueue() = default;

  /// Runs task on the main thread, after what is already queued. May be called from any thread.
  virtual void post(std::function<void()> task) = 0;

  /// Runs task on the main thread no earlier than delay from now, unless it is cancelled first.
  /// May be called from any thread.
  ScheduledTask postDelayed(Seconds delay, std::function<void()> task);

 protected:
  /// Runs task on the main thread no earlier than delay from now.
  virtual void postAfter(Seconds delay, std::function<void()> task) = 0;
};

}  // namespace jolstrand
