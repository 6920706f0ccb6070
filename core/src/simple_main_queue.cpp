#include "jolstrand/simple_main_queue.hpp"

namespace jolstrand {

SimpleMainQueue::SimpleMainQueue(std::function<Clock::time_point()> now) : now_(std::move(now)) {}

void SimpleMainQueue::post(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    ++postCount_;
  }
  posted_.notify_all();
}

void SimpleMainQueue::postAfter(Seconds delay, std::function<void()> task) {
  const auto deadline = now_() + std::chrono::duration_cast<Clock::duration>(delay);
  {
    const std::lock_guard lock(mutex_);
    delayed_.emplace(deadline, std::move(task));
    ++postCount_;
  }
  posted_.notify_all();
}

std::size_t SimpleMainQueue::runDue() {
  std::size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (!tasks_.empty()) {
        task = std::move(tasks_.front());
        tasks_.pop_front();
      } else if (!delayed_.empty() && delayed_.begin()->first <= now_()) {
        task = std::move(delayed_.begin()->second);
        delayed_.erase(delayed_.begin());
      } else {
        return ran;
      }
    }
    task();  // outside the lock: a task may post more
    ++ran;
  }
}

bool SimpleMainQueue::waitForPost(Clock::duration wait) {
  std::unique_lock lock(mutex_);
  const std::size_t seen = postCount_;
  return posted_.wait_for(lock, wait, [&] { return postCount_ != seen || !tasks_.empty(); });
}

bool SimpleMainQueue::runUntil(const std::function<bool()>& done, Clock::duration timeout) {
  const auto giveUp = Clock::now() + timeout;
  for (;;) {
    runDue();
    if (done()) return true;
    const auto left = giveUp - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    waitForPost(std::min<Clock::duration>(left, std::chrono::milliseconds(10)));
  }
}

void SimpleMainQueue::runUntilCalm(Clock::duration calm, Clock::duration timeout) {
  const auto giveUp = Clock::now() + timeout;
  do {
    runDue();
  } while (waitForPost(calm) && Clock::now() < giveUp);
  runDue();
}

std::size_t SimpleMainQueue::scheduledCount() const {
  const std::lock_guard lock(mutex_);
  return delayed_.size();
}

}  // namespace jolstrand
