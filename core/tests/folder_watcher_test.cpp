#include "jolstrand/folder_watcher.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixture_tree.hpp"
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
