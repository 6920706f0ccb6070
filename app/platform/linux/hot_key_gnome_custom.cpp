// Placeholder until the backend lands.

#include "platform/linux/desktop_hot_keys.hpp"

namespace jolstrand {

std::unique_ptr<HotKeyBackend> makeGnomeCustomShortcut(const QString& /*command*/) {
  return makeCompositorBinding();
}

}  // namespace jolstrand
