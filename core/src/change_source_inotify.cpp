// Linux: inotify, made recursive. Every folder below each path gets a watch; folders that appear
// later (created or moved in) get theirs as soon as they are seen, and then their contents are
// walked, so that a tree made or moved in at once is never missed. A thread of its own sets up
// the watches and reads the events; the main thread only ever receives a batch's signal.

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "change_source.hpp"
#include "file_system.hpp"
#include "jolstrand/log.hpp"
#include "unique_fd.hpp"

namespace jolstrand::detail {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t changes = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

class InotifySource final : public ChangeSource {
 public:
  InotifySource(std::vector<std::string> paths, std::function<void()> onBatch)
      : paths_(std::move(paths)),
        onBatch_(std::move(onBatch)),
        inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
        wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
        thread_([this] { run(); }) {}

  ~InotifySource() override {
    stopping_ = true;
    const uint64_t one = 1;
    if (wake_.valid() && write(wake_.get(), &one, sizeof one) < 0) {
      // Nothing to do: the thread also checks stopping_ between polls.
    }
    thread_.join();
  }

  void waitUntilWatching() const override {
    std::unique_lock lock(mutex_);
    watchingChanged_.wait(lock, [this] { return watching_; });
  }

 private:
  void run() {
    if (inotify_.valid()) {
      for (const std::string& path : paths_) addTree(path, true);
    } else {
      logLine(std::string("couldn't watch the application folders: ") + std::strerror(errno));
    }
    {
      const std::lock_guard lock(mutex_);
      watching_ = true;
    }
    watchingChanged_.notify_all();
    if (inotify_.valid()) readEvents();
  }

  // Watches folder and every folder below it, depth first: each folder's watch is added before
  // it is listed, so nothing created inside it from then on goes unseen.
  void addTree(const std::string& folder, bool isRoot) {
    std::vector<std::pair<std::string, bool>> stack{{folder, isRoot}};
    while (!stack.empty() && !stopping_) {
      auto [path, root] = std::move(stack.back());
      stack.pop_back();
      // Roots may be links to where the folder really lives; below them, links are not entered.
      const int wd = inotify_add_watch(inotify_.get(), path.c_str(),
                                       changes | IN_ONLYDIR | (root ? 0U : IN_DONT_FOLLOW));
      if (wd < 0) {
        if (errno == ENOSPC) reportWatchLimit();
        continue;
      }
      folders_[wd] = path;
      for (ListedEntry& item : listFolder(path).value_or(std::vector<ListedEntry>{})) {
        if (item.flags && item.flags->isDirectory && !item.flags->isSymbolicLink) {
          stack.emplace_back(std::move(item.path), false);
        }
      }
    }
  }

  void reportWatchLimit() {
    if (std::exchange(reportedLimit_, true)) return;
    logLine(
        "watching is incomplete: the system's limit on inotify watches "
        "(fs.inotify.max_user_watches) is reached, so changes in some application folders "
        "will not be noticed");
  }

  // Reads events until stopped. The first change of a batch starts the batch's latency; when
  // it has passed, one signal goes out for everything seen meanwhile.
  void readEvents() {
    constexpr auto noBatch = Clock::time_point::max();
    auto batchEnds = noBatch;
    alignas(inotify_event) char buffer[64 * 1024];
    while (!stopping_) {
      int timeout = -1;
      if (batchEnds != noBatch) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(batchEnds - Clock::now());
        timeout = static_cast<int>(std::max<long>(0, left.count()));
      }
      pollfd fds[] = {{inotify_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
      const int ready = poll(fds, 2, timeout);
      if (ready < 0 && errno != EINTR) return;
      if (stopping_) return;
      if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
        bool changed = false;
        for (ssize_t length; (length = read(inotify_.get(), buffer, sizeof buffer)) > 0;) {
          changed = handle(buffer, static_cast<std::size_t>(length)) || changed;
        }
        if (changed && batchEnds == noBatch) {
          batchEnds = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(batchLatency));
        }
      }
      if (batchEnds != noBatch && Clock::now() >= batchEnds) {
        batchEnds = noBatch;
        onBatch_();
      }
    }
  }

  // Handles one read's worth of events; true when any of them is a change.
  bool handle(const char* buffer, std::size_t length) {
    bool changed = false;
    for (std::size_t at = 0; at < length;) {
      inotify_event event{};
      std::memcpy(&event, buffer + at, sizeof event);
      const std::string name(event.len > 0 ? buffer + at + sizeof event : "");
      at += sizeof event + event.len;
      if ((event.mask & IN_Q_OVERFLOW) != 0) {
        // Events were lost, folders created meanwhile among them: look everywhere again.
        for (const std::string& path : paths_) addTree(path, true);
        changed = true;
        continue;
      }
      if ((event.mask & IN_IGNORED) != 0) {
        folders_.erase(event.wd);
        continue;
      }
      const auto folder = folders_.find(event.wd);
      if ((event.mask & IN_ISDIR) != 0 && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0 &&
          folder != folders_.end()) {
        addTree(folder->second + "/" + name, false);
      }
      changed = true;
    }
    return changed;
  }

  const std::vector<std::string> paths_;
  const std::function<void()> onBatch_;
  UniqueFd inotify_;
  UniqueFd wake_;
  std::atomic<bool> stopping_ = false;
  std::unordered_map<int, std::string> folders_;  // watch → folder; only the thread touches it
  bool reportedLimit_ = false;
  mutable std::mutex mutex_;
  mutable std::condition_variable watchingChanged_;
  bool watching_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace

std::unique_ptr<ChangeSource> watchFolders(std::vector<std::string> paths,
                                           std::function<void()> onBatch) {
  return std::make_unique<InotifySource>(std::move(paths), std::move(onBatch));
}

}  // namespace jolstrand::detail
