#include "platform/linux/update/restart_after_quit.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "folder_contents.hpp"

extern char** environ;

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using testing::fileContents;
using ::testing::HasSubstr;
using ::testing::Not;

// The new version, as a script that notes what it was started with and what it found.
constexpr char program[] = R"(#!/bin/sh
{
  echo "pid $$"
  echo "arguments $*"
  if [ -e /proc/$$/fd/100 ]; then echo "descriptor 100 inherited"; fi
  if [ -e "$2" ]; then echo "socket left behind"; fi
  if flock -n "$2.lock" true; then echo "lock free"; fi
} >"$1"
)";

class RestartAfterQuit : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("restart_" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "jolstrand") << program;
    fs::permissions(folder / "jolstrand", fs::perms::owner_exec, fs::perm_options::add);
  }
  void TearDown() override { fs::remove_all(folder); }

  // Runs the driver, which restarts into target; answers its process id and exit status.
  std::pair<pid_t, int> runDriver(const fs::path& target) {
    const std::string socket = (folder / "jolstrand.socket").string();
    const std::string marker = (folder / "marker").string();
    const std::string errors = (folder / "errors").string();
    std::vector<std::string> args = {JOLSTRAND_RESTART_DRIVER, socket, target.string(), marker,
                                     socket};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = -1;
    int status = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
      waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return {child, status};
  }

  fs::path folder;
};

TEST_F(RestartAfterQuit, ReplacesTheProcessOnceEverythingIsReleased) {
  const auto [pid, status] = runDriver(folder / "jolstrand");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << fileContents(folder / "errors");
  const std::string noted = fileContents(folder / "marker");
  EXPECT_THAT(noted, HasSubstr("pid " + std::to_string(pid) + "\n"));
  EXPECT_THAT(noted, HasSubstr("arguments " + (folder / "marker").string() + " " +
                               (folder / "jolstrand.socket").string() + "\n"));
  EXPECT_THAT(noted, HasSubstr("lock free"));
  EXPECT_THAT(noted, Not(HasSubstr("socket left behind")));
  EXPECT_THAT(noted, Not(HasSubstr("inherited")));
}

TEST_F(RestartAfterQuit, LogsAndReturnsWhenTheNewProgramCannotStart) {
  const auto [pid, status] = runDriver(folder / "missing");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 68);  // execPendingRestart returned
  EXPECT_THAT(fileContents(folder / "errors"),
              HasSubstr("Jolstrand: couldn't restart into " + (folder / "missing").string() +
                        ": No such file or directory"));
  EXPECT_FALSE(fs::exists(folder / "marker"));
}

}  // namespace
}  // namespace jolstrand
