#pragma once
// How a Linux desktop entry (a *.desktop file) is started and drawn: its command line with the
// field codes expanded for a launch without files, whether it runs in a terminal or is
// activated over D-Bus, and its icon. Read through GLib; Linux only; any thread.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jolstrand {

/// Where programs are looked for when PATH is not set.
inline constexpr const char* defaultSearchPath = "/usr/local/bin:/usr/bin:/bin";

struct DesktopLaunch {
  /// The program and its arguments, no shell involved; empty for an entry that is only
  /// activated over D-Bus.
  std::vector<std::string> arguments;
  /// Terminal=true: the program runs inside the user's terminal.
  bool terminal = false;
  /// DBusActivatable=true: the well-known bus name (the file name without ".desktop").
  std::optional<std::string> busName;
};

/// Whether path names a desktop entry rather than an application bundle.
[[nodiscard]] bool isDesktopEntry(const std::string& path);

/// The launch of the desktop entry at path, or why it cannot be launched.
[[nodiscard]] std::variant<DesktopLaunch, std::string> readDesktopLaunch(const std::string& path);

/// The entry's Icon: a theme icon name or an absolute file path; empty when it has none.
[[nodiscard]] std::string desktopEntryIcon(const std::string& path);

}  // namespace jolstrand
