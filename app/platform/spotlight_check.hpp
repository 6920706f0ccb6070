#pragma once
// Whether Spotlight holds Command-Space, read afresh from the system's preferences on every
// call (the decision itself is SpotlightShortcut::holdsCommandSpace). One implementation per
// platform; tests use a fake. Main thread.

#include <memory>
#include <string>

namespace jolstrand {

class SpotlightCheck {
 public:
  virtual ~SpotlightCheck() = default;
  [[nodiscard]] virtual bool holdsCommandSpace() = 0;
};

/// The platform's check. On Linux, in a GNOME session (currentDesktop lists GNOME), Super+Space
/// bound in GNOME's keybinding settings counts as held; otherwise the stand-in file under
/// configHome (the user's configuration folder) decides. macOS reads the system's own
/// preferences and ignores both.
[[nodiscard]] std::unique_ptr<SpotlightCheck> makeSpotlightCheck(std::string configHome,
                                                                 std::string currentDesktop);

}  // namespace jolstrand
