#include "app_delegate.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/simple_main_queue.hpp"
#include "platform/workspace.hpp"

namespace jolstrand {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

class NoWorkspace : public Workspace {
 public:
  void openApplication(const std::string& /*path*/) override {}
  void reveal(const std::string& /*path*/) override {}
  void openURL(const QUrl& /*url*/) override {}
  QImage icon(const std::string& /*path*/, int points, qreal /*ratio*/) override {
    return QImage(points, points, QImage::Format_RGB32);
  }
};

// Scans that wait, one at a time, until the test lets them finish.
class GatedScans {
 public:
  std::vector<AppEntry> scan() {
    std::unique_lock lock(mutex_);
    const int number = ++started_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_ >= number; });
    return {AppEntry("id" + std::to_string(number), "/A/" + std::to_string(number) + ".app",
                     "App " + std::to_string(number))};
  }
  void release() {
    const std::lock_guard lock(mutex_);
    ++released_;
    changed_.notify_all();
  }
  int started() {
    const std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int started_ = 0;
  int released_ = 0;
};

class AppDelegateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
    setenv("XDG_DATA_DIRS", tree.path("shared").c_str(), 1);
    setenv("JOLSTRAND_ROOT", tree.path("root").c_str(), 1);
    delegate = std::make_unique<AppDelegate>(queue, workspace);
    delegate->registerHotKey = [this] { return ++registrations; };
    delegate->checkSpotlight = [this] { return spotlight; };
  }
  void TearDown() override {
    while (gate.started() > released) {  // let any scan still waiting end
      gate.release();
      ++released;
    }
    delegate.reset();
    unsetenv("JOLSTRAND_ROOT");
    unsetenv("XDG_DATA_DIRS");
  }

  testing::FixtureTree tree;
  SimpleMainQueue queue;
  NoWorkspace workspace;
  std::unique_ptr<AppDelegate> delegate;
  GatedScans gate;
  int released = 0;
  int registrations = 0;
  bool spotlight = false;
};

TEST_F(AppDelegateTest, CollapsesRequestsDuringAScanIntoOneFollowUp) {
  delegate->applicationDidFinishLaunching();
  delegate->scanCatalogue = [this](const AppScanner&) { return gate.scan(); };
  std::vector<std::string> log;
  const LogCapture capture([&](std::string_view line) { log.emplace_back(line); });

  delegate->rescan();
  ASSERT_TRUE(queue.runUntil([&] { return gate.started() == 1; }, 5s));
  delegate->rescan();
  delegate->rescan();
  delegate->rescan();
  gate.release();
  ++released;
  ASSERT_TRUE(queue.runUntil([&] { return gate.started() == 2; }, 5s));
  // The follow-up started only after the first result was installed and logged.
  EXPECT_THAT(log, ElementsAre("Jolstrand: rescan found 1 apps"));
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id1");
  gate.release();
  ++released;
  ASSERT_TRUE(queue.runUntil([&] { return log.size() == 2; }, 5s));
  queue.runUntilCalm(200ms, 2s);
  EXPECT_EQ(gate.started(), 2);
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id2");
}

TEST_F(AppDelegateTest, RegistersAgainOnlyWhenSpotlightLetsGo) {
  spotlight = true;
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(registrations, 1);
  EXPECT_TRUE(delegate->spotlightHolds());
  EXPECT_TRUE(delegate->recheckSpotlight());  // still held
  EXPECT_EQ(registrations, 1);
  spotlight = false;
  EXPECT_FALSE(delegate->recheckSpotlight());  // let go: register again
  EXPECT_EQ(registrations, 2);
  EXPECT_EQ(delegate->hotKeyStatus(), 2);
  EXPECT_FALSE(delegate->recheckSpotlight());  // free twice: nothing more
  spotlight = true;
  EXPECT_TRUE(delegate->recheckSpotlight());  // taken back: left as it is
  EXPECT_EQ(registrations, 2);
}

}  // namespace
}  // namespace jolstrand
