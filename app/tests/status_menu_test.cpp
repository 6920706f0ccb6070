#include "status_menu.hpp"

#include <gtest/gtest.h>
#include <QStringList>

#include <limits>
#include <stdexcept>
#include <utility>

namespace jolstrand {
namespace {

const MenuTexts& mac() {
  return macOSCompanionTexts().menu;
}

QStringList titles(const std::vector<MenuRow>& rows) {
  QStringList out;
  for (const MenuRow& row : rows) out << (row.separator ? QStringLiteral("-") : row.title);
  return out;
}

const MenuRow& rowWith(const std::vector<MenuRow>& rows, MenuAction action) {
  for (const MenuRow& row : rows) {
    if (row.action == action) return row;
  }
  throw std::logic_error("no such row");
}

TEST(StatusMenu, FullMenuInOrderWithItsActions) {
  MenuState state;
  state.catalogueSize = 42;
  state.hotKeyStatus = -9878;
  state.updaterOn = true;
  const std::vector<MenuRow> rows = statusMenuRows(state, mac());
  EXPECT_EQ(titles(rows), QStringList({"42 apps", "Command-Space is unavailable (error -9878)", "-",
                                       "Show Jolstrand", "Set Up Command-Space\u2026",
                                       "Rescan Apps", "Launch at Login", "Check for Updates\u2026",
                                       "Install Updates Automatically", "-", "About Jolstrand",
                                       "Support Jolstrand\u2026", "Quit Jolstrand"}));
  const std::vector<MenuAction> actions = {MenuAction::None,
                                           MenuAction::None,
                                           MenuAction::None,
                                           MenuAction::ShowPanel,
                                           MenuAction::ShowSetup,
                                           MenuAction::Rescan,
                                           MenuAction::ToggleLoginItem,
                                           MenuAction::CheckForUpdates,
                                           MenuAction::ToggleAutoUpdate,
                                           MenuAction::None,
                                           MenuAction::About,
                                           MenuAction::OpenSupport,
                                           MenuAction::Quit};
  ASSERT_EQ(rows.size(), actions.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].action, actions[i]) << i;
    // Information lines and separators are disabled; every action is enabled.
    EXPECT_EQ(rows[i].enabled, actions[i] != MenuAction::None) << i;
    EXPECT_EQ(rows[i].quitShortcut, actions[i] == MenuAction::Quit) << i;
  }
  EXPECT_TRUE(rows[2].separator);
  EXPECT_TRUE(rows[9].separator);
}

TEST(StatusMenu, ShortcutLines) {
  MenuState state;
  state.catalogueSize = 1;
  // Registered and free: the catalogue line is followed directly by the separator.
  std::vector<MenuRow> rows = statusMenuRows(state, mac());
  EXPECT_EQ(rows[0].title, "1 apps");
  EXPECT_TRUE(rows[1].separator);

  // Held: only the Spotlight line, whatever the status.
  state.shortcutHeld = true;
  for (std::int32_t status : {0, -9878, 1}) {
    state.hotKeyStatus = status;
    rows = statusMenuRows(state, mac());
    EXPECT_EQ(rows[1].title, "Command-Space is assigned to Spotlight");
    EXPECT_FALSE(rows[1].enabled);
    EXPECT_TRUE(rows[2].separator);
  }

  // Let go, and the renewed registration fails: the new error, signed, in decimal.
  state.shortcutHeld = false;
  state.hotKeyStatus = std::numeric_limits<std::int32_t>::min();
  rows = statusMenuRows(state, mac());
  EXPECT_EQ(rows[1].title, "Command-Space is unavailable (error -2147483648)");
  EXPECT_TRUE(rows[2].separator);
  state.hotKeyStatus = 7;
  EXPECT_EQ(statusMenuRows(state, mac())[1].title, "Command-Space is unavailable (error 7)");

  state.catalogueSize = 0;
  EXPECT_EQ(statusMenuRows(state, mac())[0].title, "0 apps");
  state.catalogueSize = 123456;
  EXPECT_EQ(statusMenuRows(state, mac())[0].title, "123456 apps");
}

TEST(StatusMenu, LoginItemStates) {
  MenuState state;
  const std::pair<LoginItemStatus, MenuCheck> cases[] = {
      {LoginItemStatus::NotRegistered, MenuCheck::Off},
      {LoginItemStatus::Enabled, MenuCheck::On},
      {LoginItemStatus::RequiresApproval, MenuCheck::Mixed},
      {LoginItemStatus::NotFound, MenuCheck::Off},
  };
  for (const auto& [status, check] : cases) {
    state.loginItem = status;
    const std::vector<MenuRow> rows = statusMenuRows(state, mac());
    const MenuRow& row = rowWith(rows, MenuAction::ToggleLoginItem);
    EXPECT_EQ(row.check, check) << static_cast<int>(status);
    EXPECT_TRUE(row.enabled);
  }
}

TEST(StatusMenu, UpdaterRows) {
  MenuState state;
  // Off: no update rows, and the second separator follows Launch at Login.
  state.waitingVersion = QStringLiteral("2.1");
  state.automaticDownloads = true;
  std::vector<MenuRow> rows = statusMenuRows(state, mac());
  EXPECT_EQ(rows.size(), 10U);
  EXPECT_EQ(rows[5].action, MenuAction::ToggleLoginItem);
  EXPECT_TRUE(rows[6].separator);

  state.updaterOn = true;
  rows = statusMenuRows(state, mac());
  EXPECT_EQ(rows[6].title, QString::fromUtf8("Install Jolstrand 2.1\xE2\x80\xA6"));
  EXPECT_EQ(rows[6].action, MenuAction::CheckForUpdates);
  EXPECT_EQ(rows[7].check, MenuCheck::On);

  state.waitingVersion.reset();
  state.automaticDownloads = false;
  rows = statusMenuRows(state, mac());
  EXPECT_EQ(rows[6].title, "Check for Updates\u2026");
  EXPECT_EQ(rows[6].action, MenuAction::CheckForUpdates);
  EXPECT_EQ(rows[7].title, "Install Updates Automatically");
  EXPECT_EQ(rows[7].check, MenuCheck::Off);
  EXPECT_TRUE(rows[8].separator);

  // A version that looks like a placeholder is written as it is.
  state.waitingVersion = QStringLiteral("%2 beta");
  EXPECT_EQ(statusMenuRows(state, mac())[6].title, "Install Jolstrand %2 beta\u2026");
}

TEST(StatusMenu, LoginRefusalTexts) {
  EXPECT_EQ(mac().loginRefusedMessage, "Jolstrand can't change its login item");
  EXPECT_EQ(loginRefusalText(QStringLiteral("The operation couldn't be completed."), {}, mac()),
            "The operation couldn't be completed.\n\nLaunch at Login works only from a signed "
            "copy of Jolstrand in the Applications folder.");
  // On Linux the note names the autostart folder, wherever the configuration lives.
  EXPECT_EQ(
      loginRefusalText(QStringLiteral("Couldn't write it: No space left on device"),
                       QStringLiteral("/srv/home/ann/.cfg/autostart"), linuxCompanionTexts().menu),
      "Couldn't write it: No space left on device\n\nLaunch at Login adds an entry that "
      "starts this copy of Jolstrand to your autostart folder, /srv/home/ann/.cfg/autostart.");
}

TEST(StatusMenu, LinuxNamesNothingOfMacOS) {
  MenuState state;
  state.updaterOn = true;
  state.hotKeyStatus = -1;
  QStringList texts = titles(statusMenuRows(state, linuxCompanionTexts().menu));
  state.shortcutHeld = true;
  state.waitingVersion = QStringLiteral("2.1");
  texts << titles(statusMenuRows(state, linuxCompanionTexts().menu));
  const MenuTexts& onLinux = linuxCompanionTexts().menu;
  texts << onLinux.loginRefusedMessage << onLinux.loginRefusedNote;
  for (const QString& text : texts) {
    ASSERT_FALSE(text.isEmpty());
    for (const char* word : {"Command", "Spotlight", "Finder", "macOS", "menu bar"}) {
      EXPECT_FALSE(text.contains(QLatin1String(word), Qt::CaseInsensitive))
          << word << " in: " << text.toStdString();
    }
  }
  EXPECT_TRUE(texts.contains("Super-Space is unavailable (error -1)"));
  EXPECT_TRUE(texts.contains("Set Up Super-Space\u2026"));
  EXPECT_TRUE(onLinux.loginRefusedNote.startsWith("\n\n"));
}

}  // namespace
}  // namespace jolstrand
