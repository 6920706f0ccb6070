// macOS: the frontmost application and the window server's on-screen window list. Window
// bounds are already in the coordinates TargetScreen works in (top left of the primary screen).

#import <AppKit/AppKit.h>
#import <CoreGraphics/CoreGraphics.h>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "platform/screen_sources.hpp"

namespace jolstrand {

ScreenSnapshot currentScreenSnapshot() {
  ScreenSnapshot snapshot;
  for (const QScreen* screen : QGuiApplication::screens()) {
    snapshot.screens.push_back(screen->geometry());
  }
  snapshot.pointer = QCursor::pos();
  NSRunningApplication* front = [NSWorkspace sharedWorkspace].frontmostApplication;
  if (front == nil) return snapshot;
  snapshot.frontmostPid = front.processIdentifier;
  CFArrayRef list = CGWindowListCopyWindowInfo(
      kCGWindowListOptionOnScreenOnly | kCGWindowListExcludeDesktopElements, kCGNullWindowID);
  if (list == nullptr) return snapshot;
  std::vector<WindowInfo> windows;
  for (NSDictionary* window in (__bridge NSArray*)list) {
    if (![window isKindOfClass:[NSDictionary class]]) continue;
    WindowInfo info;
    if (NSNumber* pid = window[(id)kCGWindowOwnerPID]; [pid isKindOfClass:[NSNumber class]]) {
      info.ownerPid = pid.intValue;
    }
    if (NSNumber* layer = window[(id)kCGWindowLayer]; [layer isKindOfClass:[NSNumber class]]) {
      info.layer = layer.intValue;
    }
    CGRect bounds;
    if (NSDictionary* rect = window[(id)kCGWindowBounds];
        [rect isKindOfClass:[NSDictionary class]] &&
        CGRectMakeWithDictionaryRepresentation((__bridge CFDictionaryRef)rect, &bounds)) {
      info.bounds = QRect(int(bounds.origin.x), int(bounds.origin.y), int(bounds.size.width),
                          int(bounds.size.height));
    }
    windows.push_back(info);
  }
  CFRelease(list);
  snapshot.windows = std::move(windows);
  return snapshot;
}

}  // namespace jolstrand
