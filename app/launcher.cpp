#include "launcher.hpp"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

#include "app_delegate.hpp"
#include "platform/accessory_app.hpp"
#include "platform/reopen_events.hpp"
#include "platform/workspace.hpp"
#include "qt_main_queue.hpp"
#include "single_instance.hpp"

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

int runLauncher(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Jolstrand"));
  QApplication::setQuitOnLastWindowClosed(false);  // a menu-bar launcher has no main window
  becomeAccessoryApplication();

  SingleInstance instance;
  if (instance.askRunningInstanceToShow()) return 0;

  QtMainQueue mainQueue;
  const auto workspace = makeWorkspace();
  AppDelegate delegate(mainQueue, *workspace);
  instance.onShowRequested = [&delegate] { delegate.reopen(); };
  // Later starts are answered once the launcher is ready for them: catalogue read, key held.
  QTimer::singleShot(0, &delegate, [&delegate, &instance] {
    delegate.applicationDidFinishLaunching();
    instance.listen();
    QObject::connect(new ReopenEvents(&delegate), &ReopenEvents::reopened, &delegate,
                     &AppDelegate::reopen);
  });
  quitOnTerminationSignals();
  return QApplication::exec();
}

}  // namespace jolstrand
