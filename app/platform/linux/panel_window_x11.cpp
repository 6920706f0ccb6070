// Linux/X11: the EWMH properties for every desktop, above others, and no task bar or pager; the
// panel is presented the ordinary way. Elsewhere (Wayland, offscreen) there is nothing to set.
// Under Wayland Qt activates a window with the token it finds in XDG_ACTIVATION_TOKEN, which it
// then removes: the request's token is put there for the panel alone.

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstring>
#include <memory>

#include "platform/panel_window.hpp"

namespace jolstrand {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

void makeFloatingPanel(QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  const uint32_t allDesktops = 0xFFFFFFFF;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_DESKTOP"),
                      XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
  const xcb_atom_t states[] = {
      atom(connection, "_NET_WM_STATE_STICKY"), atom(connection, "_NET_WM_STATE_ABOVE"),
      atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"), atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_STATE"),
                      XCB_ATOM_ATOM, 32, 4, states);
  xcb_flush(connection);
}

void presentPanel(QWidget& window, const QString& activationToken) {
  if (!activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland")) {
    qputenv("XDG_ACTIVATION_TOKEN", activationToken.toLatin1());
  }
  window.show();
  window.raise();
  window.activateWindow();
  qunsetenv("XDG_ACTIVATION_TOKEN");  // whether Qt took it or not, no child inherits it
}

}  // namespace jolstrand
