// Linux: inotify, made recursive. Every folder below each path gets a watch; folders that appear
// later (created or moved in) get theirs as soon as they are seen, and then their contents are
// walked, so that a tree made or moved in at once is never missed. Folders moved out of the tree
// are forgotten, and so is a root moved away; the folder that holds each root is watched for the
// root's return, so that a root removed or moved away and back is watched again. A thread of its
// own sets up the watches and reads the events; the main thread only ever receives a batch's
// signal.

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>

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
constexpr uint32_t arrivals = IN_CREATE | IN_MOVED_TO;

// One watched folder of a tree: where the tree has it, and which folder that was when watched.
struct WatchedFolder {
  std::string path;
  dev_t device;
  ino_t inode;
};

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.ends_with('/')) path.pop_back();
  return path;
}

class InotifySource final : public ChangeSource {
 public:
  InotifySource(std::vector<std::string> paths, std::function<void()> onBatch)
      : paths_(std::move(paths)),
        onBatch_(std::move(onBatch)),
        inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
        wake_(inotify_.valid() ? eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) : -1),
        // errno belongs to this thread: read it here, for the watching thread to report.
        setupError_(inotify_.valid() && wake_.valid() ? 0 : errno),
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
    if (setupError_ == 0) {
      for (const std::string& path : paths_) {
        if (addTree(path, true)) watchForReturnOf(path);
      }
    } else {
      logLine(std::string("couldn't watch the application folders: ") + std::strerror(setupError_));
    }
    {
      const std::lock_guard lock(mutex_);
      watching_ = true;
    }
    watchingChanged_.notify_all();
    if (setupError_ == 0) readEvents();
  }

  // Watches folder and every folder below it, depth first: each folder's watch is added before
  // it is listed, so nothing created inside it from then on goes unseen. True when folder itself
  // is watched.
  bool addTree(const std::string& folder, bool isRoot) {
    bool watchedTop = false;
    std::vector<std::pair<std::string, bool>> stack{{folder, isRoot}};
    while (!stack.empty() && !stopping_) {
      auto [path, root] = std::move(stack.back());
      stack.pop_back();
      // Roots may be links to where the folder really lives; below them, links are not entered.
      const int wd = inotify_add_watch(inotify_.get(), path.c_str(),
                                       changes | IN_ONLYDIR | (root ? 0U : IN_DONT_FOLLOW));
      struct stat info {};
      if (wd < 0 || stat(path.c_str(), &info) != 0) {
        if (wd < 0 && errno == ENOSPC) reportWatchLimit();
        continue;
      }
      watchedTop = watchedTop || path == folder;
      folders_[wd] = {path, info.st_dev, info.st_ino};
      for (ListedEntry& item : listFolder(path).value_or(std::vector<ListedEntry>{})) {
        if (item.flags && item.flags->isDirectory && !item.flags->isSymbolicLink) {
          stack.emplace_back(std::move(item.path), false);
        }
      }
    }
    return watchedTop;
  }

  // Watches the folder that holds root for a folder of root's name arriving there.
  void watchForReturnOf(const std::string& root) {
    const std::string path = withoutTrailingSlashes(root);
    if (nameOf(path).empty()) return;
    const int wd = inotify_add_watch(inotify_.get(), folderOf(path).c_str(),
                                     arrivals | IN_ONLYDIR | IN_MASK_ADD);
    if (wd >= 0) rootsHeld_[wd].push_back(root);
  }

  // A moved folder keeps its watch wherever it goes. One moved inside the tree has been watched
  // again under its new path by now (its IN_MOVED_TO comes before its IN_MOVE_SELF); one that
  // is no longer where the tree has it has left the tree: forget it and every folder below it.
  void forgetIfMovedAway(int wd) {
    const auto found = folders_.find(wd);
    if (found == folders_.end()) return;
    struct stat info {};
    const WatchedFolder& folder = found->second;
    if (stat(folder.path.c_str(), &info) == 0 && info.st_dev == folder.device &&
        info.st_ino == folder.inode) {
      return;
    }
    const std::string gone = folder.path;
    for (auto it = folders_.begin(); it != folders_.end();) {
      if (it->second.path != gone && !it->second.path.starts_with(gone + "/")) {
        ++it;
        continue;
      }
      // A folder that also holds a root keeps its watch, for that root's return.
      if (!rootsHeld_.contains(it->first)) inotify_rm_watch(inotify_.get(), it->first);
      it = folders_.erase(it);
    }
  }

  // Watches a root again when a folder of its name arrives where it was; true when one did.
  bool watchReturningRoots(const inotify_event& event, const std::string& name) {
    const auto held = rootsHeld_.find(event.wd);
    if (held == rootsHeld_.end() || (event.mask & arrivals) == 0) return false;
    bool returned = false;
    for (const std::string& root : held->second) {
      if (nameOf(withoutTrailingSlashes(root)) != name) continue;
      addTree(root, true);
      returned = true;
    }
    return returned;
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
        // Events were lost, folders made or moved meanwhile among them: look everywhere again.
        std::vector<int> watches;
        for (const auto& [wd, folder] : folders_) watches.push_back(wd);
        for (const int wd : watches) forgetIfMovedAway(wd);
        for (const std::string& path : paths_) addTree(path, true);
        changed = true;
        continue;
      }
      if ((event.mask & IN_IGNORED) != 0) {
        folders_.erase(event.wd);
        rootsHeld_.erase(event.wd);
        continue;
      }
      changed = watchReturningRoots(event, name) || changed;
      const auto folder = folders_.find(event.wd);
      if (folder == folders_.end()) continue;  // a forgotten folder, or only a root's holder
      if ((event.mask & IN_MOVE_SELF) != 0) {
        forgetIfMovedAway(event.wd);
      } else if ((event.mask & IN_ISDIR) != 0 && (event.mask & arrivals) != 0) {
        addTree(folder->second.path + "/" + name, false);
      }
      changed = true;
    }
    return changed;
  }

  const std::vector<std::string> paths_;
  const std::function<void()> onBatch_;
  UniqueFd inotify_;
  UniqueFd wake_;
  const int setupError_;  // errno when a descriptor above could not be made, else 0
  std::atomic<bool> stopping_ = false;
  // Only the thread touches these: the folders of the trees, and the folders that hold roots.
  std::unordered_map<int, WatchedFolder> folders_;
  std::unordered_map<int, std::vector<std::string>> rootsHeld_;
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
