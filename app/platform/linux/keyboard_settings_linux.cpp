#include <QProcess>
#include <QStandardPaths>
#include <array>
#include <vector>

#include "jolstrand/current_desktop.hpp"
#include "jolstrand/log.hpp"
#include "platform/keyboard_settings.hpp"

namespace jolstrand {
std::optional<SettingsCommand> keyboardSettingsCommand(
    std::string_view currentDesktop, const std::function<bool(const QString&)>& isOnPath) {
  const SettingsCommand gnome{QStringLiteral("gnome-control-center"), {QStringLiteral("keyboard")}};
  const QStringList kdeModule{QStringLiteral("kcm_keys")};
  const std::array kde{SettingsCommand{QStringLiteral("systemsettings"), kdeModule},
                       SettingsCommand{QStringLiteral("kcmshell6"), kdeModule},
                       SettingsCommand{QStringLiteral("kcmshell5"), kdeModule}};
  std::vector<SettingsCommand> candidates(kde.begin(), kde.end());
  candidates.insert(
      currentDesktopIncludes(currentDesktop, "KDE") ? candidates.end() : candidates.begin(), gnome);
  for (const SettingsCommand& command : candidates) {
    if (isOnPath(command.program)) return command;
  }
  return std::nullopt;
}

void openKeyboardSettings(std::string_view currentDesktop) {
  const auto command = keyboardSettingsCommand(currentDesktop, [](const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
  });
  if (!command) {
    logLine("no keyboard settings program was found");
    return;
  }
  if (!QProcess::startDetached(command->program, command->arguments)) {
    logLine("couldn't start " + command->program.toStdString());
  }
}

}  // namespace jolstrand
