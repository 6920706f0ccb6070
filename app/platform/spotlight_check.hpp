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

/// The platform's check. On Linux it reads the stand-in file under configHome (the user's
/// configuration folder); macOS reads the system's own preferences and ignores it.
[[nodiscard]] std::unique_ptr<SpotlightCheck> makeSpotlightCheck(std::string configHome);

}  // namespace jolstrand
