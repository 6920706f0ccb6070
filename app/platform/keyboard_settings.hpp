#pragma once
// Opening the keyboard settings, where the user frees the shortcut. macOS: System Settings'
// keyboard pane by its address. Linux: GNOME Settings' keyboard panel, else KDE's shortcuts
// module; in a KDE session KDE's comes first.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string_view>

namespace jolstrand {

struct SettingsCommand {
  QString program;
  QStringList arguments;
  bool operator==(const SettingsCommand&) const = default;
};

/// Linux: the command to run, from which programs isOnPath finds; none when there is no such
/// program.
[[nodiscard]] std::optional<SettingsCommand> keyboardSettingsCommand(
    std::string_view currentDesktop, const std::function<bool(const QString&)>& isOnPath);

/// Linux: starts that command detached, looking programs up on PATH, and logs one line when there
/// is no settings program or it could not be started. macOS: opens the pane; currentDesktop is
/// unused. Main thread.
void openKeyboardSettings(std::string_view currentDesktop);

}  // namespace jolstrand
