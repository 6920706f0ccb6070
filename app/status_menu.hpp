#pragma once
// The status item's menu as rows, built afresh from what the launcher knows at the moment it
// opens: the catalogue size, who holds the shortcut, the login item and the updater. The
// caller turns the rows into a real menu and binds each action; nothing here touches a widget.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "companion_texts.hpp"
#include "platform/login_item.hpp"

namespace jolstrand {

enum class MenuAction {
  None,  ///< an information line or a separator
  ShowPanel,
  ShowSetup,
  Rescan,
  ToggleLoginItem,
  CheckForUpdates,
  ToggleAutoUpdate,
  About,
  OpenSupport,
  Quit,
};

enum class MenuCheck { Off, On, Mixed };

struct MenuRow {
  bool separator = false;
  QString title;
  MenuAction action = MenuAction::None;
  MenuCheck check = MenuCheck::Off;
  bool enabled = false;
  bool quitShortcut = false;  ///< Quit's key: Ctrl-Q, Command-Q on macOS
  bool operator==(const MenuRow&) const = default;
};

struct MenuState {
  std::size_t catalogueSize = 0;
  bool shortcutHeld = false;      ///< Spotlight (on Linux the desktop) holds the shortcut
  std::int32_t hotKeyStatus = 0;  ///< 0 when the hot key is registered, else the system's error
  QString holder;   ///< what holds the shortcut, by name, where the desktop says (KDE)
  QString trigger;  ///< the key the desktop gave the shortcut instead (status otherKey)
  LoginItemStatus loginItem = LoginItemStatus::NotRegistered;
  bool updaterOn = false;
  std::optional<QString> waitingVersion;  ///< an update ready to install
  bool automaticDownloads = false;
};

/// The menu's rows in order, worded by texts.
[[nodiscard]] std::vector<MenuRow> statusMenuRows(const MenuState& state, const MenuTexts& texts);

/// The informative text of the alert after the login item refused a change: its own reason, then
/// the platform's note, naming place (LoginItem::place()) where the note has room for it.
[[nodiscard]] QString loginRefusalText(const QString& refusal, const QString& place,
                                       const MenuTexts& texts);

}  // namespace jolstrand
