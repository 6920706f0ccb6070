#include "platform/program_settings.hpp"

namespace jolstrand {

std::unique_ptr<QSettings> openProgramSettings(const std::string& configHome) {
  return std::make_unique<QSettings>(QString::fromStdString(configHome + "/Jolstrand/settings.ini"),
                                     QSettings::IniFormat);
}

}  // namespace jolstrand
