#include <QDesktopServices>
#include <QUrl>

#include "platform/keyboard_settings.hpp"

namespace jolstrand {

// The keyboard pane of System Settings, by its address; an address that cannot be formed is
// ignored.
void openKeyboardSettings(std::string_view /*currentDesktop*/) {
  const QUrl url(QStringLiteral("x-apple.systempreferences:com.apple.Keyboard-Settings.extension"),
                 QUrl::StrictMode);
  if (url.isValid()) QDesktopServices::openUrl(url);
}

}  // namespace jolstrand
