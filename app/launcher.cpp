#include "launcher.hpp"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

#include "app_delegate.hpp"
#include "platform/accessory_app.hpp"
#include "platform/keyboard_settings.hpp"
#include "platform/login_item.hpp"
#include "platform/program_settings.hpp"
#include "platform/reopen_events.hpp"
#include "platform/screen_sources.hpp"
#include "platform/update_engine.hpp"
#include "platform/workspace.hpp"
#include "program_info.hpp"
#include "qt_main_queue.hpp"
#include "single_instance.hpp"
#include "trace.hpp"

namespace jolstrand {
namespace {

int terminationPipe[2] = {-1, -1};

// SIGTERM (the session ending) and SIGINT quit the event loop, so that everything is torn down
// in order and queued usage saves are written. The handler only writes to a socket.
void quitOnTerminationSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0) return;
  auto* notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { QCoreApplication::quit(); });
  struct sigaction action {};
  action.sa_handler = [](int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(terminationPipe[0], &byte, 1);
  };
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int runLauncher(int argc, char** argv, const Environment& environment) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Jolstrand"));
  // Closing the setup or about window must not quit: the launcher lives behind its hot key.
  QApplication::setQuitOnLastWindowClosed(false);
  becomeAccessoryApplication();

  // Decided first, so that two launchers never scan, grab the key or write the history at once.
  SingleInstance instance(SingleInstance::socketPath(environment.runtimeDir));
  if (!instance.claim()) return instance.askRunningInstanceToShow() ? 0 : 1;

  Trace::traceTo(environment.traceFile);
  QtMainQueue mainQueue;
#ifdef __APPLE__
  const std::shared_ptr<const IconTheme> icons;
#else
  const auto icons =
      std::make_shared<const IconTheme>(environment.iconTheme("", QIcon::themeName().toStdString()));
#endif
  const auto workspace = makeWorkspace(
      {.searchPath = environment.searchPath, .terminal = environment.terminal, .icons = icons});
  const auto settings = openProgramSettings(environment.configHome);
  const std::string program = QCoreApplication::applicationFilePath().toStdString();
  AppDelegate delegate({
      .mainQueue = mainQueue,
      .workspace = *workspace,
      .settings = *settings,
      .program = ProgramInfo::own(),
      .arguments = std::vector<std::string>(argv, argv + argc),
      .screens = &currentScreenSnapshot,
      .usageFile = UsageStore::defaultURL(environment.home, environment.dataHome),
      .catalogue = std::make_unique<ScannerCatalogue>(
          AppScanner::standard(environment.home, environment.root, environment.desktopSettings())),
      .hotKey = makeHotKeyBackend(),
      .spotlight = makeSpotlightCheck(environment.configHome, environment.currentDesktop),
      .loginItem = makeLoginItem(environment.configHome, program),
      .updateEngine =
          [&settings, program](UpdateEngineEvents& events) {
            return makeUpdateEngine(events, {ProgramInfo::own(), program, *settings});
          },
      .openKeyboardSettings = [desktop =
                                   environment.currentDesktop] { openKeyboardSettings(desktop); },
  });
  QObject::connect(&instance, &SingleInstance::showRequested, &delegate, &AppDelegate::reopen);
  // Later starts are answered once the launcher is ready for them: catalogue read, key held.
  QTimer::singleShot(0, &delegate, [&delegate, &instance] {
    delegate.applicationDidFinishLaunching();
    instance.startAnswering();
    // Made only now: the platform installs its own reopen handler while launching.
    QObject::connect(new ReopenEvents(&delegate), &ReopenEvents::reopened, &delegate,
                     &AppDelegate::reopen);
  });
  quitOnTerminationSignals();
  return QApplication::exec();
}

}  // namespace jolstrand
