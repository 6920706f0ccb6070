#include "icon_cache.hpp"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>

#include "fakes.hpp"
#include "result_row.hpp"

namespace jolstrand {
namespace {

// The fake workspace's icons, but those of the paths in `held` wait until the test releases
// them; counts the loads.
class SlowWorkspace : public testing::FakeWorkspace {
 public:
  QImage icon(const std::string& path, int points, qreal ratio) override {
    ++loads;
    std::unique_lock lock(mutex_);
    released_.wait(lock, [&] { return held_.count(path) == 0; });
    return FakeWorkspace::icon(path, points, ratio);
  }
  void hold(const std::string& path) {
    const std::lock_guard lock(mutex_);
    held_.insert(path);
  }
  void release(const std::string& path) {
    const std::lock_guard lock(mutex_);
    held_.erase(path);
    released_.notify_all();
  }
  void releaseAll() {
    const std::lock_guard lock(mutex_);
    held_.clear();
    released_.notify_all();
  }
  std::atomic<int> loads = 0;

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  std::set<std::string> held_;
};

QImage iconOf(const std::string& path) {
  return testing::FakeWorkspace().icon(path, 32, 1.0);
}

class IconCacheTest : public ::testing::Test {
 protected:
  ~IconCacheTest() override { workspace.releaseAll(); }  // so that the cache's loads can end

  SlowWorkspace workspace;
  QWidget parent;
  ResultRow first{0, &parent};
  ResultRow second{1, &parent};
  IconCache cache{workspace, 32};
};

TEST_F(IconCacheTest, EachRowKeepsItsOwnIconAndTheCacheAnswersAtOnce) {
  cache.setIcon(first, "/A.app", 1.0);
  cache.setIcon(second, "/B.app", 1.0);
  EXPECT_TRUE(first.icon().isNull());  // cleared while loading
  ASSERT_TRUE(QTest::qWaitFor([&] { return !first.icon().isNull() && !second.icon().isNull(); }));
  EXPECT_EQ(first.icon().toImage(), iconOf("/A.app"));
  EXPECT_EQ(second.icon().toImage(), iconOf("/B.app"));
  EXPECT_EQ(cache.size(), 2);

  cache.setIcon(first, "/B.app", 1.0);  // cached: at once, no load
  EXPECT_EQ(first.icon().toImage(), iconOf("/B.app"));
  EXPECT_EQ(workspace.loads, 2);
}

TEST_F(IconCacheTest, ClearingForgetsEveryIconAndLoadsThemAgain) {
  cache.setIcon(first, "/A.app", 1.0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return cache.size() == 1; }));
  cache.clear();
  EXPECT_EQ(cache.size(), 0);
  cache.setIcon(first, "/A.app", 1.0);
  EXPECT_TRUE(first.icon().isNull());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !first.icon().isNull(); }));
  EXPECT_EQ(workspace.loads, 2);
}

TEST_F(IconCacheTest, ASlowLoadForARowThatMovedOnIsDropped) {
  workspace.hold("/Slow.app");
  cache.setIcon(first, "/Slow.app", 1.0);
  cache.setIcon(first, "/Fast.app", 1.0);  // the row now shows another application
  ASSERT_TRUE(QTest::qWaitFor([&] { return !first.icon().isNull(); }));
  workspace.release("/Slow.app");
  ASSERT_TRUE(QTest::qWaitFor([&] { return cache.size() == 2; }));
  EXPECT_EQ(first.icon().toImage(), iconOf("/Fast.app"));
}

TEST_F(IconCacheTest, ALoadStartedBeforeClearingDoesNotRefillTheCache) {
  workspace.hold("/A.app");
  cache.setIcon(first, "/A.app", 1.0);
  cache.clear();  // a rescan while the load runs
  workspace.release("/A.app");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !first.icon().isNull(); }));  // the row still gets it
  EXPECT_EQ(cache.size(), 0);
}

}  // namespace
}  // namespace jolstrand
