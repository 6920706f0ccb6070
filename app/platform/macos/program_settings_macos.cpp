#include "platform/program_settings.hpp"

namespace jolstrand {

// The bundle's standard user defaults: Qt's native settings, which take the main bundle's
// identifier as the defaults domain when no organization is set.
std::unique_ptr<QSettings> openProgramSettings(const std::string& /*configHome*/) {
  return std::make_unique<QSettings>();
}

}  // namespace jolstrand
