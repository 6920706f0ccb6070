#include "status_menu.hpp"

#include <utility>

#include "platform/hot_key_backend.hpp"

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

// The line that says why Super-Space does not open the launcher, in the platform's words for the
// reason where it has them, else as the error's number.
QString shortcutLine(const MenuState& state, const MenuTexts& texts) {
  if (state.shortcutHeld) {
    return texts.shortcutHeld.contains(QStringLiteral("%1"))
               ? texts.shortcutHeld.arg(state.holder.isEmpty() ? QStringLiteral("another shortcut")
                                                               : state.holder)
               : texts.shortcutHeld;
  }
  const std::int32_t status = state.hotKeyStatus;
  if (status == HotKeyBackend::otherKey && !texts.shortcutOtherKey.isEmpty() &&
      !state.trigger.isEmpty()) {
    return texts.shortcutOtherKey.arg(state.trigger);
  }
  if (status == HotKeyBackend::awaitingDesktop && !texts.shortcutAwaiting.isEmpty()) {
    return texts.shortcutAwaiting;
  }
  if ((status == HotKeyBackend::noKey || status == HotKeyBackend::unavailable) &&
      !texts.shortcutUnbound.isEmpty()) {
    return texts.shortcutUnbound;
  }
  return texts.shortcutError.arg(status);
}

}  // namespace

std::vector<MenuRow> statusMenuRows(const MenuState& state, const MenuTexts& texts) {
  std::vector<MenuRow> rows;
  rows.push_back(information(texts.appCount.arg(static_cast<qulonglong>(state.catalogueSize))));
  // While the shortcut is held, a refused registration is expected and not worth a line.
  if (state.shortcutHeld || state.hotKeyStatus != 0) {
    rows.push_back(information(shortcutLine(state, texts)));
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
