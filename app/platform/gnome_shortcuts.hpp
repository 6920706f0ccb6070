#pragma once
// Linux: whether GNOME keeps Super+Space for itself. By default GNOME gives it to "switch input
// source", which takes the launcher's hot key exactly as Spotlight does on macOS. Read through
// GSettings from org.gnome.desktop.wm.keybindings, org.gnome.shell.keybindings and
// org.gnome.settings-daemon.plugins.media-keys, each only where its schema is installed. Main
// thread (GSettings' default backend is created on first use).

#include <string_view>

namespace jolstrand {

/// Whether an accelerator in GNOME's notation means Super with Space and nothing else: modifier
/// names in any case, <Mod4> for <Super>, "space" in any case ("<Super>space", "<super>Space",
/// "<Mod4>space").
[[nodiscard]] bool isSuperSpace(std::string_view accelerator);

/// In a GNOME session (currentDesktop, Environment::currentDesktop, lists GNOME): whether
/// any key of those schemas, a string or a list of strings, binds Super+Space. False elsewhere
/// and where none of the schemas is installed.
[[nodiscard]] bool gnomeBindsSuperSpace(std::string_view currentDesktop);

}  // namespace jolstrand
