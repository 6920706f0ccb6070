// How each session hands out Super-Space, and what the setup window and the menu then say.

#include "shortcut_route.hpp"

#include <gtest/gtest.h>

#include "companion_texts.hpp"
#include "platform/hot_key_backend.hpp"
#include "setup_steps.hpp"
#include "status_menu.hpp"

namespace jolstrand {
namespace {

using Route = ShortcutRoute;

TEST(ShortcutRoute, FollowsWhatTheSessionOffers) {
  struct Row {
    SessionOffer offer;
    Route route;
  };
  const Row table[] = {
      // X11 grabs, whatever else is there.
      {{.wayland = false, .currentDesktop = "KDE", .kglobalaccel = true}, Route::keyGrab},
      {{.wayland = false, .currentDesktop = "GNOME", .portalShortcuts = true}, Route::keyGrab},
      // KDE's own service first, any Plasma; the portal where it is missing.
      {{.wayland = true, .currentDesktop = "KDE", .kglobalaccel = true, .portalShortcuts = true},
       Route::kde},
      {{.wayland = true, .currentDesktop = "KDE", .portalShortcuts = true}, Route::portal},
      {{.wayland = true, .currentDesktop = "ubuntu:GNOME", .portalShortcuts = true},
       Route::gnomePortal},
      {{.wayland = true, .currentDesktop = "ubuntu:GNOME"}, Route::gnomeCustomShortcut},
      {{.wayland = true, .currentDesktop = "Hyprland", .portalShortcuts = true, .hyprland = true},
       Route::hyprlandPortal},
      {{.wayland = true, .currentDesktop = "Hyprland", .hyprland = true}, Route::hyprland},
      {{.wayland = true, .currentDesktop = "sway", .sway = true}, Route::sway},
      // kglobalaccel outside KDE is no reason to use it.
      {{.wayland = true, .currentDesktop = "sway", .kglobalaccel = true, .sway = true},
       Route::sway},
      {{.wayland = true, .currentDesktop = "niri"}, Route::otherCompositor},
      {{.wayland = true, .currentDesktop = "KDE"}, Route::otherCompositor},
  };
  for (const Row& row : table) {
    EXPECT_EQ(chooseShortcutRoute(row.offer), row.route) << row.offer.currentDesktop;
  }
}

TEST(ShortcutRoute, RecognisesSuperSpaceInEachDesktopsWords) {
  for (const char* yes : {"Super+Space", "Meta+Space", "LOGO+space", "<Super>space",
                          " super + SPACE", "Mod4+space"}) {
    EXPECT_TRUE(isSuperSpaceTrigger(QString::fromLatin1(yes))) << yes;
  }
  for (const char* no : {"", "Space", "Super", "Ctrl+Alt+Space", "Super+Shift+Space",
                         "<Super><Shift>space", "Super+S", "Press Super+Space"}) {
    EXPECT_FALSE(isSuperSpaceTrigger(QString::fromLatin1(no))) << no;
  }
}

TEST(ShortcutRoute, TheSetupWindowSaysWhyEachStatusKeepsSuperSpaceAway) {
  struct Row {
    Route route;
    std::int32_t status;
    SetupStep2State state;
    const char* inTitle;
    const char* inBody;
  };
  const Row table[] = {
      {Route::sway, HotKeyBackend::unavailable, SetupStep2State::refused, "sway",
       "bindsym Mod4+space exec '/opt/My Apps/jolstrand'"},
      {Route::hyprland, HotKeyBackend::unavailable, SetupStep2State::refused, "Hyprland",
       "bind = SUPER, SPACE, exec, '/opt/My Apps/jolstrand'"},
      {Route::hyprlandPortal, HotKeyBackend::noKey, SetupStep2State::refused, "Hyprland",
       "global, org.jolstrand.Jolstrand:show-panel"},
      {Route::gnomePortal, HotKeyBackend::awaitingDesktop, SetupStep2State::refused, "Allow",
       "click Add"},
      {Route::gnomePortal, HotKeyBackend::refusedByDesktop, SetupStep2State::refused,
       "can't use Super-Space", "(error -5)"},
      {Route::gnomeCustomShortcut, HotKeyBackend::noKey, SetupStep2State::refused, "Add a shortcut",
       "runs '/opt/My Apps/jolstrand'"},
      {Route::kde, HotKeyBackend::noKey, SetupStep2State::refused, "a key", "Meta+Space"},
      {Route::kde, 0, SetupStep2State::ready, "Press Super-Space", "search panel"},
      // The key the user chose instead is fine, and named.
      {Route::portal, HotKeyBackend::otherKey, SetupStep2State::ready, "Press Ctrl+Alt+Space",
       "search panel"},
      // Where the texts have no words for a reason, its number.
      {Route::keyGrab, HotKeyBackend::noKey, SetupStep2State::refused, "can't use Super-Space",
       "(error -4)"},
  };
  const ShortcutDetails details{.trigger = QStringLiteral("Ctrl+Alt+Space"),
                                .command = QStringLiteral("'/opt/My Apps/jolstrand'")};
  for (const Row& row : table) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(row.route) << " " << row.status);
    const SetupView view =
        setupView(false, row.status, false, linuxCompanionTexts(row.route).setup, details);
    EXPECT_EQ(view.step2State, row.state);
    EXPECT_TRUE(view.step2.title.contains(QLatin1String(row.inTitle)))
        << view.step2.title.toStdString();
    EXPECT_TRUE(view.step2.body.contains(QLatin1String(row.inBody)))
        << view.step2.body.toStdString();
    EXPECT_EQ(view.step2Button, ShortcutButton::none);
  }
}

TEST(ShortcutRoute, GnomesCustomShortcutIsAddedAndRemovedFromStepTwo) {
  const SetupTexts& texts = linuxCompanionTexts(Route::gnomeCustomShortcut).setup;
  const ShortcutDetails details{.userAddsShortcut = true};
  const auto button = [&](bool holds, std::int32_t status, bool worked = false) {
    const SetupView view = setupView(holds, status, worked, texts, details);
    return std::pair(view.step2Button, view.step2ButtonTitle);
  };
  EXPECT_EQ(button(false, HotKeyBackend::noKey),
            std::pair(ShortcutButton::add, texts.addShortcutButton));
  EXPECT_EQ(button(false, 0), std::pair(ShortcutButton::remove, texts.removeShortcutButton));
  EXPECT_EQ(button(false, 0, true).first, ShortcutButton::remove);
  EXPECT_EQ(button(false, HotKeyBackend::otherKey).first, ShortcutButton::remove);
  // The input-source switch is freed first.
  EXPECT_EQ(button(true, HotKeyBackend::noKey).first, ShortcutButton::none);
  EXPECT_EQ(button(false, HotKeyBackend::refusedByDesktop).first, ShortcutButton::none);
}

TEST(ShortcutRoute, KdeNamesWhatHoldsSuperSpace) {
  const QString holder = QStringLiteral("Switch Layout (Keyboard Layout Switcher)");
  const SetupView view = setupView(true, HotKeyBackend::refusedByDesktop, false,
                                   linuxCompanionTexts(Route::kde).setup, {.holder = holder});
  EXPECT_TRUE(view.step1.body.startsWith("Super-Space belongs to \"" + holder + "\" right now"));
  EXPECT_EQ(view.step2State, SetupStep2State::blocked);
  MenuState state{
      .shortcutHeld = true, .hotKeyStatus = HotKeyBackend::refusedByDesktop, .holder = holder};
  EXPECT_EQ(statusMenuRows(state, linuxCompanionTexts(Route::kde).menu)[1].title,
            "Super-Space is assigned to " + holder);
}

TEST(ShortcutRoute, TheMenuSaysWhatTheSessionDoesWithTheShortcut) {
  struct Row {
    Route route;
    std::int32_t status;
    const char* line;  // none: no line between the catalogue and the separator
  };
  const Row table[] = {
      {Route::gnomePortal, 0, nullptr},
      {Route::gnomePortal, HotKeyBackend::awaitingDesktop,
       "The desktop has not granted the shortcut yet"},
      {Route::portal, HotKeyBackend::otherKey, "The shortcut is Ctrl+Alt+Space"},
      {Route::sway, HotKeyBackend::unavailable,
       "Bind a shortcut to jolstrand in sway's configuration"},
      {Route::kde, HotKeyBackend::noKey, "Jolstrand's shortcut has no key in KDE"},
      {Route::kde, HotKeyBackend::refusedByDesktop, "Super-Space is unavailable (error -5)"},
      {Route::keyGrab, 10, "Super-Space is unavailable (error 10)"},
  };
  for (const Row& row : table) {
    const MenuState state{.hotKeyStatus = row.status, .trigger = QStringLiteral("Ctrl+Alt+Space")};
    const std::vector<MenuRow> rows = statusMenuRows(state, linuxCompanionTexts(row.route).menu);
    if (row.line == nullptr) {
      EXPECT_TRUE(rows[1].separator);
    } else {
      EXPECT_EQ(rows[1].title, QString::fromUtf8(row.line));
    }
  }
  // macOS keeps its own two lines, whatever the status.
  const MenuState mac{.hotKeyStatus = HotKeyBackend::awaitingDesktop};
  EXPECT_EQ(statusMenuRows(mac, macOSCompanionTexts().menu)[1].title,
            "Command-Space is unavailable (error -2)");
}

TEST(ShortcutRoute, EveryDesktopsTextsNameNothingOfMacOS) {
  for (std::size_t route = 0; route < shortcutRouteCount; ++route) {
    const CompanionTexts& texts = linuxCompanionTexts(static_cast<Route>(route));
    const SetupTexts& s = texts.setup;
    const MenuTexts& m = texts.menu;
    for (const QString& text :
         {s.introduction, s.heldTitle, s.heldBody, s.freeTitle, s.freeBody, s.blockedBody,
          s.readyBody, s.awaitingBody, s.unboundBody, m.shortcutHeld, m.shortcutUnbound}) {
      // "Command-Space" and its kin; a shortcut's command is a Linux word too.
      for (const char* word : {"Command-", "Spotlight", "Finder", "macOS", "menu bar"}) {
        EXPECT_FALSE(text.contains(QLatin1String(word), Qt::CaseInsensitive))
            << route << ": " << text.toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace jolstrand
