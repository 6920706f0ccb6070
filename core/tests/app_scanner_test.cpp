#include "jolstrand/app_scanner.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "fixture_tree.hpp"
#include "named_pipe.hpp"

namespace jolstrand {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::FixtureTree;
using testing::Info;
using testing::infoPlist;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::vector<std::string> displayNames(const std::vector<AppEntry>& entries) {
  std::vector<std::string> out;
  out.reserve(entries.size());
  for (const AppEntry& entry : entries) out.push_back(entry.displayName());
  return out;
}

std::vector<std::string> found(const FixtureTree& tree, const std::string& root,
                               std::int64_t depth) {
  std::vector<std::string> out;
  AppScanner({}, {}).walk(tree.path(root), depth, [&](const std::string& path) {
    out.push_back(path.substr(tree.path("").size() + 1));
  });
  std::sort(out.begin(), out.end());
  return out;
}

AppEntry only(const std::vector<AppEntry>& entries) {
  EXPECT_EQ(entries.size(), 1U);
  return entries.at(0);
}

std::vector<AppEntry> scanOne(const FixtureTree& tree, const std::string& root = "R") {
  return AppScanner({{tree.path(root), 3}}, {}).scan();
}

TEST(AppScannerWalk, SearchesEachRootToItsDepth) {
  FixtureTree tree;
  tree.bundle("R/A.app");
  tree.bundle("R/Sub/B.app");
  tree.bundle("R/Sub/Deeper/C.app");
  tree.bundle("R/Sub/Deeper/Deepest/D.app");
  EXPECT_THAT(found(tree, "R", 3), ElementsAre("R/A.app", "R/Sub/B.app", "R/Sub/Deeper/C.app"));
  EXPECT_THAT(found(tree, "R", 2), ElementsAre("R/A.app", "R/Sub/B.app"));
  EXPECT_THAT(found(tree, "R", 1), ElementsAre("R/A.app"));
  EXPECT_THAT(found(tree, "R", 0), IsEmpty());
  EXPECT_THAT(found(tree, "R", -4), IsEmpty());
}

TEST(AppScannerWalk, TakesOnlyDirectoriesNamedLikeApplications) {
  FixtureTree tree;
  tree.bundle("R/Outer.app");
  tree.bundle("R/Outer.app/Contents/Inner.app");  // never looked inside a bundle
  tree.bundle("R/Tool.APP");
  tree.bundle("R/.Hidden.app");
  tree.bundle("R/.hidden/Visible.app");  // a dot folder is not entered
  tree.file("R/Plain.app", "not a bundle");
  tree.bundle("R/NotApp");  // no extension
  tree.bundle("R/Happ");    // ends in the letters, no dot
  tree.bundle("R/Tool.app.bak");
  EXPECT_THAT(found(tree, "R", 3), ElementsAre("R/Outer.app", "R/Tool.APP"));
}

TEST(AppScannerWalk, TakesLinksNamedLikeApplicationsToFoldersButNeverFollowsLinks) {
  FixtureTree tree;
  const std::string target = tree.bundle("Elsewhere/Real.app");
  tree.link("R/Linked.app", target);
  tree.link("R/Dangling.app", tree.path("Nowhere.app"));
  tree.link("R/ToFile.app", tree.file("Elsewhere/file"));
  tree.bundle("Elsewhere/Folder/Inside.app");
  tree.link("R/Folder", tree.path("Elsewhere/Folder"));  // an ordinary folder: not followed
  tree.link("R/Loop", tree.path("R"));                   // a cycle: not followed either
  tree.link("R/Self.app", tree.path("R/Self.app"));      // a link to itself
  EXPECT_THAT(found(tree, "R", 3), ElementsAre("R/Linked.app"));
}

TEST(AppScannerScan, RanksCountSkippedRootsAndExtrasComeLast) {
  FixtureTree tree;
  tree.bundle("One/Same.app", {.identifier = "com.example.same"});
  tree.bundle("Three/Same.app", {.identifier = "com.example.same"});
  tree.bundle("Three/Other.app", {.identifier = "com.example.other"});
  tree.bundle("Extra/Other.app", {.identifier = "com.example.other"});
  const AppScanner scanner({{tree.path("Zero"), 0},
                            {tree.path("Missing"), 3},
                            {tree.path("Three"), 3},
                            {tree.path("One"), -1}},
                           {tree.path("Extra/Other.app")});
  const auto entries = scanner.scan();
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].path(), tree.path("Three/Other.app"));  // rank 2 beats the extra's 4
  EXPECT_EQ(entries[1].path(), tree.path("Three/Same.app"));   // root One is skipped
  EXPECT_EQ(entries[1].id(), "com.example.same");
}

TEST(AppScannerScan, FindsABundleOnceWhateverTheWayToIt) {
  FixtureTree tree;
  const std::string real = tree.bundle("R/Real.app", {.identifier = "com.example.real"});
  tree.link("R/Alias.app", real);
  tree.bundle("Hidden/Bg.app", {.backgroundOnly = true});
  tree.link("R/BgLink.app", tree.path("Hidden/Bg.app"));
  const AppScanner scanner({{tree.path("R"), 3}},
                           {real, tree.path("Hidden/Bg.app"), tree.path("Nope.app")});
  const auto entries = scanner.scan();
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].id(), "com.example.real");
}

TEST(AppScannerScan, ReadsInfoPlistThroughLinksButKeepsTheFoundPath) {
  FixtureTree tree;
  const std::string target = tree.bundle(
      "Store/Real.app", {.identifier = "com.example.real", .name = "Real Name", .binary = true});
  const std::string link = tree.link("R/Shown.app", target);
  const AppEntry entry = only(scanOne(tree));
  EXPECT_EQ(entry.path(), link);
  EXPECT_EQ(entry.displayName(), "Shown");
  EXPECT_EQ(entry.id(), "com.example.real");
  EXPECT_EQ(entry.names().size(), 2U);
}

TEST(AppScannerScan, TakesAnExtraApplicationWithoutAskingWhatItIs) {
  FixtureTree tree;
  const std::string extra = tree.file("Core/Finder.app", "a plain file");
  const auto entries = AppScanner({}, {extra}).scan();
  EXPECT_EQ(only(entries).path(), extra);
  EXPECT_EQ(entries[0].id(), extra);  // no Info.plist: the path is the id
}

TEST(AppScannerEntry, LeavesOutBackgroundOnlyApplications) {
  FixtureTree tree;
  tree.bundle("R/True.app", {.backgroundOnly = true});
  tree.bundle("R/One.app", {.backgroundOnly = 1L});
  tree.bundle("R/BinaryTrue.app", {.backgroundOnly = true, .binary = true});
  tree.bundle("R/False.app", {.backgroundOnly = false});
  tree.bundle("R/Zero.app", {.backgroundOnly = 0L});
  tree.bundle("R/Two.app", {.backgroundOnly = 2L});
  tree.bundle("R/Text.app", {.backgroundOnly = std::string("true")});
  EXPECT_THAT(displayNames(scanOne(tree)), ElementsAre("False", "Text", "Two", "Zero"));
}

TEST(AppScannerEntry, DerivesIdAndNamesFromTheInfoPlist) {
  FixtureTree tree;
  const auto entryFor = [&](const std::string& name, const Info& info) {
    const std::string path = tree.bundle(name, info);
    return *AppScanner::entry(path, path);
  };
  const AppEntry upper = entryFor("A/Mail.app", {.identifier = "Com.Example.MAIL"});
  EXPECT_EQ(upper.id(), "com.example.mail");
  const AppEntry empty = entryFor("B/Mail.app", {.identifier = ""});
  EXPECT_EQ(empty.id(), tree.path("B/Mail.app"));
  const AppEntry bare =
      AppScanner::entry(tree.folder("C/Bare.APP"), tree.path("C/Bare.APP")).value();
  EXPECT_EQ(bare.id(), tree.path("C/Bare.APP"));
  EXPECT_EQ(bare.displayName(), "Bare");
  EXPECT_EQ(bare.names().size(), 1U);

  const AppEntry named =
      entryFor("D/Notes.app", {.displayName = "", .name = "Notes"});  // both add nothing
  EXPECT_EQ(named.names().size(), 1U);
  const AppEntry others =
      entryFor("E/VSCode.app", {.displayName = "Visual Studio Code", .name = "Code"});
  ASSERT_EQ(others.names().size(), 3U);
  EXPECT_EQ(toUtf8(others.names()[1].folded), "visual studio code");
  EXPECT_EQ(toUtf8(others.names()[2].folded), "code");
  const AppEntry wrongTypes =
      AppScanner::entry(tree.bundleWithPlist("F/Odd.app",
                                             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                             "<key>CFBundleIdentifier</key><integer>7</integer>"
                                             "<key>CFBundleName</key><array/></dict></plist>"),
                        tree.path("F/Odd.app"))
          .value();
  EXPECT_EQ(wrongTypes.id(), tree.path("F/Odd.app"));
  EXPECT_EQ(wrongTypes.names().size(), 1U);
}

TEST(AppScannerEntry, ReadsMalformedInfoPlistsAsEmpty) {
  FixtureTree tree;
  const std::string good = infoPlist({.identifier = "com.example.x", .name = "X Name"});
  const std::string binary = infoPlist({.identifier = "com.example.x", .binary = true});
  const std::string cases[] = {
      good.substr(0, good.size() / 2),
      binary.substr(0, binary.size() - 9),
      std::string("bplist00\xff\xff\xff\xff\xff\xff\xff\xff", 16),
      std::string(4096, '\xA7'),
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>",
      "<plist><string>com.example</string></plist>",
      "",
      std::string(1 << 21, ' ') + good,  // over the size limit
  };
  int index = 0;
  for (const std::string& bytes : cases) {
    const std::string path =
        tree.bundleWithPlist("M" + std::to_string(index++) + "/Odd.app", bytes);
    const auto entry = AppScanner::entry(path, path);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->id(), path);
    EXPECT_EQ(entry->names().size(), 1U);
  }
}

TEST(AppScannerScan, TakesANamedPipeForAnInfoPlistAsNoInfoPlistWithoutWaitingOnIt) {
  FixtureTree tree;
  tree.bundle("R/Good.app", {.identifier = "com.example.good"});
  tree.folder("R/Piped.app/Contents");
  const std::string pipe = testing::makeNamedPipe(tree.path("R/Piped.app/Contents/Info.plist"));
  std::vector<AppEntry> entries;
  EXPECT_TRUE(testing::finishesWithoutWaitingOn(pipe, [&] { entries = scanOne(tree); }));
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].id(), "com.example.good");
  EXPECT_EQ(entries[1].id(), tree.path("R/Piped.app"));
  EXPECT_EQ(entries[1].displayName(), "Piped");
}

TEST(AppScannerEntry, StripsTheApplicationExtensionFromDisplayNamesInAnyCase) {
  FixtureTree tree;
  tree.bundle("R/Lower.app");
  tree.bundle("R/Upper.APP");
  tree.bundle("R/Mixed.aPp");
  tree.bundle("R/Twice.app.app");
  EXPECT_THAT(displayNames(scanOne(tree)), ElementsAre("Lower", "Mixed", "Twice.app", "Upper"));
}

TEST(AppScannerScan, KeepsTheExactBytesOfNamesThatAreNotUtf8) {
  FixtureTree tree;
  const std::string path = tree.bundle("R/Caf\xE9.app");  // Latin-1 é
  const AppEntry entry = only(scanOne(tree));
  EXPECT_EQ(entry.path(), path);
  EXPECT_TRUE(std::filesystem::exists(entry.path()));
  EXPECT_EQ(entry.displayName(), "Caf\xEF\xBF\xBD");
  EXPECT_EQ(entry.id(), path);
}

TEST(AppScannerScan, CopesWithLargeFolders) {
  FixtureTree tree;
  for (int i = 0; i < 20000; ++i) tree.folder("R/Big/f" + std::to_string(i));
  tree.bundle("R/Big/Needle.app");
  EXPECT_THAT(displayNames(scanOne(tree)), ElementsAre("Needle"));
}

TEST(AppScannerScan, OrdersByDisplayNameAsFileListsDo) {
  FixtureTree tree;
  tree.bundle("R/Tool 10.app");
  tree.bundle("R/tool 9.app");
  tree.bundle("R/Tool 2.app");
  tree.bundle("R/alpha.app");
  tree.bundle("R/Zulu.app");
  EXPECT_THAT(displayNames(scanOne(tree)),
              ElementsAre("alpha", "Tool 2", "tool 9", "Tool 10", "Zulu"));
}

TEST(AppScannerScan, SurvivesFoldersVanishingDuringTheScan) {
  FixtureTree tree;
  tree.bundle("R/Stable.app");
  std::atomic<bool> done = false;
  std::thread churn([&] {
    for (int i = 0; !done; ++i) {
      std::error_code ignored;
      std::filesystem::create_directories(tree.path("R/Churn/Sub/X.app/Contents"), ignored);
      std::filesystem::remove_all(tree.path("R/Churn"), ignored);
    }
  });
  for (int i = 0; i < 200; ++i) {
    EXPECT_THAT(displayNames(scanOne(tree)), Contains("Stable"));
  }
  done = true;
  churn.join();
}

// Root reads every folder whatever its permissions, so the unreadable folder is scanned by a
// child process that gives up root first.
TEST(AppScannerScan, SkipsFoldersItMayNotRead) {
  FixtureTree tree;
  tree.bundle("R/Open.app");
  tree.bundle("R/Locked/Secret.app");
  chmod(tree.path("R/Locked").c_str(), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    const auto names = displayNames(scanOne(tree));
    _exit(names == std::vector<std::string>{"Open"} ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(AppScannerWatchPaths, WatchesExistingRootsButNotTheSystemFolder) {
  FixtureTree tree;
  tree.folder("Applications");
  tree.folder("System/Applications");
  tree.folder("Home/Applications");
  const AppScanner scanner = AppScanner::standard(
      tree.path("Home"), tree.path(""),
      {.dataHome = "", .dataDirs = tree.path("share"), .currentDesktops = "", .searchPath = ""});
  ASSERT_EQ(scanner.roots.size(), 3U);
  EXPECT_EQ(scanner.roots[0].path, tree.path("Applications"));
  EXPECT_EQ(scanner.roots[1].depth, 2);
  EXPECT_EQ(scanner.roots[2].path, tree.path("Home/Applications"));
  EXPECT_THAT(scanner.extraApps, ElementsAre(tree.path("System/Library/CoreServices/Finder.app")));
  EXPECT_THAT(scanner.watchPaths(),
              ElementsAre(tree.path("Applications"), tree.path("Home/Applications")));
  std::filesystem::remove(tree.path("Home/Applications"));
  EXPECT_THAT(scanner.watchPaths(), ElementsAre(tree.path("Applications")));
#if !defined(__APPLE__)
  // Desktop entry folders are watched too, each once it exists.
  EXPECT_THAT(scanner.desktopEntryFolders, ElementsAre(tree.path("Home/.local/share/applications"),
                                                       tree.path("share/applications")));
  tree.folder("share/applications");
  EXPECT_THAT(scanner.watchPaths(),
              ElementsAre(tree.path("Applications"), tree.path("share/applications")));
#endif
}

AppScanner::Collected pair(const std::string& id, const std::string& path, const std::string& name,
                           std::int64_t rank) {
  return {AppEntry(id, path, name), rank};
}

std::vector<std::string> pathsOf(const std::vector<AppEntry>& entries) {
  std::vector<std::string> out;
  out.reserve(entries.size());
  for (const AppEntry& entry : entries) out.push_back(entry.path());
  return out;
}

TEST(AppScannerDedupe, PrefersTheEarliestRootThenTheShortestThenTheFirstPath) {
  EXPECT_THAT(pathsOf(AppScanner::dedupe(
                  {pair("x", "/User/X.app", "X", 2), pair("x", "/Local/Deep/X.app", "X", 0)})),
              ElementsAre("/Local/Deep/X.app"));
  EXPECT_THAT(pathsOf(AppScanner::dedupe(
                  {pair("x", "/R/Old/Tool.app", "Tool", 0), pair("x", "/R/Tool.app", "Tool", 0)})),
              ElementsAre("/R/Tool.app"));
  // Lengths count characters: é written with a combining mark is one.
  EXPECT_THAT(pathsOf(AppScanner::dedupe(
                  {pair("x", "/R/abcd/T.app", "T", 0), pair("x", "/R/ce\xCC\x81/T.app", "T", 0)})),
              ElementsAre("/R/ce\xCC\x81/T.app"));
  for (const bool reversed : {false, true}) {
    std::vector<AppScanner::Collected> pairs{pair("x", "/R/B/Tool.app", "Tool", 1),
                                             pair("x", "/R/A/Tool.app", "Tool", 1)};
    if (reversed) std::swap(pairs[0], pairs[1]);
    EXPECT_THAT(pathsOf(AppScanner::dedupe(pairs)), ElementsAre("/R/A/Tool.app"));
  }
}

TEST(AppScannerDedupe, MergesNamesThatFoldAlikeAndKeepsTheSurvivorsId) {
  const auto entries = AppScanner::dedupe({pair("com.x", "/L/Cafe.app", "Café", 0),
                                           pair("com.x", "/U/CAFE.app", "CAFE", 2),
                                           pair("com.x", "/U/W.app", "Ｃafe", 2)});
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].id(), "com.x");
  EXPECT_EQ(entries[0].path(), "/L/Cafe.app");
}

TEST(AppScannerDedupe, GivesEveryCopyThatSharesAnIdItsPath) {
  const auto entries =
      AppScanner::dedupe({pair("com.example.tool", "/A/Tool.app", "Tool", 0),
                          pair("com.example.tool", "/A/Tool Copy.app", "Tool Copy", 0),
                          pair("com.example.other", "/A/Other.app", "Other", 0)});
  std::vector<std::string> ids;
  ids.reserve(entries.size());
  for (const AppEntry& entry : entries) ids.push_back(entry.id());
  EXPECT_THAT(ids, UnorderedElementsAre("com.example.tool /A/Tool.app",
                                        "com.example.tool /A/Tool Copy.app", "com.example.other"));
}

TEST(AppScannerDedupe, NeverMergesEntriesWithoutIdentifier) {
  const auto entries = AppScanner::dedupe({pair("/A/Tool.app", "/A/Tool.app", "Tool", 0),
                                           pair("/B/Tool.app", "/B/Tool.app", "Tool", 0)});
  EXPECT_THAT(pathsOf(entries), UnorderedElementsAre("/A/Tool.app", "/B/Tool.app"));
  EXPECT_EQ(entries[0].id(), entries[0].path());
  EXPECT_THAT(AppScanner::dedupe({}), IsEmpty());
  const auto single = AppScanner::dedupe({pair("x", "/A/X.app", "X", 5)});
  EXPECT_EQ(single, std::vector{AppEntry("x", "/A/X.app", "X")});
}

}  // namespace
}  // namespace jolstrand
