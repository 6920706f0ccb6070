// The Linux update engine with its real parts: HTTPS transfers, the portable installation's
// operations, the system clock, the program's windows for focus and Qt dialogs for the user.

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QStringList>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <utility>

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

// How installations run. In builds with tests, JOLSTRAND_TEST_KILL_AT names a step at which the
// process kills itself, so that scripts/try_update.sh can check what each moment leaves.
InstallOptions installOptions() {
  InstallOptions options;
#ifdef JOLSTRAND_TEST_HOOKS
  if (const char* at = std::getenv("JOLSTRAND_TEST_KILL_AT")) {
    static constexpr std::pair<std::string_view, InstallStep> steps[] = {
        {"unpacked", InstallStep::unpacked},
        {"taken-out", InstallStep::takenOut},
        {"synced", InstallStep::synced},
        {"tried", InstallStep::tried},
        {"swap-half-done", InstallStep::swapHalfDone},
        {"swapped", InstallStep::swapped}};
    for (const auto& [name, step] : steps) {
      if (name == at)
        options.atStep = [step](InstallStep reached) {
          if (reached == step) raise(SIGKILL);
        };
    }
  }
#endif
  return options;
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
            return installUpdate(installation, archivePath, item, publicKey, runningBuild,
                                 installOptions());
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
