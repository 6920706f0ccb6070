#include "platform/linux/update/restart_after_quit.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "jolstrand/log.hpp"
#include "quit_application.hpp"

extern char** environ;

namespace jolstrand {
namespace {

constexpr char confirmVariable[] = "JOLSTRAND_UPDATE_CONFIRM_FD";
constexpr char watchdogVariable[] = "JOLSTRAND_UPDATE_WATCHDOG";
constexpr char confirmByte = 'k';

struct Restart {
  std::string program;
  std::vector<std::string> arguments;
  RestartRollback rollback;
};

std::optional<Restart>& pendingRestart() {
  static std::optional<Restart> restart;
  return restart;
}

int& confirmationFd() {
  static int fd = -1;
  return fd;
}

pid_t& watchdogPid() {
  static pid_t pid = -1;
  return pid;
}

// The number in the environment variable, or none.
std::optional<int> numberIn(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  int number = -1;
  const std::string_view text(value);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
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

// The environment without the variables of an earlier restart, plus extra ones if given.
std::vector<char*> environmentWith(const std::vector<std::string*>& extra) {
  std::vector<char*> kept;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view entry(*variable);
    if (entry.starts_with(std::string(confirmVariable) + "=") ||
        entry.starts_with(std::string(watchdogVariable) + "="))
      continue;
    kept.push_back(*variable);
  }
  for (std::string* variable : extra) kept.push_back(variable->data());
  kept.push_back(nullptr);
  return kept;
}

long long millisecondsNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// Whether the confirmation came before the deadline; false on the pipe's end or the deadline.
// Only calls that are safe in a child forked from a process with threads.
enum class Heard { confirmed, ended, timedOut };
Heard waitForConfirmation(int fd, long long deadline) {
  for (;;) {
    const long long left = deadline - millisecondsNow();
    if (left <= 0) return Heard::timedOut;
    pollfd readable{.fd = fd, .events = POLLIN, .revents = 0};
    const int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char byte = 0;
    const ssize_t got = read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got == 1 && byte == confirmByte) return Heard::confirmed;
    if (got <= 0) return Heard::ended;
  }
}

void say(const char* text) {
  [[maybe_unused]] const auto written = write(2, text, std::strlen(text));
}

// The watchdog, in the forked child: everything it needs was prepared before the fork.
[[noreturn]] void watch(int fd, pid_t launcher, const Restart& restart, char* const* argv,
                        char* const* environment, long long deadline) {
  setsid();  // a terminal's hangup, which may end the launcher, does not end the watchdog
  const Heard heard = waitForConfirmation(fd, deadline);
  if (heard == Heard::confirmed) _exit(0);
  if (heard == Heard::timedOut) {
    kill(launcher, SIGKILL);
    (void)waitForConfirmation(fd, millisecondsNow() + 10'000);
  }
  const RestartRollback& rollback = restart.rollback;
  if (renameat2(AT_FDCWD, rollback.installation.c_str(), AT_FDCWD, rollback.previous.c_str(),
                RENAME_EXCHANGE) != 0) {
    say("Jolstrand: the new version did not start, and the old one could not be put back\n");
    _exit(1);
  }
  say("Jolstrand: the new version did not start, so the old one was put back\n");
  execve(argv[0], argv, environment);
  say("Jolstrand: couldn't start the old version again\n");
  _exit(1);
}

}  // namespace

void restartAfterQuit(std::string program, std::vector<std::string> arguments,
                      RestartRollback rollback) {
  pendingRestart() = Restart{std::move(program), std::move(arguments), std::move(rollback)};
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

  const bool guarded =
      !restart->rollback.installation.empty() && !restart->rollback.previous.empty();
  int confirm[2] = {-1, -1};
  std::vector<std::string> variables;
  if (guarded && pipe2(confirm, O_CLOEXEC) == 0) {
    const std::vector<char*> oldEnvironment = environmentWith({});
    const long long deadline = millisecondsNow() + restart->rollback.confirmSeconds * 1000LL;
    const pid_t launcher = getpid();
    const pid_t watchdog = fork();
    if (watchdog == 0) {
      close(confirm[1]);
      watch(confirm[0], launcher, *restart, argv.data(), oldEnvironment.data(), deadline);
    }
    close(confirm[0]);
    if (watchdog < 0) {
      logLine(std::string("couldn't guard the restart: ") + std::strerror(errno));
      close(confirm[1]);
      confirm[1] = -1;
    } else {
      fcntl(confirm[1], F_SETFD, 0);  // the one descriptor the new program inherits
      // The new program, the watchdog's parent once this process has become it, reaps it.
      variables = {std::string(confirmVariable) + "=" + std::to_string(confirm[1]),
                   std::string(watchdogVariable) + "=" + std::to_string(watchdog)};
    }
  }
  std::vector<std::string*> extra;
  for (std::string& variable : variables) extra.push_back(&variable);
  const std::vector<char*> environment = environmentWith(extra);
  execve(restart->program.c_str(), argv.data(), environment.data());
  logLine("couldn't restart into " + restart->program + ": " + std::strerror(errno));
  if (confirm[1] >= 0) close(confirm[1]);  // the watchdog puts the old version back
}

void takeUpdateConfirmation() {
  const std::optional<int> fd = numberIn(confirmVariable);
  const std::optional<int> watchdog = numberIn(watchdogVariable);
  unsetenv(confirmVariable);
  unsetenv(watchdogVariable);
  if (!fd || *fd < 3 || fcntl(*fd, F_SETFD, FD_CLOEXEC) != 0) return;
  confirmationFd() = *fd;
  if (watchdog && *watchdog > 0) watchdogPid() = *watchdog;
}

void confirmUpdateStarted() {
  const int fd = std::exchange(confirmationFd(), -1);
  if (fd < 0) return;
  [[maybe_unused]] const auto written = write(fd, &confirmByte, 1);
  close(fd);
  // It ends as soon as it has read the byte; only a child of this process is waited for.
  if (const pid_t watchdog = std::exchange(watchdogPid(), -1); watchdog > 0 && watchdog != getpid())
    while (waitpid(watchdog, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace jolstrand
