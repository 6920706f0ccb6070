#include "jolstrand/folder_watcher.hpp"

#include "change_source.hpp"

namespace jolstrand {

// The main-thread half: every batch restarts the quiet period, and the signal fires when it ends.
struct FolderWatcher::Debounce : std::enable_shared_from_this<Debounce> {
  Debounce(MainQueue& queue, double quietSeconds, std::function<void()> signal)
      : mainQueue(queue), quiet(quietSeconds), onChange(std::move(signal)) {}

  void poke() {
    pending.cancel();
    pending = mainQueue.postDelayed(MainQueue::Seconds(quiet), [weak = weak_from_this()] {
      if (const auto self = weak.lock()) self->onChange();
    });
  }

  MainQueue& mainQueue;
  const double quiet;
  const std::function<void()> onChange;
  ScheduledTask pending;
};

FolderWatcher::FolderWatcher(MainQueue& mainQueue, std::vector<std::string> paths, double quiet,
                             std::function<void()> onChange)
    : debounce_(std::make_shared<Debounce>(mainQueue, quiet, std::move(onChange))) {
  source_ = detail::watchFolders(std::move(paths), [&mainQueue, weak = std::weak_ptr(debounce_)] {
    mainQueue.post([weak] {
      if (const auto debounce = weak.lock()) debounce->poke();
    });
  });
}

// The source stops first, so no batch arrives once the watcher is going; anything already
// posted or scheduled finds the debounce gone and does nothing.
FolderWatcher::~FolderWatcher() {
  source_.reset();
}

void FolderWatcher::waitUntilWatching() const {
  source_->waitUntilWatching();
}

}  // namespace jolstrand
