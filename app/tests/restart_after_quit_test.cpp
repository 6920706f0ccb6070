#include "platform/linux/update/restart_after_quit.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

// The new version of an installation, and the old one put aside beside it; the old one notes that
// it was started again.
class RestartAfterUpdate : public RestartAfterQuit {
 protected:
  void SetUp() override {
    RestartAfterQuit::SetUp();
    fs::create_directories(installation() / "bin");
    fs::create_directories(previous() / "bin");
    write(
        previous() / "bin" / "jolstrand",
        "#!/bin/sh\necho \"old started $1 ${JOLSTRAND_UPDATE_CONFIRM_FD:-unguarded}\" >>\"$1\"\n");
    setenv("ROLLBACK_FROM", previous().c_str(), 1);
    setenv("ROLLBACK_SECONDS", "1", 1);
  }
  void TearDown() override {
    unsetenv("ROLLBACK_FROM");
    unsetenv("ROLLBACK_SECONDS");
    RestartAfterQuit::TearDown();
  }
  static void write(const fs::path& path, const std::string& script) {
    std::ofstream(path) << script;
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
  }
  fs::path installation() const { return folder / "Jolstrand"; }
  fs::path previous() const { return folder / "Jolstrand.old-1"; }

  // What the marker says once it says something (the watchdog works after the driver ends).
  std::string markerWithin(int seconds) {
    for (int tries = 0; tries < seconds * 20; ++tries) {
      if (fs::exists(folder / "marker") && !fileContents(folder / "marker").empty()) break;
      usleep(50'000);
    }
    return fs::exists(folder / "marker") ? fileContents(folder / "marker") : "";
  }
};

// A new version that cannot start, whichever way it fails, is exchanged for the old one again,
// which then runs in its place, with the same arguments.
TEST_F(RestartAfterUpdate, PutsTheOldVersionBackWhenTheNewOneDoesNotComeUp) {
  const struct {
    const char* what;
    const char* program;  // none: the exec fails
  } cases[] = {
      {"it ends at once", "#!/bin/sh\nexit 1\n"},
      {"it never confirms", "#!/bin/sh\nexec sleep 30\n"},
      {"it cannot be executed", nullptr},
  };
  for (const auto& failing : cases) {
    SCOPED_TRACE(failing.what);
    fs::remove(folder / "marker");
    fs::remove(installation() / "bin" / "jolstrand");
    if (failing.program) write(installation() / "bin" / "jolstrand", failing.program);
    runDriver(installation() / "bin" / "jolstrand");
    EXPECT_EQ(markerWithin(15), "old started " + (folder / "marker").string() + " unguarded\n");
    EXPECT_THAT(fileContents(installation() / "bin" / "jolstrand"), HasSubstr("old started"));
    // Back as they were, for the next case.
    fs::rename(installation(), folder / "swap");
    fs::rename(previous(), installation());
    fs::rename(folder / "swap", previous());
  }
}

TEST_F(RestartAfterUpdate, LeavesTheNewVersionThatConfirms) {
  write(installation() / "bin" / "jolstrand",
        "#!/bin/sh\neval \"echo k >&$JOLSTRAND_UPDATE_CONFIRM_FD\"\necho confirmed >\"$1\"\n"
        "sleep 2\n");
  const auto [pid, status] = runDriver(installation() / "bin" / "jolstrand");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << fileContents(folder / "errors");
  EXPECT_EQ(fileContents(folder / "marker"), "confirmed\n");
  EXPECT_THAT(fileContents(installation() / "bin" / "jolstrand"), HasSubstr("confirmed"));
  EXPECT_THAT(fileContents(previous() / "bin" / "jolstrand"), HasSubstr("old started"));
}

}  // namespace
}  // namespace jolstrand
