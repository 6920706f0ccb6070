#import <AppKit/AppKit.h>

#include "platform/accessory_app.hpp"

namespace jolstrand {

void becomeAccessoryApplication() {
  [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
}

void activateApplication() {
  [NSApp activateIgnoringOtherApps:YES];
}

}  // namespace jolstrand
