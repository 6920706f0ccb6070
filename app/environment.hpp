#pragma once
// What the launcher takes from its process environment, read once at start by fromProcess()
// and handed to whatever needs it; nothing else in the launcher or the core reads it.

#include <string>

#include "jolstrand/app_scanner.hpp"
#include "jolstrand/icon_theme.hpp"

namespace jolstrand {

struct Environment {
  std::string home;        ///< HOME
  std::string dataHome;    ///< XDG_DATA_HOME, else HOME/.local/share
  std::string configHome;  ///< XDG_CONFIG_HOME, else HOME/.config
  std::string runtimeDir;  ///< XDG_RUNTIME_DIR; empty when not set
  std::string root;        ///< JOLSTRAND_ROOT: moves the system's folders under it; may be empty
  std::string traceFile;   ///< JOLSTRAND_TRACE: where latencies are traced; may be empty
  std::string locale;      ///< the collation locale: LC_ALL, else LC_COLLATE, else LANG
  std::string currentDesktop;     ///< XDG_CURRENT_DESKTOP: the desktops in use, e.g. "ubuntu:GNOME"
  std::string dataDirs;           ///< XDG_DATA_DIRS: more data folders; may be empty
  std::string searchPath;         ///< PATH: where programs are looked for; may be empty
  std::string terminal;           ///< TERMINAL: the user's terminal program; may be empty
  std::string display;            ///< DISPLAY: the X11 display; may be empty
  std::string waylandDisplay;     ///< WAYLAND_DISPLAY: the Wayland display; may be empty
  std::string qtPlatform;         ///< QT_QPA_PLATFORM: the window system Qt is told to use
  std::string swaySocket;         ///< SWAYSOCK: sway's IPC socket; empty outside sway
  std::string hyprlandSignature;  ///< HYPRLAND_INSTANCE_SIGNATURE; empty outside Hyprland
  /// XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID: what lets this start take the focus
  std::string activationToken;

  /// Reads the variables of this process. Empty values count as not set.
  [[nodiscard]] static Environment fromProcess();

  /// What the scanner needs from here for the Linux desktop entries.
  [[nodiscard]] AppScanner::DesktopSettings desktopSettings() const;

  /// Linux: the icon theme named, else the one the desktop uses (toolkitTheme, the toolkit's
  /// choice, where the desktop has none), in the folders of themes that the environment names.
  [[nodiscard]] IconTheme iconTheme(const std::string& named,
                                    const std::string& toolkitTheme) const;
};

}  // namespace jolstrand
