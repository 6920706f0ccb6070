#include "companion_texts.hpp"

#include <utility>

namespace jolstrand {
namespace {

// Shared by both tables: none of these name anything of the platform.
ReminderTexts reminderTexts() {
  return {
      QStringLiteral("Jolstrand is free. If you find it useful, please consider supporting it; we "
                     "decide what to continue producing based on what is being supported by the "
                     "community."),
      QStringLiteral("This app has full functionality, whether you support it or not. This "
                     "reminder will appear every %1 days until you choose \"Already Did, "
                     "Thanks\"."),
      QStringLiteral("Open the Support Page"),
      QStringLiteral("Remind Me Later"),
      QStringLiteral("Already Did, Thanks"),
  };
}

AboutTexts aboutTexts(QString whatItIs, QString howToUse, QString shortcutNote) {
  return {
      QStringLiteral("About Jolstrand"),
      QStringLiteral("Jolstrand"),
      QStringLiteral("Version %1 (%2)"),
      std::move(whatItIs),
      std::move(howToUse),
      std::move(shortcutNote),
      QStringLiteral("Jolstrand is free. If it saves you some time and you'd like to say thanks, "
                     "you can buy me a coffee on Ko-fi."),
      QStringLiteral("Support Jolstrand on Ko-fi"),
  };
}

// The menu's entries, the same on both platforms but for the shortcut's name and what holds it.
MenuTexts menuTexts(QString appCount, QString shortcutHeld, QString shortcutError, QString setUp,
                    QString loginRefusedNote) {
  return {
      std::move(appCount),
      std::move(shortcutHeld),
      std::move(shortcutError),
      QStringLiteral("Show Jolstrand"),
      std::move(setUp),
      QStringLiteral("Rescan Apps"),
      QStringLiteral("Launch at Login"),
      QStringLiteral("Install Jolstrand %1\u2026"),
      QStringLiteral("Check for Updates\u2026"),
      QStringLiteral("Install Updates Automatically"),
      QStringLiteral("About Jolstrand"),
      QStringLiteral("Support Jolstrand\u2026"),
      QStringLiteral("Quit Jolstrand"),
      QStringLiteral("Jolstrand can't change its login item"),
      std::move(loginRefusedNote),
  };
}

CompanionTexts macOSTable() {
  const QString whatItIs = QStringLiteral(
      "If you're like me, you use Command-Space primarily as a fast app launcher. Unfortunately, "
      "Spotlight can get itself stuck in ways that make that slow and buggy. Jolstrand is "
      "designed as a fast application launcher that just does it: correctly, and fast.");
  SetupTexts setup{
      QStringLiteral("Set Up Command-Space"),
      QStringLiteral("Open apps faster with Command-Space"),
      whatItIs + QStringLiteral("\n\nTo use it, Command-Space has to move from Spotlight to "
                                "Jolstrand. There are two steps."),
      QStringLiteral("Open Keyboard Settings"),
      QStringLiteral("Done"),
      QStringLiteral("Turn off Spotlight's shortcut"),
      QStringLiteral("Spotlight is using Command-Space right now, and Jolstrand can't open with it "
                     "until Spotlight stops.\n\n1. Click Open Keyboard Settings.\n2. Click "
                     "Keyboard Shortcuts.\n3. Select Spotlight in the list on the left.\n4. "
                     "Deselect \"Show Spotlight search\", then click Done.\n\nIf you'd still like "
                     "Spotlight on a different key, double-click its shortcut and press the new "
                     "keys instead.\n\nThis step will turn green once the shortcut is off."),
      QStringLiteral("Spotlight's shortcut is off"),
      QStringLiteral("Command-Space is free for Jolstrand to use."),
      QStringLiteral("Command-Space opens Jolstrand"),
      QStringLiteral("Setup is complete. From now on, press Command-Space, type part of an app's "
                     "name, and press Return."),
      QStringLiteral("Jolstrand can't use Command-Space"),
      QStringLiteral("macOS refused the shortcut (error %1). Another app may be using it. Quit "
                     "Jolstrand from its menu bar item and open it again to retry."),
      QStringLiteral("Press Command-Space"),
      QStringLiteral("Once Spotlight's shortcut is off, press Command-Space to check that "
                     "Jolstrand opens."),
      QStringLiteral("Jolstrand's search panel will open. Type part of an app's name and press "
                     "Return to open it, or press Escape to close the panel.\n\nIf nothing "
                     "happens, quit Jolstrand from its menu bar item and open it again."),
  };
  return {
      std::move(setup),
      reminderTexts(),
      aboutTexts(whatItIs,
                 QStringLiteral("Press Command-Space, type part of an app's name, and press "
                                "Return to open it. Command-Return will show the app in Finder, "
                                "and Escape will close the panel."),
                 QStringLiteral("Spotlight's own Command-Space shortcut has to be off for "
                                "Jolstrand to use it. Choose Set Up Command-Space from the menu "
                                "bar item for the steps.")),
      menuTexts(QStringLiteral("%1 apps"), QStringLiteral("Command-Space is assigned to Spotlight"),
                QStringLiteral("Command-Space is unavailable (error %1)"),
                QStringLiteral("Set Up Command-Space\u2026"),
                QStringLiteral("\n\nLaunch at Login works only from a signed copy of Jolstrand in "
                               "the Applications folder.")),
  };
}

// GNOME keeps Super-Space for switching input sources; that is the shortcut to free.
CompanionTexts linuxTable() {
  const QString whatItIs = QStringLiteral(
      "If you're like me, you use Super-Space primarily as a fast app launcher. Unfortunately, "
      "the desktop often keeps Super-Space for switching input sources, so it never reaches a "
      "launcher. Jolstrand is designed as a fast application launcher that just does it: "
      "correctly, and fast.");
  SetupTexts setup{
      QStringLiteral("Set Up Super-Space"),
      QStringLiteral("Open apps faster with Super-Space"),
      whatItIs + QStringLiteral("\n\nTo use it, Super-Space has to move from the desktop's "
                                "input-source switch to Jolstrand. There are two steps."),
      QStringLiteral("Open Keyboard Settings"),
      QStringLiteral("Done"),
      QStringLiteral("Turn off the input-source shortcut"),
      QStringLiteral("The desktop is using Super-Space to switch input sources right now, and "
                     "Jolstrand can't open with it until the desktop stops.\n\n1. Click Open "
                     "Keyboard Settings.\n2. Click View and Customize Shortcuts.\n3. Select "
                     "Typing.\n4. Select \"Switch to next input source\", press Backspace to "
                     "disable it, then close the window.\n\nIf you'd still like to switch input "
                     "sources from the keyboard, press the new keys instead of Backspace.\n\nThis "
                     "step will turn green once the shortcut is off."),
      QStringLiteral("The input-source shortcut is off"),
      QStringLiteral("Super-Space is free for Jolstrand to use."),
      QStringLiteral("Super-Space opens Jolstrand"),
      QStringLiteral("Setup is complete. From now on, press Super-Space, type part of an app's "
                     "name, and press Return."),
      QStringLiteral("Jolstrand can't use Super-Space"),
      QStringLiteral("The desktop refused the shortcut (error %1). Another app may be using it. "
                     "Quit Jolstrand from its tray icon and open it again to retry."),
      QStringLiteral("Press Super-Space"),
      QStringLiteral("Once the input-source shortcut is off, press Super-Space to check that "
                     "Jolstrand opens."),
      QStringLiteral("Jolstrand's search panel will open. Type part of an app's name and press "
                     "Return to open it, or press Escape to close the panel.\n\nIf nothing "
                     "happens, quit Jolstrand from its tray icon and open it again."),
  };
  return {
      std::move(setup),
      reminderTexts(),
      aboutTexts(whatItIs,
                 QStringLiteral("Press Super-Space, type part of an app's name, and press Return "
                                "to open it. Ctrl-Return will show the app in the file manager, "
                                "and Escape will close the panel."),
                 QStringLiteral("The desktop's own Super-Space shortcut (on GNOME, the "
                                "input-source switch) has to be off for Jolstrand to use it. "
                                "Choose Set Up Super-Space from the tray icon's menu for the "
                                "steps.")),
      menuTexts(QStringLiteral("%1 apps"),
                QStringLiteral("Super-Space is assigned to switching input sources"),
                QStringLiteral("Super-Space is unavailable (error %1)"),
                QStringLiteral("Set Up Super-Space\u2026"),
                QStringLiteral("\n\nLaunch at Login adds an entry that starts this copy of "
                               "Jolstrand to your autostart folder, %1.")),
  };
}

}  // namespace

const CompanionTexts& macOSCompanionTexts() {
  static const CompanionTexts table = macOSTable();
  return table;
}

const CompanionTexts& linuxCompanionTexts() {
  static const CompanionTexts table = linuxTable();
  return table;
}

const CompanionTexts& platformCompanionTexts() {
#ifdef __APPLE__
  return macOSCompanionTexts();
#else
  return linuxCompanionTexts();
#endif
}

}  // namespace jolstrand
