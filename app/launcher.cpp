#include "launcher.hpp"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <csignal>

#include "app_delegate.hpp"
#include "display_check.hpp"
#include "platform/accessory_app.hpp"
#include "platform/keyboard_settings.hpp"
#include "platform/login_item.hpp"
#include "platform/program_settings.hpp"
#include "platform/reopen_events.hpp"
#include "platform/update_engine.hpp"
#include "platform/window_system.hpp"
#include "platform/workspace.hpp"
#include "program_info.hpp"
#include "qt_main_queue.hpp"
#include "quit_application.hpp"
#include "single_instance.hpp"
#include "trace.hpp"
#ifndef __APPLE__
#include "platform/linux/update/restart_after_quit.hpp"
#endif

namespace jolstrand {
namespace {

int terminationPipe[2] = {-1, -1};
volatile sig_atomic_t terminationRequested = 0;
// How long a quit asked for by a signal may take before the process ends regardless.
constexpr unsigned terminationDeadlineSeconds = 2;

// The handler does only what is safe in a signal handler: the first signal arms the deadline and
// wakes the event loop through the socket; a second one ends the process at once.
void requestTermination(int signal) {
  if (terminationRequested != 0) {
    struct sigaction fallBack {};
    fallBack.sa_handler = SIG_DFL;
    sigaction(signal, &fallBack, nullptr);
    raise(signal);  // delivered once the handler returns
    return;
  }
  terminationRequested = 1;
  alarm(terminationDeadlineSeconds);
  const char byte = 1;
  [[maybe_unused]] const auto written = write(terminationPipe[0], &byte, 1);
}

// SIGTERM (the session ending) and SIGINT quit the event loop, so that everything is torn down
// in order and queued usage saves are written; whatever holds the quit up (a scan, a blocked
// call), SIGALRM ends the process at the deadline, so that logging out never waits for us.
void quitOnTerminationSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0) return;
  auto* notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
    char bytes[16];
    [[maybe_unused]] const auto drained = read(terminationPipe[1], bytes, sizeof bytes);
    quitApplication();
  });
  struct sigaction action {};
  action.sa_handler = requestTermination;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// How a desktop's shortcut runs this program: `jolstrand` where that is what PATH finds, else
// its path, quoted as a shell would split it (GNOME does).
QString commandThatRunsThisProgram() {
  const QString program = QCoreApplication::applicationFilePath();
  const QString onPath = QStandardPaths::findExecutable(QStringLiteral("jolstrand"));
  if (!onPath.isEmpty() &&
      QFileInfo(onPath).canonicalFilePath() == QFileInfo(program).canonicalFilePath()) {
    return QStringLiteral("jolstrand");
  }
  // GNOME splits the command as a shell would: quote the path.
  QString quoted = program;
  quoted.replace(u'\'', QStringLiteral("'\\''"));
  return u'\'' + quoted + u'\'';
}

}  // namespace

int runLauncher(int argc, char** argv, const Environment& environment) {
  if (!sessionNamesDisplay(environment, std::vector<std::string>(argv, argv + argc))) {
    reportNoDisplay();
    return 1;
  }
  auto displayGuard = std::make_unique<DisplayConnectionGuard>();
  QApplication application(argc, argv);
  displayGuard.reset();
  // Compositors and portals know the program by its desktop entry's name (the Wayland app id).
  QGuiApplication::setDesktopFileName(
      QString::fromStdString(ProgramInfo::own().value("CFBundleIdentifier").value_or("")));
  // What this start was given is its own: no program it opens inherits its activation token or
  // the window system Qt was told to use.
  for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID", "QT_QPA_PLATFORM"}) {
    unsetenv(name);
  }
  QApplication::setApplicationName(QStringLiteral("Jolstrand"));
  // Closing the setup or about window must not quit: the launcher lives behind its hot key.
  QApplication::setQuitOnLastWindowClosed(false);
  becomeAccessoryApplication();

  // Decided first, so that two launchers never scan, grab the key or write the history at once.
  SingleInstance instance(SingleInstance::socketPath(environment.runtimeDir));
  if (!instance.claim()) {
    return instance.askRunningInstanceToShow(environment.activationToken) ? 0 : 1;
  }
#ifndef __APPLE__
  // Display, module and lock are ours: an update's restart has come up (and only now may the
  // updater remove the old version's folder).
  confirmUpdateStarted();
#endif

  Trace::traceTo(environment.traceFile);
  QtMainQueue mainQueue;
#ifdef __APPLE__
  const std::shared_ptr<const IconTheme> icons;
#else
  const auto icons = std::make_shared<const IconTheme>(
      environment.iconTheme("", QIcon::themeName().toStdString()));
#endif
  const auto workspace = makeWorkspace(
      {.searchPath = environment.searchPath, .terminal = environment.terminal, .icons = icons});
  const auto settings = openProgramSettings(environment.configHome);
  const auto windowSystem = makeWindowSystem(environment);
  const ShortcutRoute route = sessionShortcutRoute(environment);
  const QString shortcutCommand = commandThatRunsThisProgram();
  const std::string program = QCoreApplication::applicationFilePath().toStdString();
  AppDelegate delegate({
      .mainQueue = mainQueue,
      .workspace = *workspace,
      .settings = *settings,
      .program = ProgramInfo::own(),
      .arguments = std::vector<std::string>(argv, argv + argc),
      .screens = [&windowSystem] { return windowSystem->snapshot(); },
      .placePanel = [&windowSystem](QWidget& panel,
                                    const QRect& frame) { windowSystem->place(panel, frame); },
      .usageFile = UsageStore::defaultURL(environment.home, environment.dataHome),
      .catalogue = std::make_unique<ScannerCatalogue>(
          AppScanner::standard(environment.home, environment.root, environment.desktopSettings())),
      .hotKey = makeHotKeyBackend(route, shortcutCommand),
      .spotlight = makeSpotlightCheck(environment.configHome, environment.currentDesktop, route),
      .loginItem = makeLoginItem(environment.configHome, program),
      .updateEngine =
          [&settings, program](UpdateEngineEvents& events) {
            return makeUpdateEngine(events, {ProgramInfo::own(), program, *settings});
          },
      .openKeyboardSettings = [desktop =
                                   environment.currentDesktop] { openKeyboardSettings(desktop); },
      .route = route,
      .shortcutCommand = shortcutCommand,
  });
  QObject::connect(&instance, &SingleInstance::showRequested, &delegate,
                   &AppDelegate::startedAgain);
  // Later starts are answered once the launcher is ready for them: catalogue read, key held.
  QTimer::singleShot(0, &delegate, [&delegate, &instance] {
    delegate.applicationDidFinishLaunching();
    instance.startAnswering();
    // Made only now: the platform installs its own reopen handler while launching.
    QObject::connect(new ReopenEvents(&delegate), &ReopenEvents::reopened, &delegate,
                     [&delegate] { delegate.reopen(); });
  });
  quitOnTerminationSignals();
  return QApplication::exec();
}

}  // namespace jolstrand
