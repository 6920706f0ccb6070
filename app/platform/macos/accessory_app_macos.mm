#import <AppKit/AppKit.h>

#include "platform/accessory_app.hpp"

namespace jolstrand {

void becomeAccessoryApplication() {
  [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
}

// macOS 14 replaced the forcing activation with a cooperative one.
void activateApplication() {
#if __MAC_OS_X_VERSION_MAX_ALLOWED >= 140000
  if (@available(macOS 14.0, *)) {
    [NSApp activate];
    return;
  }
#endif
  [NSApp activateIgnoringOtherApps:YES];
}

}  // namespace jolstrand
