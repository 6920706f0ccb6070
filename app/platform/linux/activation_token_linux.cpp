// Linux: xdg-activation under Wayland (wayland/xdg_activation.hpp), a startup notification id
// under X11.

#include <unistd.h>

#include <QGuiApplication>
#include <QWidget>
#include <string>

#include "platform/activation_token.hpp"
#include "platform/linux/wayland/xdg_activation.hpp"

namespace jolstrand {

std::string activationTokenFor(QWidget& panel, const std::string& appId, quint64 eventTime) {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("wayland")) {
    return panel.windowHandle() != nullptr ? xdgActivationToken(*panel.windowHandle(), appId)
                                           : std::string();
  }
  if (platform == QLatin1String("xcb")) {
    // The startup notification form: unique to this launch, ending in the X server's time of
    // the input that asked for it.
    static unsigned launches = 0;
    return "jolstrand-" + std::to_string(getpid()) + "-" + std::to_string(++launches) + "_TIME" +
           std::to_string(eventTime);
  }
  return {};
}

}  // namespace jolstrand
