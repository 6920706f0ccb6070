#pragma once
// The platform's change notifications for a set of folder trees, batched over about 0.25
// seconds. One implementation per platform (inotify on Linux, FSEvents on macOS).

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace jolstrand::detail {

class ChangeSource {
 public:
  /// How long events are gathered into one batch.
  static constexpr double batchLatency = 0.25;

  virtual ~ChangeSource() = default;
  /// Blocks until the initial watches are in place.
  virtual void waitUntilWatching() const = 0;
};

/// Starts watching every folder below paths; onBatch runs on a thread of the source's own, once
/// per batch of changes. Stops when destroyed; onBatch is not called after that.
[[nodiscard]] std::unique_ptr<ChangeSource> watchFolders(std::vector<std::string> paths,
                                                         std::function<void()> onBatch);

}  // namespace jolstrand::detail
