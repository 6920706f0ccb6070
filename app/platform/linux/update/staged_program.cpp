#include "platform/linux/update/staged_program.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "jolstrand/log.hpp"

extern char** environ;

namespace jolstrand {
namespace {

constexpr std::size_t maxOutput = 4096;

// This process's environment without what would let the program reach a display or take part in
// an update's restart.
std::vector<char*> environmentWithoutDisplay() {
  std::vector<char*> kept;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view entry(*variable);
    if (entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY=") ||
        entry.starts_with("JOLSTRAND_UPDATE_"))
      continue;
    kept.push_back(*variable);
  }
  kept.push_back(nullptr);
  return kept;
}

std::string quoted(std::string_view output) {
  while (output.ends_with('\n')) output.remove_suffix(1);
  if (output.empty()) return "nothing";
  return "\"" + escapedControls(output) + "\"";
}

}  // namespace

std::optional<std::string> checkStagedProgram(const std::string& program,
                                              std::string_view expectedBuild, int timeoutMs) {
  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0)
    return std::string("couldn't try the update's program: ") + std::strerror(errno);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_adddup2(&actions, output[1], 2);
  std::string path = program;
  std::string argument = selfTestArgument;
  char* const argv[] = {path.data(), argument.data(), nullptr};
  const std::vector<char*> environment = environmentWithoutDisplay();
  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environment.data());
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawned != 0) {
    close(output[0]);
    return "the update's program cannot run on this machine (" + std::string(strerror(spawned)) +
           ")";
  }

  std::string printed;
  bool timedOut = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd readable{.fd = output[0], .events = POLLIN, .revents = 0};
    const int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char bytes[512];
    const ssize_t got = read(output[0], bytes, sizeof bytes);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (printed.size() < maxOutput)
      printed.append(bytes, std::min(static_cast<std::size_t>(got), maxOutput - printed.size()));
  }
  close(output[0]);
  if (timedOut) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut)
    return "the update's program did not finish its self-test within " +
           std::to_string(timeoutMs / 1000) + " s";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    const std::string how = WIFEXITED(status)
                                ? "exited with status " + std::to_string(WEXITSTATUS(status))
                                : "was ended by signal " + std::to_string(WTERMSIG(status));
    return "the update's program cannot run on this machine: its self-test " + how +
           " and printed " + quoted(printed);
  }
  const std::string expected = " (build " + std::string(expectedBuild) + ")\n";
  if (!printed.starts_with("Jolstrand ") || !printed.ends_with(expected) ||
      printed.find('\n') != printed.size() - 1)
    return "the update's program reported " + quoted(printed) + ", not build " +
           std::string(expectedBuild);
  return std::nullopt;
}

}  // namespace jolstrand
