#include "status_menu.hpp"

#include <utility>

namespace jolstrand {
namespace {

MenuRow information(QString title) {
  MenuRow row;
  row.title = std::move(title);
  return row;
}

MenuRow separator() {
  MenuRow row;
  row.separator = true;
  return row;
}

MenuRow entry(QString title, MenuAction action, MenuCheck check = MenuCheck::Off) {
  MenuRow row;
  row.title = std::move(title);
  row.action = action;
  row.check = check;
  row.enabled = true;
  return row;
}

MenuCheck loginCheck(LoginItemStatus status) {
  switch (status) {
    case LoginItemStatus::Enabled:
      return MenuCheck::On;
    case LoginItemStatus::RequiresApproval:
      return MenuCheck::Mixed;
    case LoginItemStatus::NotRegistered:
    case LoginItemStatus::NotFound:
      break;
  }
  return MenuCheck::Off;
}

}  // namespace

std::vector<MenuRow> statusMenuRows(const MenuState& state, const MenuTexts& texts) {
  std::vector<MenuRow> rows;
  rows.push_back(information(texts.appCount.arg(static_cast<qulonglong>(state.catalogueSize))));
  // While the shortcut is held, a refused registration is expected and not worth a line.
  if (state.shortcutHeld) {
    rows.push_back(information(texts.shortcutHeld));
  } else if (state.hotKeyStatus != 0) {
    rows.push_back(information(texts.shortcutError.arg(state.hotKeyStatus)));
  }
  rows.push_back(separator());
  rows.push_back(entry(texts.showPanel, MenuAction::ShowPanel));
  rows.push_back(entry(texts.setUp, MenuAction::ShowSetup));
  rows.push_back(entry(texts.rescan, MenuAction::Rescan));
  rows.push_back(
      entry(texts.launchAtLogin, MenuAction::ToggleLoginItem, loginCheck(state.loginItem)));
  if (state.updaterOn) {
    rows.push_back(entry(state.waitingVersion ? texts.installWaiting.arg(*state.waitingVersion)
                                              : texts.checkForUpdates,
                         MenuAction::CheckForUpdates));
    rows.push_back(entry(texts.installAutomatically, MenuAction::ToggleAutoUpdate,
                         state.automaticDownloads ? MenuCheck::On : MenuCheck::Off));
  }
  rows.push_back(separator());
  rows.push_back(entry(texts.about, MenuAction::About));
  rows.push_back(entry(texts.support, MenuAction::OpenSupport));
  MenuRow quit = entry(texts.quit, MenuAction::Quit);
  quit.quitShortcut = true;
  rows.push_back(quit);
  return rows;
}

QString loginRefusalText(const QString& refusal, const QString& place, const MenuTexts& texts) {
  return refusal + (place.isEmpty() ? texts.loginRefusedNote : texts.loginRefusedNote.arg(place));
}

}  // namespace jolstrand
