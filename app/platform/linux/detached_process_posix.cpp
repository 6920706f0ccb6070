#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/close_range.h>
#include <sys/syscall.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/detached_process.hpp"

namespace jolstrand {
namespace {

// Closes every descriptor from `from` on, except `keep`. Async-signal-safe.
void closeDescriptorsExcept(int from, int keep) {
#if defined(__linux__) && defined(SYS_close_range)
  if (keep > from) syscall(SYS_close_range, from, keep - 1, 0);
  syscall(SYS_close_range, keep + 1, ~0U, 0);
#else
  const long last = sysconf(_SC_OPEN_MAX);
  for (int fd = from; fd < last; ++fd) {
    if (fd != keep) close(fd);
  }
#endif
}

// This process's environment with the additions, each replacing a variable of its name.
std::vector<std::string> environmentWith(const EnvironmentAdditions& additions) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view text = *variable;
    const std::string_view name = text.substr(0, text.find('='));
    const bool replaced = std::any_of(additions.begin(), additions.end(), [&](const auto& added) {
      return added.size() > name.size() && added.compare(0, name.size(), name) == 0 &&
             added[name.size()] == '=';
    });
    if (!replaced) variables.emplace_back(text);
  }
  variables.insert(variables.end(), additions.begin(), additions.end());
  return variables;
}

}  // namespace

EnvironmentAdditions activationEnvironment(const std::string& token) {
  if (token.empty()) return {};
  return {"XDG_ACTIVATION_TOKEN=" + token, "DESKTOP_STARTUP_ID=" + token};
}

// Forks twice so that the program is adopted by init and never waits on us; a pipe that closes
// on exec carries the errno of a failed exec back.
std::optional<std::string> startDetached(const std::string& executable,
                                         const std::vector<std::string>& arguments,
                                         const EnvironmentAdditions& additions) {
  // Built before forking: the child only calls async-signal-safe functions.
  std::vector<char*> argv{const_cast<char*>(executable.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> variables = environmentWith(additions);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return std::strerror(errno);
  const pid_t child = fork();
  if (child < 0) {
    const int error = errno;
    close(report[0]);
    close(report[1]);
    return std::strerror(error);
  }
  if (child == 0) {
    setsid();
    const pid_t program = fork();
    if (program < 0) {
      const int error = errno;
      [[maybe_unused]] const auto written = write(report[1], &error, sizeof error);
      _exit(1);
    }
    if (program > 0) _exit(0);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
    closeDescriptorsExcept(3, report[1]);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      if (devNull > STDERR_FILENO) close(devNull);
    }
    execve(executable.c_str(), argv.data(), envp.data());
    const int error = errno;
    [[maybe_unused]] const auto written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got = 0;
  while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof error)) return std::strerror(error);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the program could not be started";
  return std::nullopt;
}

}  // namespace jolstrand
