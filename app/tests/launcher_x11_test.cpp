// The launcher for real, under an X server (CTest runs this binary through xvfb-run): the real
// executable on a fixture catalogue, driven by xdotool as a user would drive it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fixture_tree.hpp"
#include "hot_key.hpp"

namespace jolstrand {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// The panel holds the keyboard focus, so typing reaches it.
bool panelFocused() {
  return std::system(
             "test \"$(xdotool getwindowfocus 2>/dev/null)\" = "
             "\"$(xdotool search --onlyvisible --classname '^jolstrand$' 2>/dev/null)\"") == 0;
}

bool panelVisible() {
  return std::system("xdotool search --onlyvisible --classname '^jolstrand$' >/dev/null 2>&1") == 0;
}

void xdotool(const std::string& arguments) {
  ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

std::string contents(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    bundle("Applications/Marker Tool.app", "com.example.marker", "marker");
    tree.folder("Home/Applications");
    tree.folder("Shared/applications");
    chmod(tree.folder("run").c_str(), 0700);
    launcher = start();
    ASSERT_TRUE(eventually([&] { return fs::exists(tree.path("run/jolstrand.socket")); }));
  }
  // Quitting is clean: the launcher ends by itself, with status 0.
  void TearDown() override {
    kill(launcher, SIGTERM);
    int status = -1;
    waitpid(launcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  // A bundle whose program leaves a marker file when it runs.
  void bundle(const std::string& at, const std::string& identifier, const std::string& marker) {
    testing::Info info;
    info.identifier = identifier;
    info.executable = "run";
    tree.bundle(at, info);
    const std::string script =
        tree.file(at + "/Contents/MacOS/run", "#!/bin/sh\ntouch '" + tree.path(marker) + "'\n");
    chmod(script.c_str(), 0755);
  }

  pid_t start() {
    const pid_t child = fork();
    if (child == 0) {
      setenv("JOLSTRAND_ROOT", tree.path("").c_str(), 1);
      setenv("HOME", tree.path("Home").c_str(), 1);
      setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
      setenv("XDG_DATA_DIRS", tree.path("Shared").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", tree.path("run").c_str(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      execl(JOLSTRAND_EXECUTABLE, JOLSTRAND_EXECUTABLE, nullptr);
      _exit(127);
    }
    return child;
  }

  void summon() {
    xdotool("key super+space");
    ASSERT_TRUE(eventually(panelVisible));
    ASSERT_TRUE(eventually(panelFocused));
  }

  // Types query and Return until the marker appears: the watcher's quiet second and the rescan
  // take a moment before something new answers.
  bool opensAfterARescan(const std::string& query, const std::string& marker) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      std::this_thread::sleep_for(1s);
      summon();
      xdotool("type --delay 40 " + query);
      xdotool("key Return");
      if (eventually([&] { return fs::exists(tree.path(marker)); }, 1s)) return true;
      xdotool("key Escape");
    }
    return false;
  }

  testing::FixtureTree tree;
  pid_t launcher = 0;
};

TEST_F(Launcher, OpensWhatIsTypedAndRecordsTheLaunch) {
  summon();
  xdotool("type --delay 40 marker");
  xdotool("key Return");
  EXPECT_TRUE(eventually([&] { return fs::exists(tree.path("marker")); }));
  EXPECT_TRUE(eventually([] { return !panelVisible(); }));
  EXPECT_TRUE(eventually([&] {
    return contents(tree.path("data/Jolstrand/usage.json")).find("com.example.marker") !=
           std::string::npos;
  }));
}

TEST_F(Launcher, TogglesHidesAndAnswersASecondStart) {
  summon();
  xdotool("key Escape");
  EXPECT_TRUE(eventually([] { return !panelVisible(); }));
  summon();
  xdotool("key super+space");
  EXPECT_TRUE(eventually([] { return !panelVisible(); }));

  const pid_t second = start();
  int status = -1;
  waitpid(second, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(eventually(panelVisible));
}

TEST_F(Launcher, FindsABundleCopiedIntoAWatchedFolder) {
  bundle("Elsewhere/Fresh Paint.app", "com.example.fresh", "fresh");
  fs::copy(tree.path("Elsewhere/Fresh Paint.app"), tree.path("Applications/Fresh Paint.app"),
           fs::copy_options::recursive);
  EXPECT_TRUE(opensAfterARescan("fresh", "fresh"));
}

TEST_F(Launcher, FindsADesktopEntryInstalledWhileRunningAndStartsIt) {
  const std::string program = tree.file(
      "bin/lathe", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + tree.path("lathe.tmp") + "'\nmv '" +
                       tree.path("lathe.tmp") + "' '" + tree.path("lathe") + "'\n");
  chmod(program.c_str(), 0755);
  tree.file("Shared/applications/org.example.Lathe.desktop",
            "[Desktop Entry]\nType=Application\nName=Woodturner\nKeywords=lathe;\nExec=" + program +
                " --spin \"slow speed\" %U\n");
  ASSERT_TRUE(opensAfterARescan("lathe", "lathe"));
  EXPECT_EQ(contents(tree.path("lathe")), "--spin|slow speed|");
}

TEST(HotKey, ReportsTheXErrorWhenAnotherClientHoldsTheKey) {
  {
    HotKey free([] {});
    EXPECT_EQ(free.registerKey(), 0);
    EXPECT_EQ(free.registerKey(), 0);  // again: still exactly one registration
  }                                    // destroyed: the key is given back

  // Another client takes Super with every key, Space among them.
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  ASSERT_EQ(xcb_connection_has_error(other), 0);
  const xcb_setup_t* setup = xcb_get_setup(other);
  const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
  for (int code = setup->min_keycode; code <= setup->max_keycode; ++code) {
    xcb_grab_key(other, 1, root, XCB_MOD_MASK_4, static_cast<xcb_keycode_t>(code),
                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }
  std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));  // a sync

  HotKey taken([] {});
  EXPECT_EQ(taken.registerKey(), 10);  // BadAccess
  xcb_disconnect(other);
  EXPECT_EQ(taken.registerKey(), 0);  // nothing half-grabbed was left in the way
}

}  // namespace
}  // namespace jolstrand

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
