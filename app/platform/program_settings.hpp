#pragma once
// The program's own settings (user defaults): the support reminder's schedule and the updater's
// state. Linux: an INI file in the Jolstrand folder of the user's configuration folder; macOS: the
// application's defaults domain. Main thread.

#include <QSettings>
#include <memory>
#include <string>

namespace jolstrand {

/// configHome: the user's configuration folder, from the Environment (unused on macOS).
[[nodiscard]] std::unique_ptr<QSettings> openProgramSettings(const std::string& configHome);

}  // namespace jolstrand
