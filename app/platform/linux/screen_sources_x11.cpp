// Linux: Qt's screens and pointer; the frontmost application and the window list from the
// window manager's EWMH properties over Qt's own X11 connection. Without X11 (Wayland,
// offscreen) there is no window list and the pointer decides.

#include <xcb/xcb.h>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <memory>

#include "platform/screen_sources.hpp"

namespace jolstrand {
namespace {

struct FreeDeleter {
  void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

class X11Windows {
 public:
  explicit X11Windows(xcb_connection_t* connection)
      : connection_(connection),
        root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root) {}

  std::optional<qint64> pid(xcb_window_t window) {
    const auto values = cardinals(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (values.empty()) return std::nullopt;
    return static_cast<qint64>(values.front());
  }

  std::optional<xcb_window_t> activeWindow() {
    const auto values = cardinals(root_, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (values.empty() || values.front() == 0) return std::nullopt;
    return values.front();
  }

  // Front to back.
  std::optional<std::vector<WindowInfo>> windows() {
    auto stacking = cardinals(root_, atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    if (stacking.empty()) return std::nullopt;
    std::vector<WindowInfo> list;
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
      list.push_back({pid(*it), layer(*it), bounds(*it)});
    }
    return list;
  }

 private:
  xcb_atom_t atom(const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 1, static_cast<uint16_t>(strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }

  std::vector<uint32_t> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    if (property == XCB_ATOM_NONE) return {};
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 4096), nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
  }

  // Ordinary (and dialog) windows are layer 0; docks, menus and the like are above it.
  std::optional<int> layer(xcb_window_t window) {
    const auto types = cardinals(window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
    if (types.empty()) return 0;
    const xcb_atom_t normal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    const xcb_atom_t dialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
    return types.front() == normal || types.front() == dialog ? 0 : 1;
  }

  std::optional<QRect> bounds(xcb_window_t window) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry) return std::nullopt;
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (!origin) return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
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
  X11Windows windows(x11->connection());
  if (const auto active = windows.activeWindow()) snapshot.frontmostPid = windows.pid(*active);
  snapshot.windows = windows.windows();
  return snapshot;
}

}  // namespace jolstrand
