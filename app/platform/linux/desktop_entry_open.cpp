#include "platform/linux/desktop_entry_open.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStandardPaths>
#include <vector>

#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/log.hpp"
#include "platform/detached_process.hpp"
#include "qt_text.hpp"

namespace jolstrand {
namespace {

// The program's path: as given when it names a path, else looked up in the search folders;
// empty when none.
std::string programPath(const std::string& program, const QStringList& searchFolders) {
  if (program.find('/') != std::string::npos) return program;
  return QStandardPaths::findExecutable(qtString(program), searchFolders).toStdString();
}

// The command that runs a program inside the user's terminal, before the program's own words.
std::vector<std::string> terminalCommand(const std::string& chosen,
                                         const QStringList& searchFolders) {
  if (!chosen.empty()) {
    if (std::string path = programPath(chosen, searchFolders); !path.empty()) return {path, "-e"};
  }
  const std::vector<std::vector<std::string>> known{
      {"xdg-terminal-exec"}, {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"},
      {"konsole", "-e"},     {"xfce4-terminal", "-x"},      {"xterm", "-e"}};
  for (std::vector<std::string> command : known) {
    if (std::string path = programPath(command[0], searchFolders); !path.empty()) {
      command[0] = std::move(path);
      return command;
    }
  }
  return {};
}

// Asks the application's own bus name to activate it; false when there is no session bus.
bool activateOverBus(const std::string& busName, const std::string& path,
                     const std::string& activationToken) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QString objectPath = QLatin1Char('/') + qtString(busName);
  objectPath.replace(QLatin1Char('.'), QLatin1Char('/'))
      .replace(QLatin1Char('-'), QLatin1Char('_'));
  QDBusMessage call = QDBusMessage::createMethodCall(qtString(busName), objectPath,
                                                     QStringLiteral("org.freedesktop.Application"),
                                                     QStringLiteral("Activate"));
  QVariantMap platformData;
  if (!activationToken.empty()) {
    platformData.insert(QStringLiteral("activation-token"), qtString(activationToken));
    platformData.insert(QStringLiteral("desktop-startup-id"), qtString(activationToken));
  }
  call << platformData;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
  QObject::connect(
      watcher, &QDBusPendingCallWatcher::finished, watcher,
      [path](QDBusPendingCallWatcher* finished) {
        if (finished->isError()) {
          logLine("couldn't open " + path + ": " + finished->error().message().toStdString());
        }
        finished->deleteLater();
      });
  return true;
}

}  // namespace

std::optional<std::string> openDesktopEntry(const std::string& path, const ProgramLookup& programs,
                                            const std::string& activationToken) {
  const QStringList searchFolders =
      qtString(programs.searchPath.empty() ? defaultSearchPath : programs.searchPath)
          .split(QLatin1Char(':'), Qt::SkipEmptyParts);
  auto read = readDesktopLaunch(path);
  if (auto* error = std::get_if<std::string>(&read)) return std::move(*error);
  DesktopLaunch& launch = std::get<DesktopLaunch>(read);
  if (launch.busName && activateOverBus(*launch.busName, path, activationToken)) {
    return std::nullopt;
  }
  if (launch.arguments.empty())
    return "it is only activated over D-Bus, and there is no session bus";

  std::vector<std::string> words = std::move(launch.arguments);
  if (launch.terminal) {
    std::vector<std::string> terminal = terminalCommand(programs.terminal, searchFolders);
    if (terminal.empty()) return "it runs in a terminal, and no terminal program was found";
    words.insert(words.begin(), terminal.begin(), terminal.end());
  }
  const std::string program = programPath(words[0], searchFolders);
  if (program.empty()) return words[0] + " was not found";
  return startDetached(program, std::vector<std::string>(words.begin() + 1, words.end()),
                       activationEnvironment(activationToken));
}

}  // namespace jolstrand
