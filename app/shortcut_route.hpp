#pragma once
// How this session hands the launcher its Super-Space, decided once at start from what the
// session offers: an X11 key grab, KDE's kglobalaccel, the GlobalShortcuts portal, a GNOME custom
// shortcut the user adds from the setup window, or a binding the user writes into the
// compositor's configuration. The route picks the hot-key backend and the words the setup window
// and the menu use. Pure; macOS always grabs its key.

#include <QString>
#include <cstddef>
#include <string>

namespace jolstrand {

enum class ShortcutRoute {
  keyGrab,              ///< X11 (and macOS): the launcher grabs the key itself
  kde,                  ///< KDE Plasma on Wayland: kglobalaccel
  gnomePortal,          ///< GNOME 48 and later on Wayland: the portal, with GNOME's dialog
  portal,               ///< any other desktop whose portal offers shortcuts
  hyprlandPortal,       ///< Hyprland's portal: the user binds the key to the portal's shortcut
  gnomeCustomShortcut,  ///< GNOME 47 and older on Wayland: a custom shortcut running jolstrand
  sway,                 ///< sway: a bindsym line in its configuration
  hyprland,             ///< Hyprland without its portal: a bind line running jolstrand
  otherCompositor,      ///< any other Wayland compositor: its own keyboard settings
};
inline constexpr std::size_t shortcutRouteCount =
    static_cast<std::size_t>(ShortcutRoute::otherCompositor) + 1;

struct SessionOffer {
  bool wayland = false;          ///< a Wayland session (WAYLAND_DISPLAY), whatever Qt draws on
  std::string currentDesktop;    ///< XDG_CURRENT_DESKTOP
  bool kglobalaccel = false;     ///< org.kde.kglobalaccel runs or can be started on the session bus
  bool portalShortcuts = false;  ///< the desktop portal offers GlobalShortcuts
  bool sway = false;             ///< SWAYSOCK
  bool hyprland = false;         ///< HYPRLAND_INSTANCE_SIGNATURE
};

/// The route: X11 grabs; on Wayland KDE's own service first, then the portal, then GNOME's
/// custom shortcuts, then the compositor's configuration.
[[nodiscard]] ShortcutRoute chooseShortcutRoute(const SessionOffer& offer);

/// Whether a desktop's name for a key ("Super+Space", "Meta+Space", "LOGO+space",
/// "<Super>space", in any case) means Super with Space and nothing else.
[[nodiscard]] bool isSuperSpaceTrigger(const QString& trigger);

/// The id of the launcher's one shortcut with the portal and kglobalaccel.
inline const QString shortcutId = QStringLiteral("show-panel");

}  // namespace jolstrand
