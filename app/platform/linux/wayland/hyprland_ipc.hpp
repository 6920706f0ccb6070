#pragma once
// Hyprland's IPC, in $XDG_RUNTIME_DIR/hypr/$HYPRLAND_INSTANCE_SIGNATURE/: .socket.sock takes one
// request a connection ("j/activewindow", "j/monitors", "[[BATCH]]dispatch ...;dispatch ...")
// and answers before it closes; .socket2.sock sends events as lines "NAME>>DATA". Requests wait
// briefly: Hyprland answers at once, and one that does not must not hold up the panel. Main
// thread.

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <optional>

#include "platform/linux/wayland/compositor_focus.hpp"

class QLocalSocket;

namespace jolstrand::hyprland {

/// The focus from the answers to j/activewindow and j/monitors: the active window (its process
/// and frame) and the focused monitor, its size in the layout's logical units.
[[nodiscard]] CompositorFocus focusFrom(const QByteArray& activeWindow, const QByteArray& monitors);

/// The batch that floats the window titled title (letters and spaces) and moves its top left to
/// frame's.
[[nodiscard]] QByteArray placementRequest(const QString& title, const QRect& frame);

/// Whether a batch's answer says every dispatch went through.
[[nodiscard]] bool batchSucceeded(const QByteArray& answer, int dispatches);

/// Whether an event line announces a new window with this title.
[[nodiscard]] bool opensWindowTitled(const QByteArray& eventLine, const QString& title);

/// Sends one request on its own connection and returns the answer; none when there is none in
/// time.
[[nodiscard]] std::optional<QByteArray> request(const QString& socketPath, const QByteArray& text);

/// The event socket: every line, as it comes.
class Events : public QObject {
  Q_OBJECT

 public:
  explicit Events(const QString& socketPath);

 signals:
  void line(const QByteArray& text);

 private:
  QLocalSocket* socket_;
  QByteArray buffer_;
};

}  // namespace jolstrand::hyprland
