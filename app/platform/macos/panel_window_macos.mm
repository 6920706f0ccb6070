// macOS: a non-activating floating panel on every space and over full-screen applications, out
// of window cycling, at the modal-panel level, without animation. It takes the keys while the
// user's application stays active: Qt's raise() and activateWindow() would activate the
// launcher, so presenting orders the panel front and makes it key through AppKit instead.

#import <AppKit/AppKit.h>

#include <QWidget>

#include "platform/panel_window.hpp"

namespace jolstrand {
namespace {

NSWindow* nativeWindow(QWidget& window) {
  NSView* view = reinterpret_cast<NSView*>(window.winId());
  return view.window;
}

// Qt builds a tool window as an NSPanel; only a panel can be non-activating. Applied again before
// each presentation because Qt may recreate the native window (a screen change, new flags).
void applyPanelProperties(NSWindow* panel) {
  if (![panel isKindOfClass:[NSPanel class]]) return;
  panel.styleMask |= NSWindowStyleMaskNonactivatingPanel;
  panel.level = NSModalPanelWindowLevel;
  panel.collectionBehavior =
      NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorTransient |
      NSWindowCollectionBehaviorIgnoresCycle | NSWindowCollectionBehaviorFullScreenAuxiliary;
  panel.hidesOnDeactivate = NO;
  panel.movable = NO;
  panel.animationBehavior = NSWindowAnimationBehaviorNone;
}

}  // namespace

void makeFloatingPanel(QWidget& window) {
  NSWindow* panel = nativeWindow(window);
  if (panel != nil) applyPanelProperties(panel);
}

void presentPanel(QWidget& window, const QString& /*activationToken*/) {
  NSWindow* panel = nativeWindow(window);
  if (panel != nil) applyPanelProperties(panel);
  window.show();
  if (panel == nil) panel = nativeWindow(window);
  [panel orderFrontRegardless];
  [panel makeKeyWindow];
}

}  // namespace jolstrand
