#include "jolstrand/main_queue.hpp"

namespace jolstrand {

void ScheduledTask::cancel() const {
  if (cancelled_) cancelled_->store(true);
}

bool ScheduledTask::isCancelled() const {
  return cancelled_ && cancelled_->load();
}

ScheduledTask MainQueue::postDelayed(Seconds delay, std::function<void()> task) {
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  postAfter(delay, [cancelled, task = std::move(task)] {
    if (!cancelled->load()) task();
  });
  return ScheduledTask(std::move(cancelled));
}

}  // namespace jolstrand
