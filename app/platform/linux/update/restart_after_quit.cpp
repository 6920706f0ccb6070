#include "platform/linux/update/restart_after_quit.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "jolstrand/log.hpp"
#include "quit_application.hpp"

namespace jolstrand {
namespace {

struct Restart {
  std::string program;
  std::vector<std::string> arguments;
};

std::optional<Restart>& pendingRestart() {
  static std::optional<Restart> restart;
  return restart;
}

// Nothing this process opened is handed to the new program, not even what a library opened
// without close-on-exec; the descriptors stay usable here in case exec fails.
void closeEverythingOnExec() {
  if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
  DIR* folder = opendir("/proc/self/fd");  // kernels before 5.11
  if (!folder) return;
  while (const dirent* entry = readdir(folder)) {
    const int fd = std::atoi(entry->d_name);
    if (fd > 2 && fd != dirfd(folder)) fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  closedir(folder);
}

}  // namespace

void restartAfterQuit(std::string program, std::vector<std::string> arguments) {
  pendingRestart() = Restart{std::move(program), std::move(arguments)};
  // Queued, so that whoever asked returns first and the loop quits from its top.
  QMetaObject::invokeMethod(QCoreApplication::instance(), &quitApplication, Qt::QueuedConnection);
}

void execPendingRestart() {
  std::optional<Restart> restart = std::exchange(pendingRestart(), std::nullopt);
  if (!restart) return;
  std::vector<char*> argv{restart->program.data()};
  for (std::string& argument : restart->arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  closeEverythingOnExec();
  alarm(0);  // a quit's deadline (see launcher.cpp) is not the new program's
  execv(restart->program.c_str(), argv.data());
  logLine("couldn't restart into " + restart->program + ": " + std::strerror(errno));
}

}  // namespace jolstrand
