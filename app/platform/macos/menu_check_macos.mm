#import <AppKit/AppKit.h>

#include "platform/macos/menu_check_macos.hpp"

#include <QAction>
#include <QMenu>

namespace jolstrand {
namespace {

NSControlStateValue nativeState(MenuCheck check) {
  switch (check) {
    case MenuCheck::On:
      return NSControlStateValueOn;
    case MenuCheck::Mixed:
      return NSControlStateValueMixed;
    case MenuCheck::Off:
      break;
  }
  return NSControlStateValueOff;
}

}  // namespace

// Qt gives no public way from an action to its native item; the item carries the action's text
// as its title (the status menu's titles have no mnemonics or tabs, which Qt would strip).
void showNativeCheck(QMenu& menu, const QAction& action, MenuCheck check) {
  NSMenuItem* item = [menu.toNSMenu() itemWithTitle:action.text().toNSString()];
  item.state = nativeState(check);
}

}  // namespace jolstrand
