#include "app_delegate.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "fakes.hpp"
#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/simple_main_queue.hpp"
#include "search_panel.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;

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
  /// Lets every scan started so far, and any still to come, finish.
  void releaseAll() {
    const std::lock_guard lock(mutex_);
    released_ = 1 << 20;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int started_ = 0;
  int released_ = 0;
};

// The first scan, at launch, answers at once; later ones go through the gate when it is set.
class FakeCatalogue : public CatalogueSource {
 public:
  explicit FakeCatalogue(GatedScans& gate) : gate_(gate) {}
  std::vector<AppEntry> scan() const override {
    if (!gated) return {AppEntry("id0", "/A/0.app", "App 0")};
    return gate_.scan();
  }
  std::vector<std::string> watchPaths() const override { return {}; }
  std::atomic<bool> gated = false;

 private:
  GatedScans& gate_;
};

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() {
    auto ownCatalogue = std::make_unique<FakeCatalogue>(gate);
    auto ownHotKey = std::make_unique<testing::FakeHotKey>();
    auto ownSpotlight = std::make_unique<testing::FakeSpotlight>();
    catalogue = ownCatalogue.get();
    hotKey = ownHotKey.get();
    spotlight = ownSpotlight.get();
    delegate = std::make_unique<AppDelegate>(AppDelegate::Services{
        .mainQueue = queue,
        .workspace = workspace,
        .screens =
            [] {
              const QRect screen = QGuiApplication::primaryScreen()->geometry();
              return ScreenSnapshot{{}, {}, {screen}, {1, 1}};
            },
        .usageFile = tree.path("data/usage.json"),
        .catalogue = std::move(ownCatalogue),
        .hotKey = std::move(ownHotKey),
        .spotlight = std::move(ownSpotlight),
    });
  }
  ~AppDelegateTest() override {
    gate.releaseAll();  // let any scan still waiting end
    delegate.reset();
  }

  testing::FixtureTree tree;
  SimpleMainQueue queue;
  testing::FakeWorkspace workspace;
  GatedScans gate;
  FakeCatalogue* catalogue = nullptr;
  testing::FakeHotKey* hotKey = nullptr;
  testing::FakeSpotlight* spotlight = nullptr;
  std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, ScansBeforeRegisteringTheHotKey) {
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id0");
  EXPECT_EQ(hotKey->registrations, 1);
  EXPECT_EQ(delegate->hotKeyStatus(), 1);
  EXPECT_FALSE(delegate->spotlightHolds());
}

TEST_F(AppDelegateTest, CollapsesRequestsDuringAScanIntoOneFollowUp) {
  delegate->applicationDidFinishLaunching();
  catalogue->gated = true;
  std::vector<std::string> log;
  const LogCapture capture([&](std::string_view line) { log.emplace_back(line); });

  delegate->rescan();
  ASSERT_TRUE(QTest::qWaitFor([&] { return gate.started() == 1; }));
  delegate->rescan();
  delegate->rescan();
  delegate->rescan();
  gate.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return gate.started() == 2; }));
  // The follow-up started only after the first result was installed and logged.
  EXPECT_THAT(log, ElementsAre("Jolstrand: rescan found 1 apps"));
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id1");
  gate.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() == 2; }));
  QTest::qWait(200);  // time for a wrongful third scan to start
  EXPECT_EQ(gate.started(), 2);
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id2");
}

TEST_F(AppDelegateTest, RegistersAgainOnlyWhenSpotlightLetsGo) {
  spotlight->holds = true;
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(hotKey->registrations, 1);
  EXPECT_TRUE(delegate->spotlightHolds());
  EXPECT_TRUE(delegate->recheckSpotlight());  // still held
  EXPECT_EQ(hotKey->registrations, 1);
  spotlight->holds = false;
  EXPECT_FALSE(delegate->recheckSpotlight());  // let go: register again, once
  EXPECT_EQ(hotKey->registrations, 2);
  EXPECT_EQ(delegate->hotKeyStatus(), 2);
  EXPECT_FALSE(delegate->recheckSpotlight());  // free twice: nothing more
  spotlight->holds = true;
  EXPECT_TRUE(delegate->recheckSpotlight());  // taken back: left as it is
  EXPECT_EQ(hotKey->registrations, 2);
  EXPECT_EQ(delegate->hotKeyStatus(), 2);
}

TEST_F(AppDelegateTest, EachHotKeyPressTogglesThePanel) {
  delegate->applicationDidFinishLaunching();
  const SearchPanel& panel = delegate->search().panel();
  hotKey->press();
  EXPECT_TRUE(panel.isVisible());
  hotKey->press();
  EXPECT_FALSE(panel.isVisible());
  hotKey->press();
  EXPECT_TRUE(panel.isVisible());
  delegate->reopen();  // a second start always shows
  EXPECT_TRUE(panel.isVisible());
}

}  // namespace
}  // namespace jolstrand
