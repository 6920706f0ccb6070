// Linux: no system search owns Super-Space, but GNOME gives it to "switch input source" by
// default, so in a GNOME session its keybinding settings decide first. Beyond that the answer is
// "free" unless a stand-in preferences file, CONFIG/Jolstrand/symbolichotkeys.plist shaped like
// the macOS domain, says otherwise (for tests and for people who bind the shortcut elsewhere).

#include <filesystem>
#include <string>
#include <utility>

#include "platform/gnome_shortcuts.hpp"
#include "platform/linux/desktop_hot_keys.hpp"
#include "platform/spotlight_check.hpp"
#include "spotlight_shortcut.hpp"

namespace jolstrand {
namespace {

class DesktopShortcuts final : public SpotlightCheck {
 public:
  DesktopShortcuts(const std::string& configHome, std::string currentDesktop)
      : path_(configHome + "/Jolstrand/symbolichotkeys.plist"),
        currentDesktop_(std::move(currentDesktop)) {}

  bool holdsCommandSpace() override {
    if (gnomeBindsSuperSpace(currentDesktop_)) return true;
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return false;
    std::optional<PropertyListValue> hotKeys;
    if (const auto domain = readPropertyListFile(path_)) {
      if (const auto* values = std::get_if<PropertyListValue::Dictionary>(&domain->value)) {
        if (const auto found = values->find("AppleSymbolicHotKeys"); found != values->end()) {
          hotKeys = found->second;
        }
      }
    }
    return SpotlightShortcut::holdsCommandSpace(hotKeys);
  }

 private:
  const std::string path_;
  const std::string currentDesktop_;
};

}  // namespace

std::unique_ptr<SpotlightCheck> makeSpotlightCheck(std::string configHome,
                                                   std::string currentDesktop,
                                                   ShortcutRoute route) {
  if (route == ShortcutRoute::kde) {
    return makeKdeShortcutCheck(QDBusConnection::sessionBus(), ownAppId());
  }
  return std::make_unique<DesktopShortcuts>(configHome, std::move(currentDesktop));
}

}  // namespace jolstrand
