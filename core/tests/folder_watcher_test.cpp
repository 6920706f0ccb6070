#include "jolstrand/folder_watcher.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <thread>

#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/simple_main_queue.hpp"

namespace jolstrand {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Real file-system events, delivered through a main queue whose clock only the test moves: the
// quiet period passes exactly when the test says so.
class FolderWatcherTest : public ::testing::Test {
 protected:
  std::unique_ptr<FolderWatcher> watch(std::vector<std::string> paths) {
    auto watcher =
        std::make_unique<FolderWatcher>(queue, std::move(paths), quiet, [this] { ++signals; });
    watcher->waitUntilWatching();
    return watcher;
  }
  // Lets every batch of the changes made so far reach the main queue, without time passing.
  void settle() { queue.runUntilCalm(600ms, 30s); }
  // Moves the clock past the quiet period and runs what falls due.
  void passQuietPeriod() {
    now += 1100ms;
    queue.runDue();
  }

  testing::FixtureTree tree;
  SimpleMainQueue::Clock::time_point now{};
  SimpleMainQueue queue{[this] { return now; }};
  const double quiet = 1.0;
  int signals = 0;
};

TEST_F(FolderWatcherTest, SignalsOnceForOneChange) {
  const auto watcher = watch({tree.folder("Apps")});
  tree.file("Apps/New.app/Contents/Info.plist");
  settle();
  EXPECT_EQ(signals, 0);  // not before the quiet period has passed
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
}

TEST_F(FolderWatcherTest, SignalsOnceForABurstOfTenThousandFiles) {
  tree.folder("Apps");
  const auto watcher = watch({tree.path("Apps")});
  for (int folder = 0; folder < 100; ++folder) {
    const std::string base = "Apps/Vendor" + std::to_string(folder % 10) + "/Suite" +
                             std::to_string(folder) + ".app/Contents/";
    for (int file = 0; file < 100; ++file) tree.file(base + "f" + std::to_string(file));
  }
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
}

TEST_F(FolderWatcherTest, SignalsForEachBurstApartByMoreThanTheQuietPeriod) {
  const auto watcher = watch({tree.folder("Apps")});
  tree.file("Apps/one");
  settle();
  passQuietPeriod();
  tree.file("Apps/two");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
}

TEST_F(FolderWatcherTest, SeesChangesDeepDownAndInFoldersMadeLater) {
  tree.folder("Apps/a/b/c/d");
  const auto watcher = watch({tree.path("Apps")});
  tree.file("Apps/a/b/c/d/deep");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);

  fs::create_directories(tree.path("Apps/new"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
  tree.file("Apps/new/inside");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 3);
}

TEST_F(FolderWatcherTest, NeverMissesATreeMadeOrMovedInAtOnce) {
  const auto watcher = watch({tree.folder("Apps")});
  fs::create_directories(tree.path("Apps/x/y/z"));  // like mkdir -p, then a file at once
  tree.file("Apps/x/y/z/file");
  tree.file("Outside/p/q/Bundle.app/Contents/Info.plist");
  fs::rename(tree.path("Outside/p"), tree.path("Apps/p"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);

  tree.file("Apps/x/y/z/later");  // the innermost folders are watched too
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
  tree.file("Apps/p/q/Bundle.app/Contents/later");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 3);
}

TEST_F(FolderWatcherTest, NeverReportsChangesFromBeforeItStarted) {
  tree.file("Apps/old");
  const auto watcher = watch({tree.path("Apps")});
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 0);
}

TEST_F(FolderWatcherTest, StaysQuietWhenDestroyedWithASignalScheduled) {
  auto watcher = watch({tree.folder("Apps")});
  tree.file("Apps/new");
  ASSERT_TRUE(queue.runUntil([&] { return queue.scheduledCount() > 0; }, 10s));
  watcher.reset();
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 0);
}

TEST_F(FolderWatcherTest, AcceptsNoPathsAndMissingPaths) {
  const auto none = watch({});
  const auto missing = watch({tree.path("Nowhere")});
  tree.file("Nowhere/now");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 0);
}

TEST_F(FolderWatcherTest, KeepsWatchingAfterAWatchedFolderIsRemoved) {
  tree.folder("Apps/Gone/Sub");
  const auto watcher = watch({tree.path("Apps")});
  fs::remove_all(tree.path("Apps/Gone"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  tree.file("Apps/still");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
}

TEST_F(FolderWatcherTest, WatchesARootAgainWhenItComesBack) {
  const auto watcher = watch({tree.folder("Apps")});
  fs::remove_all(tree.path("Apps"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  tree.folder("Apps");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);  // the folder's return is a change too
  tree.file("Apps/New.app/Contents/Info.plist");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 3);
}

TEST_F(FolderWatcherTest, ForgetsARootMovedAwayUntilItIsMovedBack) {
  tree.folder("Apps/Sub");
  const auto watcher = watch({tree.path("Apps")});
  fs::rename(tree.path("Apps"), tree.path("Renamed"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  tree.file("Renamed/new");
  tree.file("Renamed/Sub/new");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);

  fs::rename(tree.path("Renamed"), tree.path("Apps"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
  tree.file("Apps/Sub/later");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 3);
}

TEST_F(FolderWatcherTest, ForgetsFoldersMovedOutOfTheTreeButFollowsMovesInsideIt) {
  tree.folder("Apps/Vendor/Suite");
  tree.folder("Apps/Mover/Inner");
  tree.folder("Outside");
  const auto watcher = watch({tree.path("Apps")});
  fs::rename(tree.path("Apps/Vendor"), tree.path("Outside/Vendor"));
  fs::rename(tree.path("Apps/Mover"), tree.path("Apps/Moved"));
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  tree.file("Outside/Vendor/Suite/new");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 1);
  tree.file("Apps/Moved/Inner/new");
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 2);
  fs::create_directories(tree.path("Apps/Moved/Inner/Made"));
  settle();
  passQuietPeriod();
  tree.file("Apps/Moved/Inner/Made/new");  // a folder made under the new path is watched too
  settle();
  passQuietPeriod();
  EXPECT_EQ(signals, 4);
}

// Runs body in a child process that may open only `spare` more descriptors, so that making the
// watcher's own descriptors fails there. Answers the child's exit status, or -1 when it had not
// ended after ten seconds (it is then killed). The child runs body once before the limit, its
// answer ignored: UBSan checks each class's vtable once per process, through a pipe, and would
// otherwise fail that check for want of descriptors.
int exitStatusWithSpareDescriptors(int spare, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    static_cast<void>(body());
    const int lowestFree = open("/dev/null", O_RDONLY | O_CLOEXEC);
    close(lowestFree);
    const rlimit limit{static_cast<rlim_t>(lowestFree + spare),
                       static_cast<rlim_t>(lowestFree + spare)};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) _exit(3);
    _exit(body() ? 0 : 1);
  }
  for (int waited = 0; waited < 200; ++waited) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child)
      return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
    std::this_thread::sleep_for(50ms);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return -1;
}

// Makes and destroys a watcher; true when it logged exactly why it could not watch.
bool logsWhyItCannotWatch(const std::string& folder) {
  std::vector<std::string> lines;
  {
    const LogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    SimpleMainQueue queue;
    const FolderWatcher watcher(queue, {folder}, 1.0, [] {});
    watcher.waitUntilWatching();
  }
  const std::string expected =
      std::string("Jolstrand: couldn't watch the application folders: ") + std::strerror(EMFILE);
  for (const std::string& line : lines) std::cerr << line << "\n";
  return lines == std::vector{expected};
}

TEST(FolderWatcherFailure, LogsTheReasonWhenItCannotWatchAtAll) {
  testing::FixtureTree tree;
  const std::string folder = tree.folder("Apps");
  EXPECT_EQ(exitStatusWithSpareDescriptors(0, [&] { return logsWhyItCannotWatch(folder); }), 0);
}

TEST(FolderWatcherFailure, LogsAndEndsWhenOnlyItsWakeUpCannotBeMade) {
  testing::FixtureTree tree;
  const std::string folder = tree.folder("Apps");
  EXPECT_EQ(exitStatusWithSpareDescriptors(1, [&] { return logsWhyItCannotWatch(folder); }), 0);
}

TEST(SimpleMainQueue, RunsDelayedTasksWhenDueUnlessCancelled) {
  SimpleMainQueue::Clock::time_point now{};
  SimpleMainQueue queue([&] { return now; });
  std::vector<int> ran;
  queue.postDelayed(MainQueue::Seconds(2), [&] { ran.push_back(2); });
  const ScheduledTask cancelled =
      queue.postDelayed(MainQueue::Seconds(1), [&] { ran.push_back(9); });
  queue.postDelayed(MainQueue::Seconds(1), [&] { ran.push_back(1); });
  queue.post([&] { ran.push_back(0); });
  cancelled.cancel();
  EXPECT_EQ(queue.runDue(), 1U);
  now += 1500ms;
  queue.runDue();
  now += 1s;
  queue.runDue();
  EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(cancelled.isCancelled());
}

}  // namespace
}  // namespace jolstrand
