#include "platform/workspace.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QTest>
#include <filesystem>

#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "named_pipe.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;

TEST(Workspace, OpensABundleByRunningItsExecutableDetached) {
  testing::FixtureTree tree;
  makeWorkspace()->openApplication(tree.runnableBundle("Apps/Marker.app", "opened"), "");
  QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(tree.path("opened")), 10000);
}

TEST(Workspace, LogsWhatItCannotOpen) {
  testing::FixtureTree tree;
  testing::Info info;
  info.executable = "missing";
  const std::string noExecutable = tree.bundle("Apps/Broken.app", info);
  const std::string noPlist = tree.folder("Apps/Bare.app");
  info.executable = "../../../../bin/sh";  // never leaves the bundle
  const std::string escaping = tree.bundle("Apps/Sneaky.app", info);
  std::vector<std::string> lines;
  const LogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
  const auto workspace = makeWorkspace();
  workspace->openApplication(noExecutable, "");
  workspace->openApplication(noPlist, "");
  workspace->openApplication(escaping, "");
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "Jolstrand: couldn't open " + noExecutable + ": " + noExecutable +
                          "/Contents/MacOS/missing is not an executable file");
  EXPECT_THAT(lines[1], HasSubstr("couldn't open " + noPlist + ": "));
  EXPECT_THAT(lines[2], HasSubstr("couldn't open " + escaping + ": "));
}

// A program that writes its arguments, one a line, to a marker file.
std::string recorder(testing::FixtureTree& tree, const std::string& name) {
  return tree.program("bin/" + name,
                      "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                          tree.path(name + ".args") + ".tmp'\nmv '" + tree.path(name + ".args") +
                          ".tmp' '" + tree.path(name + ".args") + "'\n");
}

std::string recorded(const testing::FixtureTree& tree, const std::string& name) {
  const std::string marker = tree.path(name + ".args");
  if (!QTest::qWaitFor([&] { return std::filesystem::exists(marker); }, 10000)) return "(none)";
  return testing::contents(marker);
}

TEST(Workspace, OpensADesktopEntryWithItsArgumentsAndNoShell) {
  testing::FixtureTree tree;
  const std::string program = recorder(tree, "tool");
  const std::string entry = tree.file(
      "applications/tool.desktop", "[Desktop Entry]\nType=Application\nName=Tool\nExec=\"" +
                                       program + "\" --title=%c %U \"two words\" '$HOME' 50%%\n");
  makeWorkspace()->openApplication(entry, "");
  EXPECT_EQ(recorded(tree, "tool"), "--title=Tool\ntwo words\n$HOME\n50%\n");
}

// The token reaches the program in both variables, in place of any this process has.
TEST(Workspace, HandsTheActivationTokenToWhatItStarts) {
  testing::FixtureTree tree;
  const std::string marker = tree.path("token.args");
  const std::string program = tree.program(
      "bin/token",
      "#!/bin/sh\nprintf '%s|%s' \"$XDG_ACTIVATION_TOKEN\" \"$DESKTOP_STARTUP_ID\" > '" + marker +
          ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n");
  const std::string entry = tree.file("applications/token.desktop",
                                      "[Desktop Entry]\nType=Application\nName=T\nExec=" + program);
  qputenv("XDG_ACTIVATION_TOKEN", "stale");
  makeWorkspace()->openApplication(entry, "fresh_TIME42");
  qunsetenv("XDG_ACTIVATION_TOKEN");
  EXPECT_EQ(recorded(tree, "token"), "fresh_TIME42|fresh_TIME42");
}

TEST(Workspace, RunsATerminalEntryInTheUsersTerminal) {
  testing::FixtureTree tree;
  const std::string terminal = recorder(tree, "terminal");
  const std::string entry =
      tree.file("applications/top.desktop",
                "[Desktop Entry]\nType=Application\nName=Top\nExec=top -d 2\nTerminal=true\n");
  makeWorkspace({.searchPath = "", .terminal = terminal})->openApplication(entry, "");
  EXPECT_EQ(recorded(tree, "terminal"), "-e\ntop\n-d\n2\n");
}

TEST(Workspace, LogsADesktopEntryItCannotStart) {
  testing::FixtureTree tree;
  const std::string missing =
      tree.file("applications/missing.desktop",
                "[Desktop Entry]\nType=Application\nName=M\nExec=no-such-program-here %f\n");
  const std::string noExec =
      tree.file("applications/none.desktop", "[Desktop Entry]\nType=Application\nName=N\n");
  std::vector<std::string> lines;
  const LogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
  const auto workspace = makeWorkspace();
  workspace->openApplication(missing, "");
  workspace->openApplication(noExec, "");
  EXPECT_THAT(lines,
              ::testing::ElementsAre(
                  "Jolstrand: couldn't open " + missing + ": no-such-program-here was not found",
                  "Jolstrand: couldn't open " + noExec + ": it has no Exec line"));
}

// A named icon comes from the workspace's icon theme (whose rules the core's tests cover); a
// bitmap smaller than the row is drawn larger and smoothly, so two colours side by side blend.
TEST(Workspace, DrawsANamedIconFromTheThemeScaledUpSmoothly) {
  testing::FixtureTree tree;
  tree.file("share/icons/hicolor/index.theme",
            "[Icon Theme]\nDirectories=16x16/apps\n[16x16/apps]\nSize=16\nType=Fixed\n");
  QImage small(2, 2, QImage::Format_ARGB32);
  small.fill(Qt::red);
  small.setPixelColor(1, 0, Qt::blue);
  small.setPixelColor(1, 1, Qt::blue);
  ASSERT_TRUE(small.save(
      QString::fromStdString(tree.file("share/icons/hicolor/16x16/apps/tool.png")), "PNG"));
  const std::string entry =
      tree.file("applications/tool.desktop",
                "[Desktop Entry]\nType=Application\nName=Tool\nExec=sh\nIcon=tool\n");
  const auto icons = std::make_shared<const IconTheme>(
      IconTheme::folders(tree.path("home"), "", tree.path("share")), "hicolor");
  const QImage icon = makeWorkspace({.icons = icons})->icon(entry, 32, 1.0);
  ASSERT_EQ(icon.size(), QSize(32, 32));
  const QColor middle = icon.pixelColor(16, 16);
  EXPECT_GT(middle.red(), 0);
  EXPECT_GT(middle.blue(), 0);
  EXPECT_EQ(makeWorkspace()->icon(entry, 32, 1.0), makeWorkspace()->icon("/Apps/None.app", 32, 1.0))
      << "without a theme, the generic icon";
}

TEST(Workspace, DrawsADesktopEntrysIconFileSharpAtTwiceTheSize) {
  testing::FixtureTree tree;
  const std::string svg = tree.file("icons/dot.svg",
                                    "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
                                    "<rect width='8' height='8' fill='#00ff00'/></svg>");
  const std::string entry =
      tree.file("applications/dot.desktop",
                "[Desktop Entry]\nType=Application\nName=Dot\nExec=sh\nIcon=" + svg + "\n");
  const QImage icon = makeWorkspace()->icon(entry, 32, 2.0);
  EXPECT_EQ(icon.size(), QSize(64, 64));
  EXPECT_EQ(icon.pixelColor(63, 63), QColor(0, 255, 0));
}

TEST(Workspace, GivesEveryApplicationAnIcon) {
  testing::FixtureTree tree;
  const std::string bare = tree.folder("Apps/Bare.app");
  const QImage icon = makeWorkspace()->icon(bare, 32, 2.0);
  EXPECT_EQ(icon.size(), QSize(64, 64));
  EXPECT_EQ(icon.devicePixelRatio(), 2.0);
}

TEST(Workspace, DrawsTheGenericIconInsteadOfWaitingOnANamedPipe) {
  testing::FixtureTree tree;
  const std::string pipe = testing::makeNamedPipe(tree.folder("icons") + "/stuck.png");
  const std::string entry =
      tree.file("applications/stuck.desktop",
                "[Desktop Entry]\nType=Application\nName=Stuck\nExec=sh\nIcon=" + pipe + "\n");
  const std::string bundle = tree.bundleWithPlist(
      "Apps/Stuck.app", R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
                        "<key>CFBundleIconFile</key><string>stuck</string></dict></plist>");
  tree.folder("Apps/Stuck.app/Contents/Resources");
  testing::makeNamedPipe(bundle + "/Contents/Resources/stuck.icns");
  const auto workspace = makeWorkspace();
  for (const std::string& application : {entry, bundle}) {
    SCOPED_TRACE(application);
    QImage icon;
    EXPECT_TRUE(testing::finishesWithoutWaitingOn(
        application == entry ? pipe : bundle + "/Contents/Resources/stuck.icns",
        [&] { icon = workspace->icon(application, 32, 1.0); }));
    EXPECT_EQ(icon.size(), QSize(32, 32));
  }
}

// Stands in for the desktop: records the addresses Qt is asked to open.
class OpenedUrls : public QObject {
  Q_OBJECT

 public:
  OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
  ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  Q_INVOKABLE void open(const QUrl& url) { urls.push_back(url); }
  std::vector<QUrl> urls;
};

// A session bus of the test's own, on which no file manager runs.
class PrivateSessionBus {
 public:
  PrivateSessionBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    if (daemon_.waitForReadyRead(10000)) address = daemon_.readLine().trimmed();
  }
  ~PrivateSessionBus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  QByteArray address;

 private:
  QProcess daemon_;
};

TEST(Workspace, RevealsWithoutWaitingAndOpensTheFolderWhenNoFileManagerAnswers) {
  testing::FixtureTree tree;
  const std::string bundle = tree.folder("Apps/Marker.app");
  const PrivateSessionBus bus;
  ASSERT_FALSE(bus.address.isEmpty());
  qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address);  // before the process first uses the bus
  // Qt keeps a process's first session bus connection: among other tests, one of them may have
  // made it. Alone, as ctest runs it, this test makes it.
  const bool alone = ::testing::UnitTest::GetInstance()->test_to_run_count() == 1;
  if (!alone && !QDBusConnection::sessionBus().isConnected())
    GTEST_SKIP() << "an earlier test in this process used the session bus first";
  ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
  const OpenedUrls desktop;
  makeWorkspace()->reveal(bundle, "");
  EXPECT_TRUE(desktop.urls.empty());  // returned before the bus answered
  for (int wait = 0; wait < 100 && desktop.urls.empty(); ++wait) QTest::qWait(50);
  ASSERT_EQ(desktop.urls.size(), 1U);
  EXPECT_EQ(desktop.urls[0], QUrl::fromLocalFile(QString::fromStdString(tree.path("Apps"))));
}

}  // namespace
}  // namespace jolstrand

#include "workspace_test.moc"
