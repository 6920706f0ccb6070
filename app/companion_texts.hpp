#pragma once
// Every text a user reads in the setup window, the support reminder, the about window and the
// status menu, one table per platform. macOS says Command-Space, Spotlight and Finder; Linux says
// the same in its own words (Super-Space, the desktop's input-source switch, the file manager, the
// tray icon) and gives GNOME Settings' steps. "%1" and "%2" mark where a number or version goes.

#include <QString>

namespace jolstrand {

struct SetupTexts {
  QString windowTitle;
  QString heading;
  QString introduction;
  QString settingsButton;
  QString doneButton;
  QString heldTitle;
  QString heldBody;
  QString freeTitle;
  QString freeBody;
  QString confirmedTitle;
  QString confirmedBody;
  QString refusedTitle;
  QString refusedBody;  // %1: the hot-key status in signed decimal
  QString pressTitle;   // step 2 while blocked and while ready
  QString blockedBody;
  QString readyBody;
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
  QString shortcutHeld;   // the platform's own use of the shortcut keeps it
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
};

struct CompanionTexts {
  SetupTexts setup;
  ReminderTexts reminder;
  AboutTexts about;
  MenuTexts menu;
};

[[nodiscard]] const CompanionTexts& macOSCompanionTexts();
[[nodiscard]] const CompanionTexts& linuxCompanionTexts();
/// The table of the platform this program was built for.
[[nodiscard]] const CompanionTexts& platformCompanionTexts();

}  // namespace jolstrand
