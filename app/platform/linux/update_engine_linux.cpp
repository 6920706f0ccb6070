// The Linux update engine with its real parts: HTTPS transfers, the portable installation's
// operations, the system clock, the program's windows for focus and Qt dialogs for the user.

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QStringList>

#include "platform/linux/update/linux_update_engine.hpp"
#include "platform/linux/update/restart_after_quit.hpp"
#include "platform/linux/update/update_dialog.hpp"
#include "program_info.hpp"

namespace jolstrand {
namespace {

std::vector<std::string> argumentsAfterProgram() {
  std::vector<std::string> arguments;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(all[i].toStdString());
  return arguments;
}

}  // namespace

std::unique_ptr<UpdateEngine> makeUpdateEngine(UpdateEngineEvents& events,
                                               const UpdateEngineContext& context) {
  return makeLinuxUpdateEngine(events, context, restartAfterQuit);
}

std::unique_ptr<UpdateEngine> makeLinuxUpdateEngine(UpdateEngineEvents& events,
                                                    const UpdateEngineContext& context,
                                                    UpdateRestart restart) {
  RunningBuild build{
      context.program.value("CFBundleVersion").value_or(std::string()),
      context.program.value("CFBundleShortVersionString").value_or(std::string()),
      context.program.value("SUPublicEDKey").value_or(std::string()),
      context.programPath,
      JOLSTRAND_ARCHIVE_ARCH,
      argumentsAfterProgram(),
  };
  UpdateEngineParts parts{
      makeHttpsDownloads(),
      UpdateInstaller{
          findPortableInstallation,
          [](const PortableInstallation& installation, const std::string& archivePath,
             const UpdateItem& item, std::string_view publicKey, std::string_view runningBuild) {
            return installUpdate(installation, archivePath, item, publicKey, runningBuild);
          },
          [](const PortableInstallation& installation, const std::string& replaced) {
            removeUpdateLeftovers(installation, replaced);
            removeStaleDownloads(QDir::tempPath().toStdString());
          },
          std::move(restart)},
      [] { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000; },
      [] { return QApplication::activeWindow() != nullptr; },
      makeUpdateDialogs([](const QUrl& url) { QDesktopServices::openUrl(url); }),
  };
  return std::make_unique<LinuxUpdateEngine>(events, std::move(build), context.settings,
                                             std::move(parts));
}

}  // namespace jolstrand
