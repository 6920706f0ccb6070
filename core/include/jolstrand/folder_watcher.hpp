#pragma once
// Turns file-system changes anywhere below a set of folders into one quiet signal: onChange runs
// on the main queue, once, `quiet` seconds after the last batch of a burst of changes. It never
// says what changed. Watching starts in the constructor and ends with the destructor; changes
// from before construction are never reported, and a signal still scheduled when the watcher is
// destroyed does nothing. Paths that do not exist, or none at all, are fine: such a watcher
// simply has nothing to report.
//
// Create, use and destroy it on the main thread. Setting up the watches and reading the events
// happen off the main thread; the main thread only receives "something changed".

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jolstrand/main_queue.hpp"

namespace jolstrand {

namespace detail {
class ChangeSource;
}

class FolderWatcher {
 public:
  FolderWatcher(MainQueue& mainQueue, std::vector<std::string> paths, double quiet,
                std::function<void()> onChange);
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;
  ~FolderWatcher();

  /// Blocks until the watches are set up, so that every later change is seen. For tests and
  /// benchmarks; the launcher never waits.
  void waitUntilWatching() const;

 private:
  struct Debounce;
  std::shared_ptr<Debounce> debounce_;  // weakly held by everything scheduled on the main queue
  std::unique_ptr<detail::ChangeSource> source_;
};

}  // namespace jolstrand
