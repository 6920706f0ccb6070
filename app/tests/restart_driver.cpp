// Stands in for the launcher in the restart test: holds the single-instance lock and socket and a
// descriptor opened without close-on-exec, asks for a restart under a running event loop, lets
// everything go as the launcher does when it returns, then restarts.
//
// Usage: restart_driver SOCKET PROGRAM [ARGUMENT...]
// With ROLLBACK_FROM set, the restart can go back to that folder, the installation being the
// folder two above PROGRAM, after ROLLBACK_SECONDS (60 unless set) without a confirmation.

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/update/restart_after_quit.hpp"
#include "single_instance.hpp"

int main(int argc, char** argv) {
  if (argc < 3) return 64;
  const std::string program = argv[2];
  const std::vector<std::string> arguments(argv + 3, argv + argc);
  jolstrand::RestartRollback rollback;
  if (const char* from = std::getenv("ROLLBACK_FROM")) {
    rollback.previous = from;
    rollback.installation = std::filesystem::path(program).parent_path().parent_path().string();
    if (const char* seconds = std::getenv("ROLLBACK_SECONDS"))
      rollback.confirmSeconds = std::atoi(seconds);
  }
  {
    QCoreApplication application(argc, argv);
    jolstrand::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.claim()) return 65;
    // As a library might leave one.
    if (dup2(open("/dev/null", O_RDONLY), 100) != 100) return 66;
    QTimer::singleShot(0, &application,
                       [&] { jolstrand::restartAfterQuit(program, arguments, rollback); });
    if (QCoreApplication::exec() != 0) return 67;
  }
  jolstrand::execPendingRestart();
  return 68;
}
