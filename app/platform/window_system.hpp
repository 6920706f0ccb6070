#pragma once
// The window system as the search panel meets it: which screen the user works on (the front
// window, the screens, the pointer), and, where the compositor places windows itself but takes
// requests, where the panel goes. X11 and macOS give their window lists; on Wayland, sway and
// Hyprland answer over their IPC and are asked to place the panel, KWin names its active output
// over D-Bus, and elsewhere Qt's screens and pointer decide while the compositor places the panel
// (centred on the current output). Main thread.

#include <QRect>
#include <memory>

#include "environment.hpp"
#include "target_screen.hpp"

class QWidget;

namespace jolstrand {

/// The panel's window title: how a compositor's rules tell it from the launcher's other
/// windows. Letters and spaces only.
inline constexpr char panelWindowTitle[] = "Jolstrand search";

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  /// What the panel's screen is chosen from. Where the pointer is unknown (Wayland), the
  /// focused output's centre stands in for it.
  [[nodiscard]] virtual ScreenSnapshot snapshot() = 0;

  /// The shown panel's frame, in global coordinates, each time it is shown or resized. Only a
  /// compositor that places windows on request (sway) is asked; elsewhere the window's own
  /// geometry has done it, or the compositor decides.
  virtual void place(QWidget& panel, const QRect& frame) = 0;
};

/// The window system this process runs in; made once the application object exists.
[[nodiscard]] std::unique_ptr<WindowSystem> makeWindowSystem(const Environment& environment);

}  // namespace jolstrand
