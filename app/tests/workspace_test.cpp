#include "platform/workspace.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QTest>
#include <filesystem>

#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;

TEST(Workspace, OpensABundleByRunningItsExecutableDetached) {
  testing::FixtureTree tree;
  testing::Info info;
  info.executable = "run";
  const std::string bundle = tree.bundle("Apps/Marker.app", info);
  const std::string marker = tree.path("opened");
  const std::string script =
      tree.file("Apps/Marker.app/Contents/MacOS/run", "#!/bin/sh\necho $$ > '" + marker + "'\n");
  chmod(script.c_str(), 0755);
  makeWorkspace()->openApplication(bundle);
  QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(marker), 10000);
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
  workspace->openApplication(noExecutable);
  workspace->openApplication(noPlist);
  workspace->openApplication(escaping);
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "Jolstrand: couldn't open " + noExecutable + ": " + noExecutable +
                          "/Contents/MacOS/missing is not an executable file");
  EXPECT_THAT(lines[1], HasSubstr("couldn't open " + noPlist + ": "));
  EXPECT_THAT(lines[2], HasSubstr("couldn't open " + escaping + ": "));
}

TEST(Workspace, GivesEveryApplicationAnIcon) {
  testing::FixtureTree tree;
  const std::string bare = tree.folder("Apps/Bare.app");
  const QImage icon = makeWorkspace()->icon(bare, 32, 2.0);
  EXPECT_EQ(icon.size(), QSize(64, 64));
  EXPECT_EQ(icon.devicePixelRatio(), 2.0);
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
  ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
  const OpenedUrls desktop;
  makeWorkspace()->reveal(bundle);
  EXPECT_TRUE(desktop.urls.empty());  // returned before the bus answered
  for (int wait = 0; wait < 100 && desktop.urls.empty(); ++wait) QTest::qWait(50);
  ASSERT_EQ(desktop.urls.size(), 1U);
  EXPECT_EQ(desktop.urls[0], QUrl::fromLocalFile(QString::fromStdString(tree.path("Apps"))));
}

}  // namespace
}  // namespace jolstrand

#include "workspace_test.moc"
