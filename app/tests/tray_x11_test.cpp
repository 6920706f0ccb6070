// The launcher's tray icon as desktops see it, under an X server (CTest runs this binary through
// xvfb-run): on a private session bus with a StatusNotifierWatcher (status_notifier_host.py), which
// reads the menu the launcher exports over D-Bus and clicks its entries; and in an X11 system
// tray (trayer) that starts after the launcher.

#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <functional>

#include "companion_texts.hpp"
#include "fixture_tree.hpp"
#include "launcher_tree.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using testing::contents;

bool eventually(const std::function<bool()>& done, int milliseconds = 10000) {
  return QTest::qWaitFor(done, milliseconds);
}

// Whether a shell command succeeds.
bool shell(const QString& command) {
  return QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command}) == 0;
}

// The first line a shell command prints.
QString firstLine(const QString& command) {
  QProcess process;
  process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
  process.waitForFinished(10000);
  return QString::fromUtf8(process.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
}

// Whether the process has ended, or ends within the time: it may have ended, and Qt noticed,
// while the test waited for something else (waitForFinished then answers false).
bool ended(QProcess& process, int milliseconds) {
  return process.state() == QProcess::NotRunning || process.waitForFinished(milliseconds);
}

bool visibleWindowNamed(const QString& name) {
  return shell(
      QStringLiteral("xdotool search --onlyvisible --name '^%1$' >/dev/null 2>&1").arg(name));
}

bool panelVisible() {
  return shell(QStringLiteral("xdotool search --onlyvisible --classname '^jolstrand$' >/dev/null"));
}

// The tray host script, driven one command at a time.
class TrayHost {
 public:
  explicit TrayHost(const QProcessEnvironment& environment, const QStringList& options = {}) {
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   QStringList{QStringLiteral(JOLSTRAND_TRAY_HOST)} + options);
    ready = answer().value(QStringLiteral("ready")).toBool();
  }
  ~TrayHost() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) process_.kill();
  }
  QJsonDocument ask(const QString& command) {
    process_.write((command + QLatin1Char('\n')).toUtf8());
    return QJsonDocument::fromJson(readLine());
  }
  QJsonObject answer() { return QJsonDocument::fromJson(readLine()).object(); }
  /// The labels of the menu's entries, a separator as "-".
  QStringList labels() {
    QStringList labels;
    for (const QJsonValue entry : ask(QStringLiteral("menu")).array()) {
      const QJsonObject row = entry.toObject();
      labels << (row[QStringLiteral("separator")].toBool()
                     ? QStringLiteral("-")
                     : row[QStringLiteral("label")].toString());
    }
    return labels;
  }
  /// The menu entry with this label.
  QJsonObject entry(const QString& label) {
    for (const QJsonValue entry : ask(QStringLiteral("menu")).array()) {
      if (entry[QStringLiteral("label")].toString() == label) return entry.toObject();
    }
    return {};
  }
  bool click(const QString& label) {
    return ask(QStringLiteral("click ") + label).object().contains(QStringLiteral("clicked"));
  }
  bool ready = false;

 private:
  QByteArray readLine() {
    eventually([&] { return process_.canReadLine(); }, 15000);
    return process_.readLine();
  }
  QProcess process_;
};

// A fixture catalogue of one application, a session bus of the test's own and the launcher on
// both; the tests add a tray.
class TrayLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::plantLauncherTree(tree);
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address")});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QString::fromUtf8(bus.readLine().trimmed()));
    for (const auto& [name, value] : testing::launcherEnvironment(tree)) {
      environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
  }
  void TearDown() override {
    if (launcher.state() != QProcess::NotRunning) {
      launcher.terminate();
      launcher.waitForFinished(10000);
    }
    bus.kill();
    bus.waitForFinished();
  }

  void startLauncher(const QStringList& arguments = {}) {
    launcher.setProcessEnvironment(environment);
    launcher.start(QStringLiteral(JOLSTRAND_EXECUTABLE), arguments);
    ASSERT_TRUE(launcher.waitForStarted());
  }
  // What the launcher has logged so far.
  QString log() {
    logged += QString::fromUtf8(launcher.readAllStandardError());
    return logged;
  }
  std::string autostartEntry() const {
    return tree.path("config/autostart/org.jolstrand.Jolstrand.desktop");
  }

  testing::FixtureTree tree;
  QProcess bus;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  QProcess launcher;
  QString logged;
};

// A StatusNotifierWatcher with a host, as KDE Plasma and GNOME's AppIndicator extension offer.
class StatusNotifier : public TrayLauncher {
 protected:
  void SetUp() override {
    TrayLauncher::SetUp();
    host = std::make_unique<TrayHost>(environment);
    ASSERT_TRUE(host->ready);
    startLauncher();
    item = host->ask(QStringLiteral("item")).object();
    ASSERT_FALSE(item.contains(QStringLiteral("error")))
        << item[QStringLiteral("error")].toString().toStdString();
  }
  void TearDown() override {
    host.reset();
    TrayLauncher::TearDown();
  }

  std::unique_ptr<TrayHost> host;
  QJsonObject item;
  const MenuTexts& texts = linuxCompanionTexts().menu;
};

TEST_F(StatusNotifier, RegistersTheItemWithItsNameIconAndMenu) {
  EXPECT_EQ(item[QStringLiteral("Id")].toString(), "Jolstrand");
  EXPECT_EQ(item[QStringLiteral("Title")].toString(), "Jolstrand");
  EXPECT_EQ(item[QStringLiteral("ToolTipTitle")].toString(), "Jolstrand");
  EXPECT_EQ(item[QStringLiteral("Status")].toString(), "Active");
  // Drawn at the common panel size rather than scaled from another.
  EXPECT_TRUE(item[QStringLiteral("IconPixmapSizes")].toArray().contains(QJsonArray{22, 22}));
  EXPECT_EQ(host->labels(),
            (QStringList{"1 apps", "-", "Show Jolstrand", "Set Up Super-Space\u2026", "Rescan Apps",
                         "Launch at Login", "-", "About Jolstrand", "Support Jolstrand\u2026",
                         "Quit Jolstrand"}));
  EXPECT_EQ(host->entry(QStringLiteral("1 apps"))[QStringLiteral("enabled")].toBool(), false);
  EXPECT_EQ(host->entry(QStringLiteral("Quit Jolstrand"))[QStringLiteral("shortcut")].toArray(),
            QJsonArray{"Control+Q"});
  const QJsonObject login = host->entry(QStringLiteral("Launch at Login"));
  EXPECT_EQ(login[QStringLiteral("toggle")].toString(), "checkmark");
  EXPECT_FALSE(login[QStringLiteral("checked")].toBool());
}

// Hosts fetch the layout again only when told it changed, and click entries by id: each entry
// keeps its id from one opening to the next.
TEST_F(StatusNotifier, EachEntryKeepsItsIdAcrossOpenings) {
  const auto idsByLabel = [&] {
    QMap<QString, int> ids;
    for (const QJsonValue entry : host->ask(QStringLiteral("menu")).array()) {
      ids.insert(entry[QStringLiteral("label")].toString(), entry[QStringLiteral("id")].toInt());
    }
    return ids;
  };
  const QMap<QString, int> first = idsByLabel();
  ASSERT_TRUE(first.contains(texts.quit));
  EXPECT_EQ(idsByLabel(), first);
}

TEST_F(StatusNotifier, ShowJolstrandShowsThePanel) {
  ASSERT_FALSE(panelVisible());
  ASSERT_TRUE(host->click(QStringLiteral("Show Jolstrand")));
  EXPECT_TRUE(eventually(panelVisible));
  ASSERT_TRUE(host->click(QStringLiteral("Show Jolstrand")));  // shows; never hides
  QTest::qWait(300);
  EXPECT_TRUE(panelVisible());
}

TEST_F(StatusNotifier, OpensTheSetupAndAboutWindows) {
  const CompanionTexts& windows = linuxCompanionTexts();
  ASSERT_TRUE(host->click(texts.setUp));
  EXPECT_TRUE(eventually([&] { return visibleWindowNamed(windows.setup.windowTitle); }));
  ASSERT_TRUE(host->click(texts.about));
  EXPECT_TRUE(eventually([&] { return visibleWindowNamed(windows.about.windowTitle); }));
}

// Nothing changes on disk, so no folder watch scans: the line comes from the menu's rescan.
TEST_F(StatusNotifier, RescanAppsScansAgainAndLogsWhatItFound) {
  QTest::qWait(300);
  ASSERT_FALSE(log().contains("rescan found"));
  ASSERT_TRUE(host->click(texts.rescan));
  EXPECT_TRUE(eventually([&] { return log().contains("Jolstrand: rescan found 1 apps"); }));
  EXPECT_EQ(host->labels().value(0), "1 apps");
}

TEST_F(StatusNotifier, LaunchAtLoginWritesAndRemovesTheAutostartEntry) {
  ASSERT_TRUE(host->click(texts.launchAtLogin));
  ASSERT_TRUE(eventually([&] { return fs::exists(autostartEntry()); }));
  EXPECT_NE(contents(autostartEntry()).find("Exec=" JOLSTRAND_EXECUTABLE "\n"), std::string::npos);
  EXPECT_TRUE(host->entry(texts.launchAtLogin)[QStringLiteral("checked")].toBool());
  ASSERT_TRUE(host->click(texts.launchAtLogin));
  EXPECT_TRUE(eventually([&] { return !fs::exists(autostartEntry()); }));
  EXPECT_FALSE(host->entry(texts.launchAtLogin)[QStringLiteral("checked")].toBool());
}

TEST_F(StatusNotifier, QuitEndsWithStatusZeroAfterWritingTheLaunchHistory) {
  ASSERT_TRUE(host->click(QStringLiteral("Show Jolstrand")));
  ASSERT_TRUE(eventually(panelVisible));
  ASSERT_TRUE(shell(QStringLiteral("xdotool type --delay 40 marker && xdotool key Return")));
  ASSERT_TRUE(eventually([&] { return fs::exists(tree.path("marker")); }));
  ASSERT_TRUE(host->click(texts.quit));
  ASSERT_TRUE(ended(launcher, 10000));
  EXPECT_EQ(launcher.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(launcher.exitCode(), 0);
  EXPECT_NE(contents(tree.path("data/Jolstrand/usage.json")).find("com.example.marker"),
            std::string::npos);
}

// A desktop whose panel registers its StatusNotifierWatcher only after the launcher has started,
// as when the launcher starts at login before the panel: the item registers once the watcher is
// there, and its menu works.
TEST_F(TrayLauncher, RegistersWithAStatusNotifierWatcherThatStartsLater) {
  startLauncher();
  ASSERT_TRUE(eventually([&] { return log().contains("Jolstrand: no system tray yet"); }));
  TrayHost host(environment);
  ASSERT_TRUE(host.ready);
  const QJsonObject item = host.ask(QStringLiteral("item")).object();
  ASSERT_FALSE(item.contains(QStringLiteral("error")))
      << item[QStringLiteral("error")].toString().toStdString();
  EXPECT_EQ(item[QStringLiteral("Id")].toString(), "Jolstrand");
  EXPECT_EQ(host.labels().value(0), "1 apps");
  ASSERT_TRUE(host.click(linuxCompanionTexts().menu.about));
  EXPECT_TRUE(
      eventually([] { return visibleWindowNamed(linuxCompanionTexts().about.windowTitle); }));
}

// A watcher whose host registers later, as a desktop's panel that starts after the launcher: the
// launcher does not keep asking meanwhile, and its item comes as soon as the host does.
TEST_F(TrayLauncher, WaitsForAWatchersHostWithoutAskingAgainAndAgain) {
  TrayHost host(environment, {QStringLiteral("--no-host")});
  ASSERT_TRUE(host.ready);
  startLauncher();
  ASSERT_TRUE(eventually([&] { return log().contains("Jolstrand: no system tray yet"); }));
  QTest::qWait(5000);
  EXPECT_LE(host.ask(QStringLiteral("asked"))[QStringLiteral("asked")].toInt(), 1);
  ASSERT_TRUE(host.ask(QStringLiteral("host"))[QStringLiteral("host")].toBool());
  const QJsonObject item = host.ask(QStringLiteral("item")).object();
  ASSERT_FALSE(item.contains(QStringLiteral("error")))
      << item[QStringLiteral("error")].toString().toStdString();
  EXPECT_EQ(host.labels().value(0), "1 apps");
}

// The support reminder's alert, left unanswered, holds nothing up: the panel takes keys, Quit
// quits with the launch history written, and so does the session's SIGTERM.
TEST_F(TrayLauncher, ThePanelAndQuitWorkWhileTheSupportReminderWaits) {
  const QString alertTitle = QStringLiteral("Jolstrand");
  TrayHost host(environment);
  ASSERT_TRUE(host.ready);
  startLauncher({QStringLiteral("--support-reminder")});
  ASSERT_FALSE(host.ask(QStringLiteral("item")).object().contains(QStringLiteral("error")));
  ASSERT_TRUE(eventually([&] { return visibleWindowNamed(alertTitle); }));
  ASSERT_TRUE(host.click(QStringLiteral("Show Jolstrand")));
  ASSERT_TRUE(eventually(panelVisible));
  ASSERT_TRUE(shell(QStringLiteral("xdotool type --delay 40 marker && xdotool key Return")));
  ASSERT_TRUE(eventually([&] { return fs::exists(tree.path("marker")); }));
  ASSERT_TRUE(host.click(linuxCompanionTexts().menu.quit));
  ASSERT_TRUE(ended(launcher, 5000));
  EXPECT_EQ(launcher.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(launcher.exitCode(), 0);
  EXPECT_NE(contents(tree.path("data/Jolstrand/usage.json")).find("com.example.marker"),
            std::string::npos);

  startLauncher({QStringLiteral("--support-reminder")});
  ASSERT_TRUE(eventually([&] { return visibleWindowNamed(alertTitle); }));
  launcher.terminate();
  ASSERT_TRUE(ended(launcher, 3000));
  EXPECT_EQ(launcher.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(launcher.exitCode(), 0);
}

// The older X11 system tray (XEmbed), as lighter desktops offer it. It starts after the launcher,
// which has meanwhile said that there is no tray and kept running.
TEST_F(TrayLauncher, EmbedsInAnX11SystemTrayThatStartsLater) {
  startLauncher();
  ASSERT_TRUE(eventually([&] { return log().contains("Jolstrand: no system tray yet"); }));
  QProcess trayer;
  trayer.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                QStringLiteral("--height"), QStringLiteral("32"), QStringLiteral("--transparent"),
                QStringLiteral("false")});
  ASSERT_TRUE(trayer.waitForStarted());
  // The icon's window ends up inside the tray's panel window.
  const auto embedded = [] {
    const QString panel =
        firstLine(QStringLiteral("xdotool search --classname '^panel$' | head -1"));
    return !panel.isEmpty() &&
           shell(QStringLiteral("xwininfo -tree -id %1 | grep -q '(\"jolstrand\" \"Jolstrand\")'")
                     .arg(panel));
  };
  EXPECT_TRUE(eventually(embedded));
  // A right click on it opens the menu, and so does a plain click; Ctrl-Q in it quits. The
  // panel is hidden, so the launcher's one visible window is the icon.
  const QString icon =
      firstLine(QStringLiteral("xdotool search --onlyvisible --classname '^jolstrand$' | head -1"));
  ASSERT_FALSE(icon.isEmpty());
  const auto menuOpen = [] {
    return firstLine(QStringLiteral("xdotool search --onlyvisible --classname '^jolstrand$' "
                                    "| wc -l")) == "2";
  };
  ASSERT_TRUE(shell(QStringLiteral("xdotool mousemove --window %1 8 8 click 3").arg(icon)));
  EXPECT_TRUE(eventually(menuOpen));
  ASSERT_TRUE(shell(QStringLiteral("xdotool key Escape")));
  ASSERT_TRUE(eventually([&] { return !menuOpen(); }));
  ASSERT_TRUE(shell(QStringLiteral("xdotool mousemove --window %1 8 8 click 1").arg(icon)));
  EXPECT_TRUE(eventually(menuOpen));
  ASSERT_TRUE(shell(QStringLiteral("xdotool key ctrl+q")));
  EXPECT_TRUE(ended(launcher, 10000));
  EXPECT_EQ(launcher.exitCode(), 0);
  trayer.terminate();
  trayer.waitForFinished();
}

}  // namespace
}  // namespace jolstrand

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
