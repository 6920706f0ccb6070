// Linux: no system search owns Super-Space. A stand-in preferences file, shaped like the macOS
// domain, can say otherwise (for tests and for people who bind the shortcut elsewhere).

#include <cstdlib>
#include <filesystem>
#include <string>

#include "spotlight_shortcut.hpp"

namespace jolstrand::SpotlightShortcut {

bool holdsCommandSpace() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string folder = config != nullptr && *config != '\0'
                                 ? std::string(config)
                                 : std::string(home != nullptr ? home : "") + "/.config";
  const std::string path = folder + "/Jolstrand/symbolichotkeys.plist";
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return false;
  std::optional<PropertyListValue> hotKeys;
  if (const auto domain = readPropertyListFile(path)) {
    if (const auto* values = std::get_if<PropertyListValue::Dictionary>(&domain->value)) {
      if (const auto found = values->find("AppleSymbolicHotKeys"); found != values->end()) {
        hotKeys = found->second;
      }
    }
  }
  return holdsCommandSpace(hotKeys);
}

}  // namespace jolstrand::SpotlightShortcut
