// Linux: no system search owns Super-Space, so the answer is "free" unless a stand-in
// preferences file, CONFIG/Jolstrand/symbolichotkeys.plist shaped like the macOS domain, says
// otherwise (for tests and for people who bind the shortcut elsewhere).

#include <filesystem>
#include <string>

#include "platform/spotlight_check.hpp"
#include "spotlight_shortcut.hpp"

namespace jolstrand {
namespace {

class StandInPreferences final : public SpotlightCheck {
 public:
  explicit StandInPreferences(const std::string& configHome)
      : path_(configHome + "/Jolstrand/symbolichotkeys.plist") {}

  bool holdsCommandSpace() override {
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
};

}  // namespace

std::unique_ptr<SpotlightCheck> makeSpotlightCheck(std::string configHome) {
  return std::make_unique<StandInPreferences>(configHome);
}

}  // namespace jolstrand
