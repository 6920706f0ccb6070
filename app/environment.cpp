#include "environment.hpp"

#include <cstdlib>
#include <initializer_list>

namespace jolstrand {
namespace {

// The first of the variables that is set and not empty, else "".
std::string firstSet(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace

Environment Environment::fromProcess() {
  Environment environment;
  environment.home = firstSet({"HOME"});
  environment.dataHome = firstSet({"XDG_DATA_HOME"});
  if (environment.dataHome.empty()) environment.dataHome = environment.home + "/.local/share";
  environment.configHome = firstSet({"XDG_CONFIG_HOME"});
  if (environment.configHome.empty()) environment.configHome = environment.home + "/.config";
  environment.runtimeDir = firstSet({"XDG_RUNTIME_DIR"});
  environment.root = firstSet({"JOLSTRAND_ROOT"});
  environment.traceFile = firstSet({"JOLSTRAND_TRACE"});
  environment.locale = firstSet({"LC_ALL", "LC_COLLATE", "LANG"});
  environment.currentDesktop = firstSet({"XDG_CURRENT_DESKTOP"});
  environment.dataDirs = firstSet({"XDG_DATA_DIRS"});
  environment.searchPath = firstSet({"PATH"});
  environment.terminal = firstSet({"TERMINAL"});
  environment.display = firstSet({"DISPLAY"});
  environment.waylandDisplay = firstSet({"WAYLAND_DISPLAY"});
  environment.qtPlatform = firstSet({"QT_QPA_PLATFORM"});
  environment.swaySocket = firstSet({"SWAYSOCK"});
  environment.hyprlandSignature = firstSet({"HYPRLAND_INSTANCE_SIGNATURE"});
  environment.activationToken = firstSet({"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"});
  return environment;
}

#ifndef __APPLE__
IconTheme Environment::iconTheme(const std::string& named, const std::string& toolkitTheme) const {
  return IconTheme(
      IconTheme::folders(home, dataHome, dataDirs),
      named.empty() ? desktopIconTheme(currentDesktop, configHome, toolkitTheme) : named);
}
#endif

AppScanner::DesktopSettings Environment::desktopSettings() const {
  return {.dataHome = dataHome,
          .dataDirs = dataDirs,
          .currentDesktops = currentDesktop,
          .searchPath = searchPath};
}

}  // namespace jolstrand
