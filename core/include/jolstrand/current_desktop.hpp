#pragma once
// Reading $XDG_CURRENT_DESKTOP, a colon-separated list of desktop names such as
// "ubuntu:GNOME" or "KDE". The value comes from Environment::currentDesktop, read once at start.

#include <string_view>

namespace jolstrand {

/// Whether one of the listed desktops is name, ignoring case.
[[nodiscard]] bool currentDesktopIncludes(std::string_view currentDesktop, std::string_view name);

}  // namespace jolstrand
