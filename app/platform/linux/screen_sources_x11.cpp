// Linux: Qt's screens and pointer; the frontmost application and the window list from the
// window manager's EWMH properties over Qt's own X11 connection. Only windows the user can see
// are listed: not minimised ones, not those on another desktop. Requests go out together and
// their replies are read afterwards, so a snapshot costs two round trips whatever the number of
// windows. Without X11 (Wayland, offscreen) there is no window list and the pointer decides.

#include <xcb/xcb.h>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "platform/screen_sources.hpp"

namespace jolstrand {
namespace {

struct FreeDeleter {
  void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

enum Atom : std::size_t {
  wmPid,
  activeWindow,
  clientListStacking,
  currentDesktop,
  wmDesktop,
  wmState,
  wmStateHidden,
  wmWindowType,
  windowTypeNormal,
  windowTypeDialog,
  atomCount
};
constexpr std::array<const char*, atomCount> atomNames = {"_NET_WM_PID",
                                                          "_NET_ACTIVE_WINDOW",
                                                          "_NET_CLIENT_LIST_STACKING",
                                                          "_NET_CURRENT_DESKTOP",
                                                          "_NET_WM_DESKTOP",
                                                          "_NET_WM_STATE",
                                                          "_NET_WM_STATE_HIDDEN",
                                                          "_NET_WM_WINDOW_TYPE",
                                                          "_NET_WM_WINDOW_TYPE_NORMAL",
                                                          "_NET_WM_WINDOW_TYPE_DIALOG"};
constexpr uint32_t allDesktops = 0xFFFFFFFF;

// Interned once for the process (Qt keeps one connection): all requests first, then the replies.
const std::array<xcb_atom_t, atomCount>& atoms(xcb_connection_t* connection) {
  static const std::array<xcb_atom_t, atomCount> interned = [connection] {
    std::array<xcb_intern_atom_cookie_t, atomCount> cookies{};
    for (std::size_t i = 0; i < atomCount; ++i) {
      cookies[i] =
          xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(atomNames[i])), atomNames[i]);
    }
    std::array<xcb_atom_t, atomCount> values{};
    for (std::size_t i = 0; i < atomCount; ++i) {
      const Reply<xcb_intern_atom_reply_t> reply(
          xcb_intern_atom_reply(connection, cookies[i], nullptr));
      values[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return values;
  }();
  return interned;
}

xcb_get_property_cookie_t askProperty(xcb_connection_t* connection, xcb_window_t window,
                                      xcb_atom_t property, xcb_atom_t type) {
  return xcb_get_property(connection, 0, window, property, type, 0, 4096);
}

std::vector<uint32_t> values(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
  const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* first = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<uint32_t> firstValue(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
  const auto all = values(connection, cookie);
  if (all.empty()) return std::nullopt;
  return all.front();
}

// X11 speaks device pixels; Qt keeps each screen's origin and divides the rest by the screen's
// pixel ratio. The screen is the one whose pixels hold the rectangle's centre.
QRect logicalRect(const QRect& pixels) {
  const QScreen* chosen = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect geometry = screen->geometry();
    if (QRect(geometry.topLeft(), geometry.size() * screen->devicePixelRatio())
            .contains(pixels.center())) {
      chosen = screen;
      break;
    }
  }
  if (chosen == nullptr) return pixels;
  const qreal ratio = chosen->devicePixelRatio();
  const QPoint origin = chosen->geometry().topLeft();
  return {origin + (pixels.topLeft() - origin) / ratio, pixels.size() / ratio};
}

// The requests for one window, sent before any reply is read.
struct WindowRequests {
  xcb_get_property_cookie_t pid, desktop, state, type;
  xcb_get_geometry_cookie_t geometry;
  xcb_translate_coordinates_cookie_t origin;
};

class X11Windows {
 public:
  explicit X11Windows(xcb_connection_t* connection)
      : connection_(connection),
        root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
        atoms_(atoms(connection)) {}

  void fill(ScreenSnapshot& snapshot) {
    const auto activeCookie = ask(root_, activeWindow, XCB_ATOM_WINDOW);
    const auto stackingCookie = ask(root_, clientListStacking, XCB_ATOM_WINDOW);
    const auto desktopCookie = ask(root_, currentDesktop, XCB_ATOM_CARDINAL);
    const auto active = firstValue(connection_, activeCookie);
    const auto stacking = values(connection_, stackingCookie);
    const auto desktop = firstValue(connection_, desktopCookie);

    std::optional<xcb_get_property_cookie_t> activePid;
    if (active && *active != 0) activePid = ask(*active, wmPid, XCB_ATOM_CARDINAL);
    std::vector<WindowRequests> requests;
    requests.reserve(stacking.size());
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {  // front to back
      requests.push_back({ask(*it, wmPid, XCB_ATOM_CARDINAL),
                          ask(*it, wmDesktop, XCB_ATOM_CARDINAL), ask(*it, wmState, XCB_ATOM_ATOM),
                          ask(*it, wmWindowType, XCB_ATOM_ATOM), xcb_get_geometry(connection_, *it),
                          xcb_translate_coordinates(connection_, *it, root_, 0, 0)});
    }

    if (activePid) {
      if (const auto pid = firstValue(connection_, *activePid)) snapshot.frontmostPid = *pid;
    }
    if (stacking.empty()) return;
    std::vector<WindowInfo> list;
    for (const WindowRequests& window : requests) {
      const auto pid = firstValue(connection_, window.pid);
      const auto onDesktop = firstValue(connection_, window.desktop);
      const auto state = values(connection_, window.state);
      const auto types = values(connection_, window.type);
      const auto bounds = readBounds(window);
      const bool elsewhere =
          onDesktop && desktop && *onDesktop != allDesktops && *onDesktop != *desktop;
      const bool hidden =
          std::find(state.begin(), state.end(), atoms_[wmStateHidden]) != state.end();
      if (elsewhere || hidden) continue;
      list.push_back({pid ? std::optional<qint64>(*pid) : std::nullopt, layer(types), bounds});
    }
    snapshot.windows = std::move(list);
  }

 private:
  xcb_get_property_cookie_t ask(xcb_window_t window, Atom property, xcb_atom_t type) {
    return askProperty(connection_, window, atoms_[property], type);
  }

  // Ordinary (and dialog) windows are layer 0; docks, menus and the like are above it.
  [[nodiscard]] int layer(const std::vector<uint32_t>& types) const {
    if (types.empty()) return 0;
    return types.front() == atoms_[windowTypeNormal] || types.front() == atoms_[windowTypeDialog]
               ? 0
               : 1;
  }

  std::optional<QRect> readBounds(const WindowRequests& window) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, window.geometry, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection_, window.origin, nullptr));
    if (!geometry || !origin) return std::nullopt;
    return logicalRect(QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height));
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
  const std::array<xcb_atom_t, atomCount>& atoms_;
};

}  // namespace

ScreenSnapshot currentScreenSnapshot() {
  ScreenSnapshot snapshot;
  for (const QScreen* screen : QGuiApplication::screens()) {
    snapshot.screens.push_back(screen->geometry());
  }
  snapshot.pointer = QCursor::pos();
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return snapshot;
  X11Windows(x11->connection()).fill(snapshot);
  return snapshot;
}

}  // namespace jolstrand
