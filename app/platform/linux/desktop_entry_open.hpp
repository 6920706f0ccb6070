#pragma once
// Starting a Linux desktop entry as the desktop does: its Exec command line without a shell,
// field codes expanded for a launch without files, Terminal=true entries inside the user's
// terminal (the chosen one, else the first of the usual terminals found), DBusActivatable entries
// over D-Bus (org.freedesktop.Application.Activate). Main thread.

#include <optional>
#include <string>

#include "platform/workspace.hpp"

namespace jolstrand {

/// Starts the entry at path, detached, finding its program and terminal through programs, and
/// hands it the activation token (may be empty): in its environment, or as the D-Bus
/// activation's "activation-token" and "desktop-startup-id". Returns why it could not be
/// started; a D-Bus activation that fails later is logged as "Jolstrand: couldn't open PATH:
/// ERROR".
[[nodiscard]] std::optional<std::string> openDesktopEntry(const std::string& path,
                                                          const ProgramLookup& programs,
                                                          const std::string& activationToken);

}  // namespace jolstrand
