// The cost of one screen snapshot (the window list the panel's screen is chosen from) with 30
// ordinary windows, under an X server: run through xvfb-run. The window manager's properties are
// set by this program itself, so no window manager is needed. Prints the median of 200 snapshots.

#include <xcb/xcb.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/screen_sources.hpp"

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t value = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection) != 0) return 1;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_atom_t pid = atom(connection, "_NET_WM_PID");
  std::vector<xcb_window_t> windows;
  for (int i = 0; i < 30; ++i) {
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root,
                      static_cast<int16_t>(20 * i), static_cast<int16_t>(10 * i), 200, 150, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const uint32_t owner = 1000 + static_cast<uint32_t>(i);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, pid, XCB_ATOM_CARDINAL, 32, 1,
                        &owner);
    xcb_map_window(connection, window);
    windows.push_back(window);
  }
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root,
                      atom(connection, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW, 32,
                      static_cast<uint32_t>(windows.size()), windows.data());
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root,
                      atom(connection, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                      &windows.back());
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

  std::vector<double> micros;
  std::size_t listed = 0;
  for (int round = 0; round < 200; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const jolstrand::ScreenSnapshot snapshot = jolstrand::currentScreenSnapshot();
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
    listed = snapshot.windows ? snapshot.windows->size() : 0;
  }
  std::sort(micros.begin(), micros.end());
  std::printf("%zu windows listed: median %.0f us, 90th percentile %.0f us per snapshot\n", listed,
              micros[micros.size() / 2], micros[micros.size() * 9 / 10]);
  xcb_disconnect(connection);
  return listed == windows.size() ? 0 : 1;
}
