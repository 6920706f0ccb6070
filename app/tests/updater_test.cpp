// The updater's decisions: whether a build may update, what it logs, and when the version of a
// waiting update is kept and forgotten, over an engine that the test drives.

#include "updater.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes.hpp"
#include "jolstrand/log.hpp"
#include "program_info.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto Feed = "https://updates.example.org/jolstrand/appcast.xml";
constexpr auto Key = "o3mbIEOcRAFsWmA1pH6xlqfdZ/3aV4t7hj8xFIZ8BWA=";

std::string infoPlist(const std::string& feedValue, const std::string& keyValue) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
         "<key>JolstrandUpdateFeed</key>" +
         feedValue + "<key>SUPublicEDKey</key>" + keyValue + "</dict></plist>";
}

std::string text(const std::string& value) {
  return "<string>" + value + "</string>";
}

class UpdaterTest : public ::testing::Test {
 protected:
  void make(const std::string& feedValue = text(Feed), const std::string& keyValue = text(Key)) {
    const ProgramInfo info(infoPlist(feedValue, keyValue));
    updater = std::make_unique<Updater>(
        info,
        [this](UpdateEngineEvents& events) {
          auto made = std::make_unique<testing::FakeUpdateEngine>(events);
          engine = made.get();
          return made;
        },
        [this] {
          activations.push_back({.waiting = updater->waiting(), .checksBefore = engine->checks});
        });
  }
  UpdateEngineEvents& events() { return engine->events; }

  struct Activation {
    std::optional<std::string> waiting;
    int checksBefore = 0;
  };
  std::vector<std::string> log;
  const LogCapture capture{[this](std::string_view line) { log.emplace_back(line); }};
  std::unique_ptr<Updater> updater;
  testing::FakeUpdateEngine* engine = nullptr;
  std::vector<Activation> activations;
};

TEST_F(UpdaterTest, StartsTheEngineForAnHttpsFeedWithAKey) {
  make();
  EXPECT_EQ(updater->feedURL(), Feed);
  EXPECT_EQ(engine->events.feedURLString(), Feed);
  EXPECT_FALSE(updater->isOn());
  updater->start();
  EXPECT_TRUE(updater->isOn());
  EXPECT_EQ(engine->starts, 1);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(UpdaterTest, NeverStartsWithoutAnHttpsFeedAndANonEmptyKey) {
  const std::vector<std::pair<std::string, std::string>> unusable = {
      {text("http://updates.example.org/appcast.xml"), text(Key)},
      {text("HTTPS://updates.example.org/appcast.xml"), text(Key)},
      {text(" https://updates.example.org/appcast.xml"), text(Key)},
      {text(Feed), text("")},
      {text(Feed), "<integer>7</integer>"},
      {"<integer>443</integer>", text(Key)},
      {"<dict/>", text(Key)},
      {text(""), text(Key)},
  };
  for (const auto& [feed, key] : unusable) {
    SCOPED_TRACE(feed + " " + key);
    log.clear();
    make(feed, key);
    ASSERT_NE(engine, nullptr) << "the engine exists even without a feed";
    EXPECT_EQ(updater->feedURL(), std::nullopt);
    EXPECT_EQ(engine->events.feedURLString(), std::nullopt);
    updater->start();
    EXPECT_FALSE(updater->isOn());
    EXPECT_EQ(engine->starts, 0);
    EXPECT_THAT(
        log,
        ElementsAre("Jolstrand: this build has no update feed, so it won't check for updates"));
  }
}

TEST_F(UpdaterTest, StaysOffWhenTheEngineRefusesToStart) {
  make();
  engine->startFailure = "the installation folder is not writable";
  updater->start();
  EXPECT_FALSE(updater->isOn());
  EXPECT_THAT(log, ElementsAre("Jolstrand: couldn't start checking for updates: the installation "
                               "folder is not writable"));
}

TEST_F(UpdaterTest, KeepsAScheduledUpdateItLeavesToTheProgramUntilTheUserActs) {
  make();
  updater->start();
  EXPECT_TRUE(events().supportsGentleScheduledUpdateReminders());
  EXPECT_FALSE(events().shouldHandleShowingScheduledUpdate(false));
  EXPECT_TRUE(events().shouldHandleShowingScheduledUpdate(true));

  events().willHandleShowingUpdate(false, "2.1");
  EXPECT_EQ(updater->waiting(), "2.1");
  EXPECT_THAT(log, ElementsAre("Jolstrand: 2.1 is available"));
  EXPECT_THAT(activations, IsEmpty());

  // The menu's install entry: the version is forgotten, then the program comes forward, then the
  // engine checks.
  updater->checkForUpdates();
  EXPECT_EQ(updater->waiting(), std::nullopt);
  ASSERT_EQ(activations.size(), 1U);
  EXPECT_EQ(activations[0].waiting, std::nullopt);
  EXPECT_EQ(activations[0].checksBefore, 0);
  EXPECT_EQ(engine->checks, 1);
}

TEST_F(UpdaterTest, AnUpdateTheEngineShowsItselfActivatesAndLeavesTheWaitingVersion) {
  make();
  updater->start();
  events().willHandleShowingUpdate(false, "2.1");
  log.clear();
  events().willHandleShowingUpdate(true, "2.2");
  EXPECT_EQ(updater->waiting(), "2.1");
  EXPECT_EQ(activations.size(), 1U);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(UpdaterTest, ForgetsTheWaitingVersionWhenTheUserAttendsOrTheSessionEnds) {
  make();
  updater->start();
  events().willHandleShowingUpdate(false, "2.1");
  events().didReceiveUserAttentionForUpdate();
  EXPECT_EQ(updater->waiting(), std::nullopt);

  events().willHandleShowingUpdate(false, "2.1");
  events().willFinishUpdateSession();
  EXPECT_EQ(updater->waiting(), std::nullopt);
}

TEST_F(UpdaterTest, InstallsADownloadedUpdateAtOnceEveryTime) {
  make();
  updater->start();
  int installs = 0;
  EXPECT_TRUE(events().willInstallUpdateOnQuit("2.1", [&] { ++installs; }));
  EXPECT_TRUE(events().willInstallUpdateOnQuit("2.1", [&] { ++installs; }));
  EXPECT_EQ(installs, 2);
  EXPECT_THAT(log, ElementsAre("Jolstrand: installing 2.1", "Jolstrand: installing 2.1"));
}

TEST_F(UpdaterTest, LogsAnAbortedUpdateAndChangesNothing) {
  make();
  updater->start();
  events().willHandleShowingUpdate(false, "2.1");
  log.clear();
  events().didAbortWithError("the archive's signature does not verify");
  EXPECT_THAT(log,
              ElementsAre("Jolstrand: update stopped: the archive's signature does not verify"));
  EXPECT_EQ(updater->waiting(), "2.1");
  EXPECT_TRUE(updater->isOn());
}

TEST_F(UpdaterTest, TheAutomaticDownloadSettingIsTheEngines) {
  make();
  updater->controller().setAutomaticallyDownloadsUpdates(true);
  EXPECT_TRUE(engine->automaticDownloads);
  EXPECT_TRUE(updater->controller().automaticallyDownloadsUpdates());
}

}  // namespace
}  // namespace jolstrand
