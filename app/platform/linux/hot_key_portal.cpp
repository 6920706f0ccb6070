// Placeholder until the backend lands.

#include "platform/linux/desktop_hot_keys.hpp"

namespace jolstrand {

std::unique_ptr<HotKeyBackend> makePortalHotKey(const QDBusConnection& /*bus*/,
                                                const QString& /*appId*/) {
  return makeCompositorBinding();
}

}  // namespace jolstrand
