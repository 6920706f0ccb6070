#pragma once
// A main queue run by hand on whichever thread calls its run functions: for tests and
// command-line use. Its clock can be replaced, so that a test decides when delayed work is due.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "jolstrand/main_queue.hpp"

namespace jolstrand {

class SimpleMainQueue : public MainQueue {
 public:
  using Clock = std::chrono::steady_clock;

  /// now tells the time for delayed work; it must not go backwards.
  explicit SimpleMainQueue(std::function<Clock::time_point()> now = &Clock::now);

  void post(std::function<void()> task) override;

  /// Runs the posted tasks and the delayed ones that are due by the clock; returns how many ran.
  std::size_t runDue();

  /// Runs tasks as they come and fall due until done() holds, waiting for posts in real time
  /// for at most timeout; returns done().
  bool runUntil(const std::function<bool()>& done, Clock::duration timeout);

  /// Runs tasks as they come until nothing has been posted for `calm` of real time, or until
  /// timeout. For tests: lets a burst of background work arrive.
  void runUntilCalm(Clock::duration calm, Clock::duration timeout);

  /// How many delayed tasks wait to fall due (cancelled ones included).
  [[nodiscard]] std::size_t scheduledCount() const;

 protected:
  void postAfter(Seconds delay, std::function<void()> task) override;

 private:
  /// Waits in real time for a post, at most `wait`; true when one arrived.
  bool waitForPost(Clock::duration wait);

  const std::function<Clock::time_point()> now_;
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
  std::multimap<Clock::time_point, std::function<void()>> delayed_;  // equal deadlines: in order
  std::size_t postCount_ = 0;
};

}  // namespace jolstrand
