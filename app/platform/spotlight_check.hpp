#pragma once
// Whether Spotlight holds Command-Space, read afresh from the system's preferences on every
// call (the decision itself is SpotlightShortcut::holdsCommandSpace). One implementation per
// platform; tests use a fake. Main thread.

#include <QString>
#include <memory>
#include <string>

#include "shortcut_route.hpp"

namespace jolstrand {

class SpotlightCheck {
 public:
  virtual ~SpotlightCheck() = default;
  [[nodiscard]] virtual bool holdsCommandSpace() = 0;
  /// What holds it, by name, when the last check found one that the platform names (KDE's
  /// kglobalaccel does); else empty, and the platform's own words say what holds it.
  [[nodiscard]] virtual QString holder() const { return {}; }
};

/// The platform's check. On Linux, in a GNOME session (currentDesktop lists GNOME), Super+Space
/// bound in GNOME's keybinding settings counts as held; otherwise the stand-in file under
/// configHome (the user's configuration folder) decides. On KDE's route, kglobalaccel says who
/// holds Meta+Space. macOS reads the system's own preferences and ignores all three.
[[nodiscard]] std::unique_ptr<SpotlightCheck> makeSpotlightCheck(
    std::string configHome, std::string currentDesktop,
    ShortcutRoute route = ShortcutRoute::keyGrab);

}  // namespace jolstrand
