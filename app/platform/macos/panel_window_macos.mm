// macOS: a non-activating floating panel on every space and over full-screen applications, out
// of window cycling, at the modal-panel level, without animation.

#import <AppKit/AppKit.h>

#include <QWidget>

#include "platform/panel_window.hpp"

namespace jolstrand {

void makeFloatingPanel(QWidget& window) {
  NSView* view = reinterpret_cast<NSView*>(window.winId());
  NSWindow* panel = view.window;
  if (panel == nil) return;
  panel.level = NSModalPanelWindowLevel;
  panel.collectionBehavior =
      NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorTransient |
      NSWindowCollectionBehaviorIgnoresCycle | NSWindowCollectionBehaviorFullScreenAuxiliary;
  panel.hidesOnDeactivate = NO;
  panel.movable = NO;
  panel.animationBehavior = NSWindowAnimationBehaviorNone;
  panel.styleMask |= NSWindowStyleMaskNonactivatingPanel;
}

}  // namespace jolstrand
