#include "jolstrand/usage_store.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "named_pipe.hpp"
#include "usage_file.hpp"

namespace jolstrand {
namespace {

using testing::contents;

using ::testing::DoubleEq;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::SizeIs;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;
namespace fs = std::filesystem;

constexpr auto day = std::chrono::seconds(86400);
const UsageStore::Date start =
    std::chrono::system_clock::from_time_t(1735732800);  // 2025-01-01 12:00 UTC

// Collects the log lines written while it lives.
struct LogLines {
  std::vector<std::string> lines;
  LogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

TEST(UsageStoreScores, DecayByHalfEveryFourteenDays) {
  testing::FixtureTree tree;
  UsageStore store(tree.path("usage.json"));
  store.recordLaunch("notes", start);
  EXPECT_THAT(store.scores(start), ElementsAre(Pair("notes", DoubleEq(1))));
  store.recordLaunch("notes", start);
  EXPECT_THAT(store.scores(start), ElementsAre(Pair("notes", DoubleEq(2))));
  EXPECT_THAT(store.scores(start + 14 * day), ElementsAre(Pair("notes", DoubleEq(1))));

  store.recordLaunch("mail", start);
  store.recordLaunch("mail", start + 14 * day);
  EXPECT_DOUBLE_EQ(store.scores(start + 14 * day).at("mail"), 1.5);
  store.recordLaunch("once", start);
  EXPECT_DOUBLE_EQ(store.scores(start + 28 * day).at("once"), 0.25);
}

TEST(UsageStoreScores, NeverGrowWhenTheClockIsSetBack) {
  testing::FixtureTree tree;
  UsageStore store(tree.path("usage.json"));
  store.recordLaunch("notes", start);
  store.recordLaunch("notes", start);
  EXPECT_DOUBLE_EQ(store.scores(start - 30 * day).at("notes"), 2);
  store.recordLaunch("notes", start - 30 * day);  // a launch "before" the last one
  EXPECT_DOUBLE_EQ(store.scores(start - 30 * day).at("notes"), 3);
}

TEST(UsageStoreFile, StartsEmptyWithoutAFileAndCreatesItOnTheFirstLaunch) {
  testing::FixtureTree tree;
  const std::string url = tree.path("Data/Jolstrand/usage.json");
  {
    UsageStore store(url);
    EXPECT_THAT(store.scores(start), IsEmpty());
    store.recordLaunch("com.example.notes", start);
  }
  const auto records = detail::decodeUsage(contents(url));
  ASSERT_TRUE(records.has_value());
  EXPECT_DOUBLE_EQ(records->at("com.example.notes").score, 1);
  EXPECT_DOUBLE_EQ(records->at("com.example.notes").updated, UsageStore::referenceSeconds(start));
  EXPECT_DOUBLE_EQ(UsageStore::referenceSeconds(start), 757425600);
}

TEST(UsageStoreFile, ReadsRecordsAndIgnoresTheirExtraMembers) {
  testing::FixtureTree tree;
  const std::string url = tree.file(
      "usage.json", R"({"a":{"score":2,"updated":757425600,"note":{"deep":[1,[2,{"x":null}]]}},)"
                    R"("b":{"updated":757425600.5,"score":0.5,"flag":true,"name":"B"}})");
  UsageStore store(url);
  EXPECT_THAT(store.scores(start),
              UnorderedElementsAre(Pair("a", DoubleEq(2)), Pair("b", DoubleEq(0.5))));
  store.recordLaunch("c", start);
  store.waitForSaves();
  EXPECT_THAT(contents(url), ::testing::Not(HasSubstr("note")));
  EXPECT_FALSE(fs::exists(url + ".unreadable"));
}

TEST(UsageStoreFile, KeepsAnUnusableFileAsideBeforeReplacingIt) {
  const std::string unusable[] = {
      R"([{"score":1,"updated":0}])",
      R"({"a":{"score":1}})",
      R"({"a":{"score":"1","updated":0}})",
      R"({"a":{"score":1,"updated":0},"b":7})",
      R"({"a":{"score":1,"updated":0}} trailing)",
      "{\"a\xFF\":{\"score\":1,\"updated\":0}}",
      R"({"a":{"score":1e999,"updated":0}})",
      std::string(100000, '[') + std::string(100000, ']'),
      "",
  };
  for (const std::string& bytes : unusable) {
    testing::FixtureTree tree;
    const std::string url = tree.file("usage.json", bytes);
    LogLines log;
    {
      UsageStore store(url);
      EXPECT_THAT(store.scores(start), IsEmpty()) << bytes.substr(0, 40);
      store.recordLaunch("new", start);
      store.recordLaunch("new", start);
    }
    EXPECT_EQ(contents(url + ".unreadable"), bytes);
    EXPECT_THAT(detail::decodeUsage(contents(url)).value(), SizeIs(1));
    ASSERT_THAT(log.lines, SizeIs(1));
    EXPECT_THAT(log.lines[0], StartsWith("Jolstrand: "));
  }
}

TEST(UsageStoreFile, KeepsOnlyTheLatestUnusableCopy) {
  testing::FixtureTree tree;
  const std::string url = tree.file("usage.json", "first bad");
  tree.file("usage.json.unreadable", "older bad");
  {
    UsageStore store(url);
    store.recordLaunch("x", start);
  }
  EXPECT_EQ(contents(url + ".unreadable"), "first bad");
}

TEST(UsageStoreFile, LogsEachFailedSaveAndKeepsScoringInMemory) {
  testing::FixtureTree tree;
  tree.file("blocker", "a file where a folder should be");
  LogLines log;
  {
    UsageStore store(tree.path("blocker/Jolstrand/usage.json"));
    store.recordLaunch("a", start);
    store.recordLaunch("a", start);
    store.waitForSaves();
    EXPECT_DOUBLE_EQ(store.scores(start).at("a"), 2);
  }
  ASSERT_THAT(log.lines, SizeIs(2));
  EXPECT_THAT(log.lines[0], StartsWith("Jolstrand: couldn't save usage: "));

  // A folder where no file can be made, even by root.
  if (!fs::exists("/proc/self")) GTEST_SKIP() << "needs /proc";
  LogLines second;
  {
    UsageStore store("/proc/self/usage.json");
    store.recordLaunch("a", start);
  }
  ASSERT_THAT(second.lines, SizeIs(1));
  EXPECT_THAT(second.lines[0], StartsWith("Jolstrand: couldn't save usage: "));
}

TEST(UsageStoreFile, MovesAFolderInTheFilesPlaceAsideLikeAnyUnreadableFile) {
  testing::FixtureTree tree;
  tree.file("usage.json/inside", "kept");
  {
    UsageStore store(tree.path("usage.json"));
    store.recordLaunch("a", start);
  }
  EXPECT_EQ(contents(tree.path("usage.json.unreadable/inside")), "kept");
  EXPECT_TRUE(detail::decodeUsage(contents(tree.path("usage.json"))).has_value());
}

// A named pipe, reached directly or through a link, belongs to whoever reads or writes it: it
// holds no history to keep, and moving or replacing it would break what it serves.
TEST(UsageStoreFile, NeitherWaitsOnNorReplacesANamedPipeInTheFilesPlace) {
  testing::FixtureTree tree;
  const std::string pipe = testing::makeNamedPipe(tree.path("pipe"));
  for (const std::string& url : {pipe, tree.link("linked.json", pipe)}) {
    LogLines log;
    EXPECT_TRUE(testing::finishesWithoutWaitingOn(pipe, [&] {
      UsageStore store(url);
      EXPECT_THAT(store.scores(start), IsEmpty());
      store.recordLaunch("a", start);
      store.waitForSaves();
      EXPECT_DOUBLE_EQ(store.scores(start).at("a"), 1);
    })) << url;
    struct stat info {};
    ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(fs::exists(fs::symlink_status(pipe + ".unreadable")));
    ASSERT_THAT(log.lines, SizeIs(1));
    EXPECT_THAT(log.lines[0], StartsWith("Jolstrand: couldn't save usage: " + pipe));
    EXPECT_THAT(log.lines[0], HasSubstr("not a regular file"));
  }
}

TEST(UsageStoreFile, WritesSavesInOrderAndAllOfThemBeforeItGoes) {
  testing::FixtureTree tree;
  const std::string url = tree.path("usage.json");
  UsageScores expected;
  {
    UsageStore store(url);
    for (int i = 0; i < 300; ++i) store.recordLaunch("app" + std::to_string(i % 7), start);
    expected = store.scores(start);
  }
  EXPECT_EQ(UsageStore(url).scores(start), expected);
}

TEST(UsageStoreFile, StoresAnyIdExactly) {
  testing::FixtureTree tree;
  const std::string url = tree.path("usage.json");
  const std::string ids[] = {"/Applications/Caf\xE9.app",  // Latin-1, not UTF-8
                             std::string("\0lead", 5),     // begins with NUL
                             "/Applications/100%.app",    "/Applications/Café.app",
                             "com.example.\"quoted\"\\",  ""};
  {
    UsageStore store(url);
    for (const std::string& id : ids) store.recordLaunch(id, start);
  }
  const UsageScores scores = UsageStore(url).scores(start);
  EXPECT_THAT(scores, SizeIs(std::size(ids)));
  for (const std::string& id : ids) EXPECT_TRUE(scores.contains(id)) << id;
  EXPECT_THAT(contents(url), HasSubstr("\"/Applications/Café.app\""));  // plain ids stay plain
}

TEST(UsageStoreFile, KeepsPermissionsAndWritesThroughALink) {
  testing::FixtureTree tree;
  const std::string real = tree.file("Elsewhere/real.json", "{}");
  chmod(real.c_str(), 0600);
  const std::string url = tree.link("Data/usage.json", "../Elsewhere/real.json");
  {
    UsageStore store(url);
    store.recordLaunch("a", start);
  }
  EXPECT_TRUE(fs::is_symlink(url));
  EXPECT_THAT(contents(real), HasSubstr("\"a\""));
  struct stat info {};
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600U);
}

TEST(UsageStoreFile, RemovesTemporaryFilesOfWritersThatDied) {
  testing::FixtureTree tree;
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string abandoned =
      tree.file(".usage.json." + std::to_string(dead) + ".tmpAbCdEf", "{");
  const std::string live = tree.file(".usage.json." + std::to_string(getpid()) + ".tmpXyZ123", "{");
  const std::string unrelated = tree.file(".usage.json.notes", "keep");
  UsageStore store(tree.path("usage.json"));
  EXPECT_FALSE(fs::exists(abandoned));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(unrelated));
}

TEST(UsageStoreFile, IsAlwaysCompleteWhenTheWriterIsKilled) {
  testing::FixtureTree tree;
  const std::string url = tree.path("usage.json");
  {
    // A complete file from the start, so that every round checks one, however slowly the
    // children get going.
    UsageStore first(url);
    first.recordLaunch("app0", start);
    first.waitForSaves();
  }
  std::mt19937 random(3);
  for (int round = 0; round < 40; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      UsageStore store(url);
      for (int i = 0;; ++i) store.recordLaunch("app" + std::to_string(i % 50), start);
    }
    usleep(std::uniform_int_distribution(1000, 30000)(random));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(detail::decodeUsage(contents(url)).has_value()) << "round " << round;
  }
}

TEST(UsageStoreDefaultURL, FollowsTheDataHome) {
  EXPECT_EQ(UsageStore::defaultURL("/home/u", "/data"), "/data/Jolstrand/usage.json");
  EXPECT_EQ(UsageStore::defaultURL("/home/u", ""), "/home/u/.local/share/Jolstrand/usage.json");
}

TEST(UsageStoreConcurrency, RecordsFromManyThreadsWithoutLosingALaunch) {
  testing::FixtureTree tree;
  UsageStore store(tree.path("usage.json"));
  std::vector<std::thread> threads;
  threads.reserve(4);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        store.recordLaunch("shared", start);
        (void)store.scores(start);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_DOUBLE_EQ(store.scores(start).at("shared"), 200);
}

}  // namespace
}  // namespace jolstrand
