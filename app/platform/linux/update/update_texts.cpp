#include "update_texts.hpp"

namespace jolstrand {

const UpdateTexts& updateTexts() {
  static const UpdateTexts texts{
      QStringLiteral("Software Update"),
      QStringLiteral("A new version of Jolstrand is available!"),
      QStringLiteral("Jolstrand %1 is now available\u2014you have %2. Would you like to install it "
                     "now?"),
      QStringLiteral("Release Notes:"),
      QStringLiteral("Install"),
      QStringLiteral("Later"),
      QStringLiteral("Downloading and installing Jolstrand %1\u2026 Jolstrand restarts when it is "
                     "done."),
      QStringLiteral("Cancel"),
      QStringLiteral("You're up to date."),
      QStringLiteral("Jolstrand %1 is the newest version."),
      QStringLiteral("Jolstrand couldn't be updated."),
      QStringLiteral("The update stopped: %1. Your copy of Jolstrand is unchanged."),
      QStringLiteral("%1 (build %2)"),
  };
  return texts;
}

}  // namespace jolstrand
