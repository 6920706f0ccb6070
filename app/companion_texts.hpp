#pragma once
// Every text a user reads in the setup window, the support reminder, the about window and the
// status menu, one table per platform. macOS says Command-Space, Spotlight and Finder; Linux says
// the same in its own words (Super-Space, the desktop's input-source switch, the file manager, the
// tray icon) and gives the steps of the desktop at hand: Linux has one table per way the session
// hands out the shortcut. "%1" and "%2" mark where a number, version or name goes.

#include <QString>

#include "shortcut_route.hpp"

namespace jolstrand {

struct SetupTexts {
  QString windowTitle;
  QString heading;
  QString introduction;
  QString settingsButton;
  QString doneButton;
  QString heldTitle;
  QString heldBody;  // %1 (KDE): what holds the shortcut
  QString freeTitle;
  QString freeBody;
  QString confirmedTitle;
  QString confirmedBody;
  QString refusedTitle;
  QString refusedBody;  // %1: the hot-key status in signed decimal
  QString pressTitle;   // step 2 while blocked and while ready
  QString blockedBody;
  QString readyBody;
  // Linux only; where empty, the refused texts stand in.
  /// The shortcut's name in these texts; where the desktop gave another key, that key's name
  /// takes its place.
  QString shortcutName;
  QString awaitingTitle;  // the desktop has not granted the shortcut yet
  QString awaitingBody;
  QString unboundTitle;       // no key is bound to the shortcut yet
  QString unboundBody;        // %1: the command that runs Jolstrand
  QString addShortcutButton;  // where the user adds the desktop's shortcut from this window
  QString removeShortcutButton;
};

struct ReminderTexts {
  QString message;
  QString information;  // %1: the reminder period in days
  QString openPageButton;
  QString laterButton;
  QString supportedButton;
};

struct AboutTexts {
  QString windowTitle;
  QString name;
  QString version;  // %1: marketing version, %2: build number
  QString whatItIs;
  QString howToUse;
  QString shortcutNote;
  QString freeNote;
  QString supportLink;
};

struct MenuTexts {
  QString appCount;       // %1: the catalogue size in decimal
  QString shortcutHeld;   // the platform's own use of the shortcut keeps it; %1 (KDE): what
  QString shortcutError;  // %1: the hot-key status in signed decimal
  QString showPanel;
  QString setUp;
  QString rescan;
  QString launchAtLogin;
  QString installWaiting;  // %1: the waiting version
  QString checkForUpdates;
  QString installAutomatically;
  QString about;
  QString support;
  QString quit;
  QString loginRefusedMessage;
  /// Follows the error's own description; %1 (Linux): the login item's place.
  QString loginRefusedNote;
  // Linux only; where empty, shortcutError stands in.
  QString shortcutOtherKey;  // %1: the key the desktop gave the shortcut
  QString shortcutAwaiting;
  QString shortcutUnbound;
};

struct CompanionTexts {
  SetupTexts setup;
  ReminderTexts reminder;
  AboutTexts about;
  MenuTexts menu;
};

[[nodiscard]] const CompanionTexts& macOSCompanionTexts();
/// Linux's table for the way the session hands out the shortcut.
[[nodiscard]] const CompanionTexts& linuxCompanionTexts(
    ShortcutRoute route = ShortcutRoute::keyGrab);
/// The table of the platform this program was built for (macOS has one route).
[[nodiscard]] const CompanionTexts& platformCompanionTexts(
    ShortcutRoute route = ShortcutRoute::keyGrab);

}  // namespace jolstrand
