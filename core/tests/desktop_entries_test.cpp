// Desktop entries in the catalogue, read from fixture applications/ folders.

#include "desktop_entries.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fixture_tree.hpp"
#include "jolstrand/app_scanner.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/folder_watcher.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/simple_main_queue.hpp"
#include "scoped_variable.hpp"
#include "without_privilege.hpp"

namespace jolstrand {
namespace {

using detail::desktopEntryFolders;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string entryText(const std::string& body) {
  return "[Desktop Entry]\nType=Application\n" + body;
}

std::vector<std::string> folded(const AppEntry& entry) {
  std::vector<std::string> out;
  for (const SearchName& name : entry.names()) out.push_back(toUtf8(name.folded));
  return out;
}

std::vector<std::string> ids(const std::vector<AppEntry>& entries) {
  std::vector<std::string> out;
  for (const AppEntry& entry : entries) out.push_back(entry.id());
  return out;
}

TEST(DesktopEntryFolders, FollowTheDataHomeThenTheDataFolders) {
  EXPECT_THAT(desktopEntryFolders(nullptr, nullptr, "/home/ada"),
              ElementsAre("/home/ada/.local/share/applications", "/usr/local/share/applications",
                          "/usr/share/applications"));
  EXPECT_THAT(desktopEntryFolders("/data/", "/a:/b/:/a", "/home/ada"),
              ElementsAre("/data/applications", "/a/applications", "/b/applications"));
  // Relative and empty values are ignored; without a home there is no data home.
  EXPECT_THAT(desktopEntryFolders("rel", "::rel:/x", nullptr), ElementsAre("/x/applications"));
  EXPECT_THAT(desktopEntryFolders("", "", ""),
              ElementsAre("/usr/local/share/applications", "/usr/share/applications"));
  EXPECT_THAT(desktopEntryFolders(nullptr, "/", nullptr), ElementsAre("/applications"));
}

class DesktopEntries : public ::testing::Test {
 protected:
  std::string entry(const std::string& relative, const std::string& body) {
    return tree.file(relative, entryText(body));
  }
  std::vector<AppEntry> scan() const {
    AppScanner scanner({}, {}, {tree.path("home/applications"), tree.path("system/applications")});
    scanner.currentDesktops = "Lab:Bench";
    return scanner.scan();
  }
  // Scans, keeping the lines it logs in `logged`.
  std::vector<AppEntry> scanLogging() {
    const LogCapture capture([&](std::string_view line) { logged.emplace_back(line); });
    return scan();
  }

  testing::FixtureTree tree;
  std::vector<std::string> logged;
};

TEST_F(DesktopEntries, EarlierFoldersHideTheSameIdAndSubfoldersPrefixIt) {
  entry("home/applications/editor.desktop", "Name=Home Editor\nExec=sh\n");
  entry("system/applications/editor.desktop", "Name=System Editor\nExec=sh\n");
  entry("system/applications/kde/viewer.desktop", "Name=Viewer\nExec=sh\n");
  entry("system/applications/kde-viewer.desktop", "Name=Flat Viewer\nExec=sh\n");
  // As GLib's menu: a name with a leading dot counts; a folder named like an entry is not
  // searched and yields nothing, but hides its id later.
  entry("system/applications/.hidden.desktop", "Name=Dot\nExec=sh\n");
  entry("home/applications/player.desktop/inner.desktop", "Name=Inner\nExec=sh\n");
  entry("system/applications/player.desktop", "Name=Player\nExec=sh\n");
  tree.file("system/applications/notes.txt", "Name=Not an entry");
  // Hidden in the first folder still hides the id later: that is how a user removes one.
  tree.file("home/applications/calc.desktop", "[Desktop Entry]\nHidden=true\n");
  entry("system/applications/calc.desktop", "Name=Calc\nExec=sh\n");

  const auto entries = scanLogging();
  // A hiding file without a Name is not malformed; the folder is.
  EXPECT_THAT(logged, ElementsAre(HasSubstr("skipped 1 malformed desktop entries, the first " +
                                            tree.path("home/applications/player.desktop") +
                                            " is not a regular file")));
  ASSERT_THAT(ids(entries), ElementsAre(".hidden.desktop", "editor.desktop", "kde-viewer.desktop"));
  EXPECT_EQ(entries[1].displayName(), "Home Editor");
  EXPECT_EQ(entries[1].path(), tree.path("home/applications/editor.desktop"));
  // kde/viewer.desktop and kde-viewer.desktop share an id; names are taken in byte order, and
  // the folder "kde" comes before "kde-viewer.desktop".
  EXPECT_EQ(entries[2].path(), tree.path("system/applications/kde/viewer.desktop"));
}

TEST_F(DesktopEntries, ShowsWhatTheMenuShows) {
  entry("home/applications/shown.desktop", "Name=Shown\nExec=sh\n");
  entry("home/applications/nodisplay.desktop", "Name=NoDisplay\nExec=sh\nNoDisplay=true\n");
  entry("home/applications/hidden.desktop", "Name=Hidden\nExec=sh\nHidden=true\n");
  entry("home/applications/only-here.desktop", "Name=Only Here\nExec=sh\nOnlyShowIn=Bench;\n");
  entry("home/applications/only-elsewhere.desktop", "Name=Elsewhere\nExec=sh\nOnlyShowIn=KDE;\n");
  entry("home/applications/not-here.desktop", "Name=Not Here\nExec=sh\nNotShowIn=Lab;\n");
  // The first current desktop named decides: Lab comes before Bench.
  entry("home/applications/both.desktop",
        "Name=Both\nExec=sh\nOnlyShowIn=Bench;\nNotShowIn=Lab;\n");
  entry("home/applications/tryexec.desktop", "Name=Try Found\nExec=sh\nTryExec=sh\n");
  entry("home/applications/tryexec-missing.desktop",
        "Name=Try Missing\nExec=sh\nTryExec=/nonexistent/tool\n");
  entry("home/applications/exec-missing.desktop", "Name=Exec Missing\nExec=/nonexistent/tool\n");
  tree.file("home/applications/link.desktop",
            "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.com\n");
  EXPECT_THAT(ids(scan()), ElementsAre("only-here.desktop", "shown.desktop", "tryexec.desktop"));
}

TEST_F(DesktopEntries, FindsEveryNameOfAnEntry) {
  entry("home/applications/org.example.Files.desktop",
        "Name=Files\nGenericName=File Manager\nKeywords=folder;explorer;\n"
        "Exec=/bin/sh --new-window %U\n");
  entry("home/applications/bus.desktop", "Name=Bus Only\nDBusActivatable=true\n");
  const auto entries = scan();
  ASSERT_THAT(ids(entries), ElementsAre("bus.desktop", "org.example.Files.desktop"));
  EXPECT_THAT(folded(entries[0]), ElementsAre("bus only"));
  EXPECT_THAT(folded(entries[1]), ElementsAre("files", "file manager", "folder", "explorer", "sh"));
}

std::vector<std::pair<std::string, NameKind>> kinds(const AppEntry& entry) {
  std::vector<std::pair<std::string, NameKind>> out;
  for (const SearchName& name : entry.names()) out.emplace_back(toUtf8(name.folded), name.kind);
  return out;
}

TEST_F(DesktopEntries, KnowsEachNamesKindInTheUsersLanguage) {
  using enum NameKind;
  const testing::ScopedVariable language("LANGUAGE", "fr:de");
  // Empty translations fall back (fr to de, de to the untranslated value); list items lose
  // their white space, the French no-break spaces included.
  entry("home/applications/org.example.Term.desktop",
        "Name=Term\nName[fr]=\nName[de]=Terminal\nX-GNOME-FullName=Term Emulator\n"
        "GenericName=Console\nGenericName[fr]=\nKeywords=shell;\n"
        "Keywords[fr]=terminal\u00a0; ligne\u202fde commande\u202f;  ; term ;\n"
        "Exec=env A=1 sh -c 'exec term'\nOnlyShowIn=Bench;\n");
  // A keyword that is also the program's name is a name.
  entry("home/applications/tool.desktop", "Name=Tool\nKeywords=tool;maker;\nExec=maker\n");
  tree.program("bin/maker", "#!/bin/sh\n");
  AppScanner scanner({}, {}, {tree.path("home/applications")});
  scanner.currentDesktops = "Lab:Bench";
  scanner.searchPath = tree.path("bin") + ":/usr/bin:/bin";
  const auto entries = scanner.scan();
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].displayName(), "Terminal");
  EXPECT_THAT(kinds(entries[0]),
              ElementsAre(std::pair("terminal", name), std::pair("term", name),
                          std::pair("term emulator", name), std::pair("console", genericName),
                          std::pair("ligne\u202fde commande", keyword)));
  EXPECT_TRUE(entries[0].madeForCurrentDesktop());
  EXPECT_THAT(kinds(entries[1]), ElementsAre(std::pair("tool", name), std::pair("maker", name)));
  EXPECT_FALSE(entries[1].madeForCurrentDesktop());
}

// A search folder that may be searched but not listed (mode 0711) still holds its programs.
TEST_F(DesktopEntries, FindProgramsInFoldersThatCannotBeListed) {
  tree.program("tools/bin/secret-tool", "#!/bin/sh\n");
  entry("tools/applications/secret.desktop", "Name=Secret\nExec=secret-tool\n");
  std::filesystem::permissions(tree.path("tools/bin"), std::filesystem::perms::owner_write |
                                                           std::filesystem::perms::owner_exec |
                                                           std::filesystem::perms::group_exec |
                                                           std::filesystem::perms::others_exec);
  const std::string answer = testing::answerWithoutPrivilege(tree.path("tools"), [&] {
    AppScanner scanner({}, {}, {tree.path("tools/applications")});
    scanner.searchPath = tree.path("tools/bin");
    std::string names;
    for (const AppEntry& found : scanner.scan()) names += found.displayName();
    return names;
  });
  EXPECT_EQ(answer, "Secret");
}

TEST_F(DesktopEntries, ReadsLatin1AndSkipsMalformedFilesWithOneLogLine) {
  entry("home/applications/cafe.desktop", "Name=Caf\xe9 Cr\xe8me\nExec=sh\n");
  tree.file("home/applications/broken.desktop", "this is not a key file\n");
  tree.file("home/applications/nogroup.desktop", "[Something Else]\nName=X\n");
  entry("home/applications/noname.desktop", "Exec=sh\n");
  const auto entries = scanLogging();
  ASSERT_THAT(ids(entries), ElementsAre("cafe.desktop"));
  EXPECT_EQ(entries[0].displayName(), "Café Crème");
  ASSERT_EQ(logged.size(), 1U);
  EXPECT_THAT(logged[0], HasSubstr("Jolstrand: skipped 3 malformed desktop entries, the first " +
                                   tree.path("home/applications/broken.desktop")));
}

TEST_F(DesktopEntries, LookProgramsUpInTheScannersSearchPathNotTheProcesss) {
  tree.program("bin/own-tool", "#!/bin/sh\n");
  entry("home/applications/own.desktop", "Name=Own\nExec=own-tool --flag\n");
  EXPECT_THAT(scan(), ::testing::IsEmpty());  // the usual folders do not hold it
  AppScanner scanner({}, {}, {tree.path("home/applications")});
  scanner.searchPath = "/nonexistent:" + tree.path("bin");
  const auto entries = scanner.scan();
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].displayName(), "Own");
}

TEST_F(DesktopEntries, NeverMergeWithABundleOfTheSameIdAndName) {
  tree.bundle("Apps/Tool.app", {.identifier = "tool.desktop", .displayName = "Tool"});
  entry("home/applications/tool.desktop", "Name=Tool\nExec=sh\n");
  const auto entries =
      AppScanner({{tree.path("Apps"), 1}}, {}, {tree.path("home/applications")}).scan();
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_NE(entries[0].id(), entries[1].id());
  EXPECT_THAT(entries[0].id() + entries[1].id(), HasSubstr("tool.desktop " + tree.path("Apps")));
}

TEST_F(DesktopEntries, WatchesTheFoldersThatExist) {
  tree.folder("home/applications");
  EXPECT_THAT(AppScanner({}, {}, {tree.path("home/applications"), tree.path("system/applications")})
                  .watchPaths(),
              ElementsAre(tree.path("home/applications")));
}

TEST_F(DesktopEntries, ARescanAfterTheWatcherSignalsSeesNewAndRemovedEntries) {
  const std::string old = entry("home/applications/old.desktop", "Name=Old\nExec=sh\n");
  const AppScanner scanner({}, {}, {tree.path("home/applications")});
  SimpleMainQueue queue;
  int signals = 0;
  FolderWatcher watcher(queue, scanner.watchPaths(), 0.2, [&] { ++signals; });
  watcher.waitUntilWatching();
  EXPECT_THAT(ids(scanner.scan()), ElementsAre("old.desktop"));

  entry("home/applications/sub/new.desktop", "Name=New\nExec=sh\n");
  std::filesystem::remove(old);
  ASSERT_TRUE(queue.runUntil([&] { return signals > 0; }, std::chrono::seconds(20)));
  EXPECT_THAT(ids(scanner.scan()), ElementsAre("sub-new.desktop"));
}

std::vector<std::string> launchArguments(const std::string& path) {
  const auto launch = readDesktopLaunch(path);
  if (const auto* error = std::get_if<std::string>(&launch)) {
    ADD_FAILURE() << *error;
    return {};
  }
  return std::get<DesktopLaunch>(launch).arguments;
}

TEST_F(DesktopEntries, ExpandsTheFieldCodesOfALaunchWithoutFiles) {
  const std::string quoting =
      entry("home/applications/quoting.desktop",
            "Name=Quoting\nIcon=tool icon\nExec=\"/opt/my tool/run\" --name=%c %i %f %F %u %U "
            "--file %k \"a \\\\\"b\\\\\" $c\" 100%% x%d\n");
  EXPECT_THAT(launchArguments(quoting),
              ElementsAre("/opt/my tool/run", "--name=Quoting", "--icon", "tool icon", "--file",
                          quoting, "a \"b\" $c", "100%", "x"));
  EXPECT_TRUE(isDesktopEntry(quoting));
  EXPECT_FALSE(isDesktopEntry("/Applications/Tool.app"));
  EXPECT_EQ(desktopEntryIcon(quoting), "tool icon");
}

TEST_F(DesktopEntries, SaysHowAnEntryStartsOrWhyItCannot) {
  const auto terminal = readDesktopLaunch(
      entry("home/applications/top.desktop", "Name=Top\nExec=top -d 2\nTerminal=true\n"));
  ASSERT_TRUE(std::holds_alternative<DesktopLaunch>(terminal));
  EXPECT_TRUE(std::get<DesktopLaunch>(terminal).terminal);
  EXPECT_THAT(std::get<DesktopLaunch>(terminal).arguments, ElementsAre("top", "-d", "2"));

  const auto bus = readDesktopLaunch(
      entry("home/applications/org.example.Bus.desktop", "Name=Bus\nDBusActivatable=true\n"));
  ASSERT_TRUE(std::holds_alternative<DesktopLaunch>(bus));
  EXPECT_EQ(std::get<DesktopLaunch>(bus).busName, "org.example.Bus");
  EXPECT_THAT(std::get<DesktopLaunch>(bus).arguments, IsEmpty());

  const auto noExec = readDesktopLaunch(entry("home/applications/none.desktop", "Name=None\n"));
  EXPECT_EQ(std::get<std::string>(noExec), "it has no Exec line");
  const auto unbalanced = readDesktopLaunch(
      entry("home/applications/unbalanced.desktop", "Name=U\nExec=\"unbalanced\n"));
  EXPECT_THAT(std::get<std::string>(unbalanced), HasSubstr("its Exec line cannot be read"));
  EXPECT_THAT(std::get<std::string>(readDesktopLaunch(tree.path("missing.desktop"))),
              HasSubstr("unreadable"));
}

}  // namespace
}  // namespace jolstrand
