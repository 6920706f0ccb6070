#pragma once
// macOS: a status-menu entry's check mark, set on its native menu item. Qt's actions know only on
// and off; AppKit's menu items also show the mixed state (a dash), which "Launch at Login" uses
// while the login item awaits the user's approval. Main thread only.

#include "status_menu.hpp"

class QAction;
class QMenu;

namespace jolstrand {

/// Shows check on the native item of action, an entry of menu; call once the menu is up to date
/// for this opening, since Qt sets the native item's state again whenever the action changes.
/// Nothing happens when the menu has no native item of that title.
void showNativeCheck(QMenu& menu, const QAction& action, MenuCheck check);

}  // namespace jolstrand
