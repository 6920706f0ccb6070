#pragma once
// Linux: opening the desktop's keyboard shortcut settings, where the user frees Super-Space.
// GNOME Settings' keyboard panel, else KDE's shortcuts module; in a KDE session KDE's comes
// first. (On macOS the controller opens the system settings' keyboard pane by its URL.)

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

/// The command to run, from which programs isOnPath finds; none when there is no such program.
[[nodiscard]] std::optional<SettingsCommand> keyboardSettingsCommand(
    std::string_view currentDesktop, const std::function<bool(const QString&)>& isOnPath);

/// Starts that command detached, looking programs up on PATH. Logs one line when there is no
/// settings program or it could not be started. Main thread.
void openKeyboardSettings(std::string_view currentDesktop);

}  // namespace jolstrand
