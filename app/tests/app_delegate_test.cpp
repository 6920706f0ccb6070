#include "app_delegate.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "companion_texts.hpp"
#include "fakes.hpp"
#include "fixture_tree.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/simple_main_queue.hpp"
#include "program_info.hpp"
#include "search_panel.hpp"
#include "support_alert.hpp"
#include "support_page.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;

// A build with an update feed and a key, so that the updater starts.
const ProgramInfo& programWithFeed() {
  static const ProgramInfo info(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
      "<key>CFBundleShortVersionString</key><string>2.0</string>"
      "<key>JolstrandUpdateFeed</key><string>https://example.com/appcast.xml</string>"
      "<key>SUPublicEDKey</key><string>key</string></dict></plist>");
  return info;
}

struct Alert {
  QString message;
  QString information;
  bool operator==(const Alert&) const = default;
};

// The calling thread's scheduling priority (Linux gives each thread its own nice value).
int threadNice() {
#ifdef __linux__
  return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
#else
  return 0;
#endif
}

// Scans that wait, one at a time, until the test lets them finish.
class GatedScans {
 public:
  std::vector<AppEntry> scan() {
    std::unique_lock lock(mutex_);
    scanNice_ = threadNice();
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
  /// The nice value of the thread that ran the latest scan.
  int scanNice() {
    const std::lock_guard lock(mutex_);
    return scanNice_;
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
  int scanNice_ = 0;
};

// The first scan, at launch, answers at once; later ones go through the gate when it is set.
class FakeCatalogue : public CatalogueSource {
 public:
  explicit FakeCatalogue(GatedScans& gate) : gate_(gate) {}
  std::vector<AppEntry> scan() const override {
    if (!gated) {
      if (calls) calls("scan");
      return {AppEntry("id0", "/A/0.app", "App 0")};
    }
    return gate_.scan();
  }
  std::vector<std::string> watchPaths() const override {
    if (calls) calls("watch paths");
    return {};
  }
  std::atomic<bool> gated = false;
  testing::CallLog calls;  // the launch's scan and watch paths

 private:
  GatedScans& gate_;
};

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() { make({"jolstrand"}); }
  ~AppDelegateTest() override {
    gate.releaseAll();  // let any scan still waiting end
    delegate.reset();
  }

  /// A new controller over new fakes, for this command line.
  void make(std::vector<std::string> arguments) {
    delegate.reset();
    auto ownCatalogue = std::make_unique<FakeCatalogue>(gate);
    auto ownHotKey = std::make_unique<testing::FakeHotKey>();
    auto ownSpotlight = std::make_unique<testing::FakeSpotlight>();
    auto ownLoginItem = std::make_unique<testing::FakeLoginItem>();
    catalogue = ownCatalogue.get();
    hotKey = ownHotKey.get();
    spotlight = ownSpotlight.get();
    loginItem = ownLoginItem.get();
    delegate = std::make_unique<AppDelegate>(AppDelegate::Services{
        .mainQueue = queue,
        .workspace = workspace,
        .settings = settings,
        .program = programWithFeed(),
        .arguments = std::move(arguments),
        .screens =
            [] {
              const QRect screen = QGuiApplication::primaryScreen()->geometry();
              return ScreenSnapshot{{}, {}, {screen}, {1, 1}};
            },
        .usageFile = tree.path("data/usage.json"),
        .catalogue = std::move(ownCatalogue),
        .hotKey = std::move(ownHotKey),
        .spotlight = std::move(ownSpotlight),
        .loginItem = std::move(ownLoginItem),
        .updateEngine =
            [this](UpdateEngineEvents& events) {
              auto engine = std::make_unique<testing::FakeUpdateEngine>(events);
              updateEngine = engine.get();
              return engine;
            },
        .openKeyboardSettings = [this] { ++settingsOpened; },
        .alert =
            [this](const QString& message, const QString& information) {
              alerts.push_back({message, information});
            },
    });
  }

  testing::FixtureTree tree;
  QSettings settings{QString::fromStdString(tree.path("settings.ini")), QSettings::IniFormat};
  SimpleMainQueue queue;
  testing::FakeWorkspace workspace;
  GatedScans gate;
  FakeCatalogue* catalogue = nullptr;
  testing::FakeHotKey* hotKey = nullptr;
  testing::FakeSpotlight* spotlight = nullptr;
  testing::FakeLoginItem* loginItem = nullptr;
  testing::FakeUpdateEngine* updateEngine = nullptr;
  int settingsOpened = 0;
  std::vector<Alert> alerts;
  std::unique_ptr<AppDelegate> delegate;
};

// Steps the controller takes only in its own state (the status item, the setup window's closures,
// the reminder's busy test and its start) are noted when first seen, at the next call a fake
// receives.
TEST_F(AppDelegateTest, StartsUpInOrder) {
  std::vector<std::string> steps;
  const auto seen = [&](const std::string& step) {
    return std::find(steps.begin(), steps.end(), step) != steps.end();
  };
  const testing::CallLog note = [&](const std::string& call) {
    const std::pair<std::string, bool> states[] = {
        {"status item", delegate->statusItem() != nullptr},
        {"setup closures", delegate->setup().hotKeyStatus() == 1},
        {"busy test", delegate->support().busy()},  // true only through Spotlight's hold
        {"reminder started", delegate->support().started()},
    };
    for (const auto& [state, now] : states) {
      if (now && !seen(state)) steps.push_back(state);
    }
    steps.push_back(call);
  };
  catalogue->calls = note;
  hotKey->calls = note;
  spotlight->calls = note;
  updateEngine->calls = note;
  spotlight->holds = true;
  delegate->applicationDidFinishLaunching();
  EXPECT_THAT(steps, ElementsAre("scan", "register the hot key", "check Spotlight", "watch paths",
                                 "status item", "setup closures", "busy test", "reminder started",
                                 "start the updater"));
  EXPECT_EQ(delegate->matcher().entries().at(0).id(), "id0");
  EXPECT_EQ(delegate->hotKeyStatus(), 1);
  EXPECT_TRUE(delegate->spotlightHolds());
  EXPECT_TRUE(delegate->updater().isOn());
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

#ifdef __linux__
// Rescans run below the main thread, which types and draws.
TEST_F(AppDelegateTest, RescansAtALowerPriorityThanTheUsersThread) {
  delegate->applicationDidFinishLaunching();
  catalogue->gated = true;
  delegate->rescan();
  ASSERT_TRUE(QTest::qWaitFor([&] { return gate.started() == 1; }));
  EXPECT_EQ(gate.scanNice(), std::max(threadNice(), 10));
  gate.release();
}
#endif

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

bool visible(const QWidget* window) {
  return window != nullptr && window->isVisible();
}

// The setup window's closures reach the controller; the windows open only on the next turn.
TEST_F(AppDelegateTest, GivesTheSetupWindowItsClosuresAndOpensNoWindowAtOnce) {
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(delegate->statusItem()->menu().accessibleName(), "Jolstrand");
  EXPECT_EQ(delegate->setup().hotKeyStatus(), 1);
  delegate->setup().onOpenSettings();
  EXPECT_EQ(settingsOpened, 1);
  spotlight->holds = true;
  EXPECT_TRUE(delegate->setup().checkSpotlight());  // the controller's re-check
  EXPECT_TRUE(delegate->spotlightHolds());
  QCoreApplication::processEvents();
  EXPECT_FALSE(visible(delegate->setup().window()));
  EXPECT_FALSE(visible(delegate->aboutWindow().window()));
}

TEST_F(AppDelegateTest, GivesDialogsWithoutAnIconOfTheirOwnTheProgramsIcon) {
  QApplication::setWindowIcon(QIcon());
  make({});
  EXPECT_FALSE(QApplication::windowIcon().pixmap(64, 64).isNull());
}

TEST_F(AppDelegateTest, OpensTheWindowsTheCommandLineOrSpotlightAskFor) {
  struct Case {
    std::vector<std::string> arguments;
    bool held;
    bool setup;
    bool about;
  };
  const std::vector<Case> cases = {
      {{"jolstrand"}, false, false, false},
      {{"jolstrand", "--setup"}, false, true, false},
      {{"jolstrand", "--about"}, false, false, true},
      {{"jolstrand", "--about", "--setup"}, false, true, true},
      {{"jolstrand"}, true, true, false},
      {{"jolstrand", "--setup"}, true, true, false},
      {{"jolstrand", "--setup=1", "setup", "--About"}, false, false, false},  // exact matches only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments) + (c.held ? " held" : ""));
    make(c.arguments);
    spotlight->holds = c.held;
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(delegate->setup().window(), nullptr);  // not before the next turn
    QCoreApplication::processEvents();
    EXPECT_EQ(visible(delegate->setup().window()), c.setup);
    EXPECT_EQ(visible(delegate->aboutWindow().window()), c.about);
    // Each showing of the setup window reads Spotlight once, after the launch's own reading.
    EXPECT_EQ(spotlight->checks, c.setup ? 2 : 1);
  }
}

TEST_F(AppDelegateTest, TheReminderWaitsWhileThePanelOrSetupIsOpenOrSpotlightHolds) {
  delegate->applicationDidFinishLaunching();
  SupportReminder& support = delegate->support();
  EXPECT_FALSE(support.busy());
  delegate->search().show();
  EXPECT_TRUE(support.busy());
  delegate->search().hide();
  EXPECT_FALSE(support.busy());
  delegate->setup().show();
  EXPECT_TRUE(support.busy());
  delegate->setup().window()->close();
  EXPECT_FALSE(support.busy());
  spotlight->holds = true;
  delegate->recheckSpotlight();
  EXPECT_TRUE(support.busy());
}

// On Wayland the desktop answers later, a later start may be the shortcut's press, and the
// setup window may add the desktop's shortcut.
TEST_F(AppDelegateTest, FollowsWhatTheDesktopSaysOfItsShortcut) {
  delegate->applicationDidFinishLaunching();
  hotKey->key = QStringLiteral("Ctrl+Alt+Space");
  hotKey->answer(HotKeyBackend::otherKey);
  EXPECT_EQ(delegate->hotKeyStatus(), HotKeyBackend::otherKey);
  EXPECT_EQ(delegate->menuRows()[1].title, "Super-Space is unavailable (error -3)");  // X11 words
  EXPECT_EQ(delegate->setup().shortcutDetails().trigger, "Ctrl+Alt+Space");

  hotKey->press(QStringLiteral("token-1"));
  EXPECT_TRUE(delegate->search().panel().isVisible());
  delegate->search().hide();
  delegate->setup().show();
  delegate->startedAgain(QStringLiteral("token-2"));
  EXPECT_TRUE(delegate->setup().hotKeyWorked);
  EXPECT_TRUE(delegate->search().panel().isVisible());

  // Asked again only while the desktop has not granted it.
  const int registrations = hotKey->registrations;
  delegate->showSetup();
  EXPECT_EQ(hotKey->registrations, registrations);
  hotKey->answer(HotKeyBackend::awaitingDesktop);
  delegate->showSetup();
  EXPECT_EQ(hotKey->registrations, registrations + 1);

  hotKey->addedByUser = true;
  delegate->setup().onShortcutButton(ShortcutButton::add);
  delegate->setup().onShortcutButton(ShortcutButton::remove);
  EXPECT_EQ(std::pair(hotKey->added, hotKey->removed), std::pair(1, 1));
  EXPECT_EQ(delegate->hotKeyStatus(), registrations + 3);  // read again after each change
  EXPECT_TRUE(delegate->setup().shortcutDetails().userAddsShortcut);
}

TEST_F(AppDelegateTest, AHotKeyPressWhileSetupIsOpenTogglesAndConfirms) {
  delegate->applicationDidFinishLaunching();
  hotKey->press();  // no setup window: only the panel
  EXPECT_FALSE(delegate->setup().hotKeyWorked);
  hotKey->press();
  delegate->setup().show();
  hotKey->press();
  EXPECT_TRUE(delegate->search().panel().isVisible());
  EXPECT_TRUE(delegate->setup().hotKeyWorked);
  delegate->setup().show();  // showing again asks anew
  delegate->setup().window()->hide();
  hotKey->press();
  EXPECT_FALSE(delegate->search().panel().isVisible());
  EXPECT_FALSE(delegate->setup().hotKeyWorked);
}

// The status menu, opened and chosen from as the tray does.
class StatusMenuTest : public AppDelegateTest {
 protected:
  StatusMenuTest() { delegate->applicationDidFinishLaunching(); }

  QMenu& openMenu() {
    QMenu& menu = delegate->statusItem()->menu();
    emit menu.aboutToShow();
    return menu;
  }
  /// The entries the open menu shows.
  QList<QAction*> shown() {
    QList<QAction*> shown = openMenu().actions();
    shown.removeIf([](const QAction* action) { return !action->isVisible(); });
    return shown;
  }
  QStringList titles() {
    QStringList titles;
    for (const QAction* action : shown()) {
      titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return titles;
  }
  QAction* entry(const QString& title) {
    for (QAction* action : shown()) {
      if (action->text() == title) return action;
    }
    ADD_FAILURE() << "no entry " << title.toStdString();
    return nullptr;
  }
  void choose(const QString& title) {
    if (QAction* action = entry(title)) action->trigger();
  }

  const MenuTexts& texts = platformCompanionTexts().menu;
};

TEST_F(StatusMenuTest, ListsTheCurrentStateEachTimeItOpens) {
  EXPECT_EQ(titles(),
            (QStringList{"1 apps", texts.shortcutError.arg(1), "-", texts.showPanel, texts.setUp,
                         texts.rescan, texts.launchAtLogin, texts.checkForUpdates,
                         texts.installAutomatically, "-", texts.about, texts.support, texts.quit}));
  EXPECT_FALSE(entry("1 apps")->isEnabled());
  EXPECT_EQ(entry(texts.quit)->shortcut(), QKeySequence(QKeySequence::Quit));
  // Spotlight takes the shortcut, then lets go: the re-check on opening registers again.
  spotlight->holds = true;
  EXPECT_EQ(titles().value(1), texts.shortcutHeld);
  spotlight->holds = false;
  EXPECT_EQ(titles().value(1), texts.shortcutError.arg(2));
  EXPECT_EQ(hotKey->registrations, 2);
}

// Each row keeps its entry from one opening to the next, also while other rows come and go, so a
// tray that clicks an entry it read earlier reaches the same row.
TEST_F(StatusMenuTest, KeepsEachRowsEntryAcrossOpenings) {
  const QPointer<QAction> show = entry(texts.showPanel);
  const QPointer<QAction> quit = entry(texts.quit);
  spotlight->holds = true;  // the shortcut line changes
  EXPECT_EQ(titles().value(1), texts.shortcutHeld);
  EXPECT_EQ(entry(texts.showPanel), show.data());
  EXPECT_EQ(entry(texts.quit), quit.data());
  ASSERT_FALSE(show.isNull());
  EXPECT_EQ(delegate->statusItem()->menu().actions().size(), shown().size());
}

TEST_F(StatusMenuTest, ShowJolstrandShowsThePanelOnTheNextTurnAndNeverHides) {
  choose(texts.showPanel);
  EXPECT_FALSE(delegate->search().panel().isVisible());  // the menu is still closing
  QCoreApplication::processEvents();
  EXPECT_TRUE(delegate->search().panel().isVisible());
  choose(texts.showPanel);
  QCoreApplication::processEvents();
  EXPECT_TRUE(delegate->search().panel().isVisible());
}

TEST_F(StatusMenuTest, OpensTheSetupAndAboutWindowsAndTheSupportPage) {
  choose(texts.setUp);
  EXPECT_TRUE(visible(delegate->setup().window()));
  choose(texts.about);
  EXPECT_TRUE(visible(delegate->aboutWindow().window()));
  choose(texts.support);
  EXPECT_THAT(workspace.openedURLs, ElementsAre(supportPageURL()));
}

TEST_F(StatusMenuTest, RescanAppsRescansAndLogsWhatItFound) {
  std::vector<std::string> log;
  const LogCapture capture([&](std::string_view line) { log.emplace_back(line); });
  choose(texts.rescan);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !log.empty(); }));
  EXPECT_THAT(log, ElementsAre("Jolstrand: rescan found 1 apps"));
}

TEST_F(StatusMenuTest, LaunchAtLoginSwitchesTheLoginItem) {
  EXPECT_FALSE(entry(texts.launchAtLogin)->isChecked());
  choose(texts.launchAtLogin);
  EXPECT_EQ(loginItem->current, LoginItemStatus::Enabled);
  EXPECT_TRUE(entry(texts.launchAtLogin)->isChecked());
  choose(texts.launchAtLogin);
  EXPECT_EQ(loginItem->current, LoginItemStatus::NotRegistered);
  EXPECT_EQ(loginItem->approvalSettingsOpened, 0);
  EXPECT_TRUE(alerts.empty());

  // A system that asks the user first: its settings open; choosing again withdraws the item.
  loginItem->afterEnable = LoginItemStatus::RequiresApproval;
  choose(texts.launchAtLogin);
  EXPECT_EQ(loginItem->approvalSettingsOpened, 1);
  EXPECT_TRUE(entry(texts.launchAtLogin)->isChecked());
  choose(texts.launchAtLogin);
  EXPECT_EQ(loginItem->current, LoginItemStatus::NotRegistered);
  EXPECT_EQ(loginItem->approvalSettingsOpened, 1);

  // A missing program is no registration: choosing registers.
  loginItem->current = LoginItemStatus::NotFound;
  loginItem->afterEnable = LoginItemStatus::Enabled;
  choose(texts.launchAtLogin);
  EXPECT_EQ(loginItem->current, LoginItemStatus::Enabled);
}

TEST_F(StatusMenuTest, ARefusedLoginItemChangeIsShownAndChangesNothing) {
  loginItem->refusal = QStringLiteral("Permission denied");
  loginItem->folder = QStringLiteral("/home/u/conf/autostart");
  choose(texts.launchAtLogin);
  ASSERT_EQ(alerts.size(), 1U);
  EXPECT_EQ(alerts[0].message, "Jolstrand can't change its login item");
  EXPECT_EQ(alerts[0].information,
            "Permission denied\n\nLaunch at Login adds an entry that starts this copy of "
            "Jolstrand to your autostart folder, /home/u/conf/autostart.");
  EXPECT_EQ(loginItem->current, LoginItemStatus::NotRegistered);
  EXPECT_FALSE(entry(texts.launchAtLogin)->isChecked());
  EXPECT_EQ(loginItem->approvalSettingsOpened, 0);
}

TEST_F(StatusMenuTest, UpdateEntriesFollowTheUpdater) {
  EXPECT_FALSE(entry(texts.installAutomatically)->isChecked());
  choose(texts.installAutomatically);
  EXPECT_TRUE(updateEngine->automaticDownloads);
  EXPECT_TRUE(entry(texts.installAutomatically)->isChecked());
  choose(texts.installAutomatically);
  EXPECT_FALSE(updateEngine->automaticDownloads);

  // An update left for the program to announce; installing it forgets the announcement.
  updateEngine->events.willHandleShowingUpdate(false, "2.1");
  const QString install = texts.installWaiting.arg("2.1");
  EXPECT_EQ(install, QStringLiteral("Install Jolstrand 2.1\u2026"));
  choose(install);
  EXPECT_EQ(updateEngine->checks, 1);
  EXPECT_TRUE(titles().contains(texts.checkForUpdates));
  choose(texts.checkForUpdates);
  EXPECT_EQ(updateEngine->checks, 2);
}

TEST_F(StatusMenuTest, QuitEndsTheEventLoopWithStatusZero) {
  QTimer::singleShot(0, [&] { choose(texts.quit); });
  // Quitting did not work. Gone with the test, so that it never ends a later test's event loop.
  const QObject watchdog;
  QTimer::singleShot(5000, &watchdog, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QApplication::exec(), 0);
}

// The support reminder's alert has no escape button, so it refuses to close: quitting must not
// ask it.
TEST_F(StatusMenuTest, QuitEndsTheEventLoopWhileAnAlertWaitsForItsAnswer) {
  std::optional<SupportAnswer> answer;
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(100, [&] { choose(texts.quit); });
    answer = askForSupport(linuxCompanionTexts().reminder, 10);
  });
  const QObject watchdog;
  QTimer::singleShot(5000, &watchdog, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(answer, SupportAnswer::unanswered);
}

}  // namespace
}  // namespace jolstrand
