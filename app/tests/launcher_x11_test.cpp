// The launcher for real, under an X server (CTest runs this binary through xvfb-run): the real
// executable on a fixture catalogue, driven by xdotool as a user would drive it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "fixture_tree.hpp"
#include "launcher_tree.hpp"
#include "platform/linux/desktop_hot_keys.hpp"
#include "platform/screen_sources.hpp"

namespace jolstrand {
namespace {

using testing::contents;

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

// The first line a shell command prints.
std::string firstLine(const std::string& command) {
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  std::array<char, 256> line{};
  if (!pipe || fgets(line.data(), line.size(), pipe.get()) == nullptr) return {};
  std::string text(line.data());
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// Set when the tests run under a real window manager (see main).
bool underWindowManager() {
  return !qEnvironmentVariable("JOLSTRAND_TEST_WM").isEmpty();
}

// Whether window a is stacked above window b: by the window manager's stacking list where there
// is one, else by the order of the root window's children.
bool stackedAbove(xcb_window_t a, xcb_window_t b) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  std::vector<xcb_window_t> order;
  const char name[] = "_NET_CLIENT_LIST_STACKING";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
  if (atom != nullptr && atom->atom != XCB_ATOM_NONE) {
    xcb_get_property_reply_t* stacking = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 4096),
        nullptr);
    if (stacking != nullptr && stacking->format == 32) {
      const auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(stacking));
      order.assign(first, first + xcb_get_property_value_length(stacking) / 4);
    }
    std::free(stacking);
  }
  std::free(atom);
  if (order.empty()) {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (tree != nullptr) {
      const xcb_window_t* first = xcb_query_tree_children(tree);
      order.assign(first, first + xcb_query_tree_children_length(tree));
    }
    std::free(tree);
  }
  xcb_disconnect(connection);
  const auto aAt = std::find(order.begin(), order.end(), a);
  const auto bAt = std::find(order.begin(), order.end(), b);
  return aAt != order.end() && bAt != order.end() && aAt > bAt;
}

// The screen (in the test's own view of the screens) holding a window's centre.
QScreen* screenOf(const std::string& window) {
  const std::string geometry =
      firstLine("xdotool getwindowgeometry --shell " + window + " | tr '\\n' ' '");
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  if (std::sscanf(geometry.c_str(), "WINDOW=%*u X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width,
                  &height) != 4) {
    return nullptr;
  }
  return QGuiApplication::screenAt(QPoint(x + width / 2, y + height / 2));
}

// A fixture catalogue and home for launchers started by the test.
class LauncherTree : public ::testing::Test {
 protected:
  void SetUp() override { testing::plantLauncherTree(tree); }

  pid_t start() {
    const pid_t child = fork();
    if (child == 0) {
      for (const auto& [name, value] : testing::launcherEnvironment(tree)) {
        setenv(name.c_str(), value.c_str(), 1);
      }
      setenv("JOLSTRAND_TRACE", tree.path("trace.log").c_str(), 1);
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

  // How often the panel was shown by the hot key: each showing leaves one trace line.
  int panelShowings() {
    const std::string trace = contents(tree.path("trace.log"));
    int count = 0;
    for (auto at = trace.find("hotKeyToPanel "); at != std::string::npos;
         at = trace.find("hotKeyToPanel ", at + 1)) {
      ++count;
    }
    return count;
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
};

class Launcher : public LauncherTree {
 protected:
  void SetUp() override {
    LauncherTree::SetUp();
    launcher = start();
    // The socket appears once the launcher is the one running; a second start is answered once
    // it has started (catalogue read, key held).
    ASSERT_TRUE(eventually([&] { return fs::exists(tree.path("run/jolstrand.socket")); }));
    const pid_t second = start();
    waitpid(second, nullptr, 0);
    ASSERT_TRUE(eventually(panelVisible));
    ASSERT_TRUE(eventually(panelFocused));
    xdotool("key Escape");
    ASSERT_TRUE(eventually([] { return !panelVisible(); }));
  }
  // Quitting is clean: the launcher ends by itself, with status 0.
  void TearDown() override {
    kill(launcher, SIGTERM);
    int status = -1;
    waitpid(launcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

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
  tree.runnableBundle("Elsewhere/Fresh Paint.app", "fresh", {.identifier = "com.example.fresh"});
  fs::copy(tree.path("Elsewhere/Fresh Paint.app"), tree.path("Applications/Fresh Paint.app"),
           fs::copy_options::recursive);
  EXPECT_TRUE(opensAfterARescan("fresh", "fresh"));
}

TEST_F(Launcher, FindsADesktopEntryInstalledWhileRunningAndStartsIt) {
  const std::string program = tree.program(
      "bin/lathe", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + tree.path("lathe.tmp") + "'\nmv '" +
                       tree.path("lathe.tmp") + "' '" + tree.path("lathe") + "'\n");
  tree.file("Shared/applications/org.example.Lathe.desktop",
            "[Desktop Entry]\nType=Application\nName=Woodturner\nKeywords=lathe;\nExec=" + program +
                " --spin \"slow speed\" %U\n");
  ASSERT_TRUE(opensAfterARescan("lathe", "lathe"));
  EXPECT_EQ(contents(tree.path("lathe")), "--spin|slow speed|");
}

// Another application's window has the focus. The hot key brings the panel above it, on its
// screen, with the keyboard; what is typed reaches the panel; Escape gives the focus back.
TEST_F(Launcher, TakesTheFocusFromTheFrontWindowAndGivesItBack) {
  const QRect last = QGuiApplication::screens().last()->geometry();
  const std::string placement =
      std::to_string(last.x() + 100) + "+" + std::to_string(last.y() + 100);
  const pid_t front = fork();
  if (front == 0) {
    execlp("xterm", "xterm", "-class", "JolstrandFront", "-geometry",
           ("60x20+" + placement).c_str(), nullptr);
    _exit(127);
  }
  const std::string window = firstLine(
      "timeout 10 xdotool search --sync --onlyvisible --class JolstrandFront 2>/dev/null");
  ASSERT_FALSE(window.empty());
  // A window manager is asked to activate it; without one the focus is set directly.
  xdotool((underWindowManager() ? "windowactivate --sync " : "windowfocus --sync ") + window);
  const auto frontFocused = [&] { return firstLine("xdotool getwindowfocus") == window; };
  ASSERT_TRUE(eventually(frontFocused));

  summon();
  const std::string panel =
      firstLine("xdotool search --onlyvisible --classname '^jolstrand$' 2>/dev/null");
  EXPECT_TRUE(stackedAbove(static_cast<xcb_window_t>(std::stoul(panel)),
                           static_cast<xcb_window_t>(std::stoul(window))));
  EXPECT_EQ(screenOf(panel), screenOf(window));
  xdotool("key Escape");
  EXPECT_TRUE(eventually([] { return !panelVisible(); }));
  // Handing the focus back to the window below is the window manager's part; a bare X server
  // leaves it nowhere.
  if (underWindowManager()) {
    EXPECT_TRUE(eventually(frontFocused));
  }

  summon();
  xdotool("type --delay 40 marker");
  xdotool("key Return");
  EXPECT_TRUE(eventually([&] { return fs::exists(tree.path("marker")); }));
  kill(front, SIGTERM);
  waitpid(front, nullptr, 0);
}

TEST_F(Launcher, ShowsThePanelOnceWhileTheHotKeyIsHeld) {
  // Held long enough for the X server to repeat the key many times.
  xdotool("keydown super+space sleep 1.5 keyup space sleep 0.2 keyup super");
  EXPECT_TRUE(eventually(panelVisible));
  std::this_thread::sleep_for(500ms);  // let any late repeat arrive
  EXPECT_TRUE(panelVisible());
  EXPECT_EQ(panelShowings(), 1);
  xdotool("key super+space");  // a new press after the release still toggles
  EXPECT_TRUE(eventually([] { return !panelVisible(); }));
}

// Starts made at the same moment: exactly one launcher keeps running; the others, though it is
// still reading its catalogue, hand it the request to show its panel and end with status 0.
TEST_F(LauncherTree, FiveStartedAtOnceLeaveOneRunning) {
  std::vector<pid_t> running;
  for (int i = 0; i < 5; ++i) running.push_back(start());
  std::vector<int> endings;
  eventually([&] {
    for (auto it = running.begin(); it != running.end();) {
      int status = -1;
      if (waitpid(*it, &status, WNOHANG) == *it) {
        endings.push_back(status);
        it = running.erase(it);
      } else {
        ++it;
      }
    }
    return running.size() <= 1;
  });
  std::this_thread::sleep_for(1s);  // a second survivor would not end by itself
  for (const int status : endings) EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(running.size(), 1U);
  EXPECT_TRUE(eventually(panelVisible));
  for (const pid_t survivor : running) {
    kill(survivor, SIGTERM);
    int status = -1;
    waitpid(survivor, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
}

TEST(HotKey, ReportsTheXErrorWhenAnotherClientHoldsTheKey) {
  {
    const auto free = makeX11HotKey();
    EXPECT_EQ(free->registerKey(), 0);
    EXPECT_EQ(free->registerKey(), 0);  // again: still exactly one registration
  }                                     // destroyed: the key is given back

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

  const auto taken = makeX11HotKey();
  EXPECT_EQ(taken->registerKey(), 10);  // BadAccess
  xcb_disconnect(other);
  EXPECT_EQ(taken->registerKey(), 0);  // nothing half-grabbed was left in the way
}

// Plays the window manager's part: windows with the EWMH properties a window manager would set.
class FakeWindowManager {
 public:
  FakeWindowManager()
      : connection_(xcb_connect(nullptr, nullptr)),
        screen_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data) {}
  ~FakeWindowManager() {
    for (const char* name :
         {"_NET_CLIENT_LIST_STACKING", "_NET_ACTIVE_WINDOW", "_NET_CURRENT_DESKTOP"}) {
      xcb_delete_property(connection_, screen_->root, atom(name));
    }
    xcb_disconnect(connection_);  // its windows go with it
  }

  xcb_window_t window(const QRect& devicePixels, uint32_t pid) {
    const xcb_window_t window = xcb_generate_id(connection_);
    xcb_create_window(
        connection_, XCB_COPY_FROM_PARENT, window, screen_->root,
        static_cast<int16_t>(devicePixels.x()), static_cast<int16_t>(devicePixels.y()),
        static_cast<uint16_t>(devicePixels.width()), static_cast<uint16_t>(devicePixels.height()),
        0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
    set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {pid});
    xcb_map_window(connection_, window);
    return window;
  }
  void set(xcb_window_t window, const char* property, xcb_atom_t type,
           const std::vector<uint32_t>& values) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(property), type, 32,
                        static_cast<uint32_t>(values.size()), values.data());
  }
  void setRoot(const char* property, xcb_atom_t type, const std::vector<uint32_t>& values) {
    set(screen_->root, property, type, values);
  }
  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply->atom;
    std::free(reply);
    return value;
  }
  void sync() {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  }

 private:
  xcb_connection_t* connection_;
  const xcb_screen_t* screen_;
};

// Only windows the user can see count: not minimised ones, not those on another desktop. Their
// bounds come in Qt's coordinates, which differ from the X server's pixels when Qt scales.
TEST(ScreenSnapshot, ListsTheWindowsVisibleOnTheCurrentDesktopInQtsCoordinates) {
  FakeWindowManager manager;
  constexpr uint32_t allDesktops = 0xFFFFFFFF;
  const xcb_window_t here = manager.window({100, 60, 300, 200}, 1);
  const xcb_window_t elsewhere = manager.window({0, 0, 300, 200}, 2);
  const xcb_window_t everywhere = manager.window({400, 200, 120, 80}, 3);
  const xcb_window_t minimised = manager.window({0, 0, 300, 200}, 4);
  const xcb_window_t unplaced = manager.window({600, 100, 200, 100}, 5);
  manager.set(here, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {1});
  manager.set(elsewhere, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {0});
  manager.set(everywhere, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {allDesktops});
  manager.set(minimised, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {1});
  manager.set(minimised, "_NET_WM_STATE", XCB_ATOM_ATOM,
              {manager.atom("_NET_WM_STATE_ABOVE"), manager.atom("_NET_WM_STATE_HIDDEN")});
  manager.setRoot("_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL, {1});
  manager.setRoot("_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW,
                  {here, elsewhere, everywhere, minimised, unplaced});  // bottom to top
  manager.setRoot("_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {unplaced});
  manager.sync();

  const ScreenSnapshot snapshot = currentScreenSnapshot();
  EXPECT_EQ(snapshot.frontmostPid, 5);
  ASSERT_TRUE(snapshot.windows.has_value());
  std::vector<qint64> pids;
  for (const WindowInfo& window : *snapshot.windows) pids.push_back(window.ownerPid.value_or(0));
  EXPECT_EQ(pids, (std::vector<qint64>{5, 3, 1}));  // front to back
  const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
  ASSERT_EQ(snapshot.windows->size(), 3U);
  EXPECT_EQ(snapshot.windows->back().bounds, QRect(qRound(100 / ratio), qRound(60 / ratio),
                                                   qRound(300 / ratio), qRound(200 / ratio)));
  EXPECT_EQ(snapshot.screens.front(), QGuiApplication::primaryScreen()->geometry());
}

}  // namespace
}  // namespace jolstrand

// Starts the window manager named by JOLSTRAND_TEST_WM and waits until it manages the screen. One
// that gives up at once (it could not open the display) is started again, twice at most.
static pid_t startWindowManager() {
  const QByteArray name = qgetenv("JOLSTRAND_TEST_WM");
  for (int attempt = 0; attempt < 3; ++attempt) {
    const pid_t manager = fork();
    if (manager == 0) {
      execlp(name.constData(), name.constData(), "--sm-disable", nullptr);
      _exit(127);
    }
    bool exited = false;
    const bool managing = jolstrand::eventually([&] {
      exited = waitpid(manager, nullptr, WNOHANG) == manager;
      return exited ||
             std::system("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'") == 0;
    });
    if (managing && !exited) return manager;
    if (!exited) {
      kill(manager, SIGKILL);
      waitpid(manager, nullptr, 0);
      break;
    }
    std::fprintf(stderr, "%s ended before managing the screen\n", name.constData());
  }
  return 0;
}

// With JOLSTRAND_TEST_WM=openbox the tests run under that window manager, as on a desktop:
// focus-stealing prevention, the stacking list and window states take part.
int main(int argc, char** argv) {
  pid_t windowManager = 0;
  if (jolstrand::underWindowManager()) {
    windowManager = startWindowManager();
    if (windowManager == 0) return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  int status = 0;
  {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    status = RUN_ALL_TESTS();
  }
  if (windowManager != 0) {
    kill(windowManager, SIGTERM);
    waitpid(windowManager, nullptr, 0);
  }
  return status;
}
