#include "platform/program_settings.hpp"

namespace jolstrand {

// The bundle's standard user defaults, the domain org.jolstrand.Jolstrand: Qt's native settings
// name the domain by the organization's reversed web domain followed by the application's name.
// Without fallbacks, nothing is read from the global domain or other applications' domains.
std::unique_ptr<QSettings> openProgramSettings(const std::string& /*configHome*/) {
  auto settings =
      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                  QStringLiteral("jolstrand.org"), QStringLiteral("Jolstrand"));
  settings->setFallbacksEnabled(false);
  return settings;
}

}  // namespace jolstrand
