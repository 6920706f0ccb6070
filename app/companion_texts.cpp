#include "companion_texts.hpp"

#include <array>
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

// The X11 session, and GNOME on any session: GNOME keeps Super-Space for switching input
// sources, and that is the shortcut to free.
CompanionTexts gnomeTable() {
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
  setup.shortcutName = QStringLiteral("Super-Space");
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

// Where the desktop asks before it gives an app a shortcut, and may give another key.
void askingDesktop(CompanionTexts& texts, const QString& dialog) {
  texts.setup.awaitingTitle = QStringLiteral("Allow Jolstrand's shortcut");
  texts.setup.awaitingBody =
      dialog + QStringLiteral(
                   " You may choose other keys there, too.\n\nIf the dialog was "
                   "closed, choose Set Up Super-Space from the tray icon's menu to "
                   "see it again.");
  texts.menu.shortcutAwaiting = QStringLiteral("The desktop has not granted the shortcut yet");
  texts.menu.shortcutOtherKey = QStringLiteral("The shortcut is %1");
}

// Where nothing keeps Super-Space that the launcher can see, step 1 has nothing to free.
void nothingToFree(CompanionTexts& texts, const QString& introduction, const QString& freeBody) {
  SetupTexts& setup = texts.setup;
  setup.introduction = introduction;
  setup.freeTitle = QStringLiteral("Super-Space is free");
  setup.freeBody = freeBody;
  setup.blockedBody = QStringLiteral(
      "Once Super-Space is free, press Super-Space to check that "
      "Jolstrand opens.");
}

// Where the user binds the key in the compositor's configuration, with the line to add.
void compositorBinding(CompanionTexts& texts, const QString& compositor, const QString& steps,
                       const QString& menuLine) {
  nothingToFree(texts,
                texts.setup.introduction.section(QStringLiteral("\n\n"), 0, 0) +
                    QStringLiteral("\n\nTo use it, ") + compositor +
                    QStringLiteral(" has to run Jolstrand when you press Super-Space. There are "
                                   "two steps."),
                compositor + QStringLiteral(" gives keys to what its configuration binds them "
                                            "to; nothing else keeps Super-Space."));
  texts.setup.unboundTitle = QStringLiteral("Bind Super-Space in ") + compositor;
  texts.setup.unboundBody =
      steps + QStringLiteral("\n\nThis step will turn green once Super-Space opens Jolstrand.");
  texts.menu.shortcutUnbound = menuLine;
}

CompanionTexts routeTable(ShortcutRoute route) {
  CompanionTexts texts = gnomeTable();
  const QString firstParagraph = texts.setup.introduction.section(QStringLiteral("\n\n"), 0, 0);
  switch (route) {
    case ShortcutRoute::keyGrab:
      break;
    case ShortcutRoute::gnomePortal:
      askingDesktop(texts, QStringLiteral("GNOME asks before it gives an app a shortcut: click "
                                          "Add in the dialog it shows."));
      texts.setup.unboundTitle = QStringLiteral("Give Jolstrand's shortcut a key");
      texts.setup.unboundBody = QStringLiteral(
          "GNOME gave Jolstrand's shortcut no key. In Settings, open Keyboard, then View and "
          "Customize Shortcuts, find Show Jolstrand and press Super-Space.");
      texts.menu.shortcutUnbound = QStringLiteral("Jolstrand's shortcut has no key in GNOME");
      break;
    case ShortcutRoute::kde:
      texts.setup.introduction =
          firstParagraph + QStringLiteral(
                               "\n\nTo use it, Super-Space has to be free of other "
                               "shortcuts, so that Jolstrand can take it. There are "
                               "two steps.");
      texts.setup.heldTitle = QStringLiteral("Free Super-Space in the shortcut settings");
      texts.setup.heldBody = QStringLiteral(
          "Super-Space belongs to \"%1\" right now, and Jolstrand can't open with it until that "
          "shortcut lets go.\n\n1. Click Open Keyboard Settings.\n2. Search for the shortcut by "
          "its name.\n3. Select it, then remove Meta+Space from it or give it other keys.\n4. "
          "Click Apply.\n\nThis step will turn green once Super-Space is free.");
      nothingToFree(texts, texts.setup.introduction,
                    QStringLiteral("No other shortcut holds Super-Space."));
      texts.setup.refusedBody = QStringLiteral(
          "KDE refused the shortcut (error %1). Another app may be using it. Quit Jolstrand "
          "from its tray icon and open it again to retry.");
      texts.setup.unboundTitle = QStringLiteral("Give Jolstrand's shortcut a key");
      texts.setup.unboundBody = QStringLiteral(
          "Jolstrand's shortcut has no key. Open Keyboard Settings from the tray icon's Set Up "
          "Super-Space, find Jolstrand and give Show Jolstrand a key, for example Meta+Space.");
      texts.menu.shortcutHeld = QStringLiteral("Super-Space is assigned to %1");
      texts.menu.shortcutOtherKey = QStringLiteral("The shortcut is %1");
      texts.menu.shortcutUnbound = QStringLiteral("Jolstrand's shortcut has no key in KDE");
      break;
    case ShortcutRoute::portal:
      nothingToFree(texts,
                    firstParagraph + QStringLiteral("\n\nTo use it, the desktop has to give "
                                                    "Jolstrand Super-Space as a global "
                                                    "shortcut. There are two steps."),
                    QStringLiteral("The desktop gives global shortcuts to the apps that ask, "
                                   "and Jolstrand has asked for Super-Space."));
      askingDesktop(texts, QStringLiteral("The desktop asks before it gives an app a shortcut: "
                                          "confirm it in the dialog it shows."));
      texts.setup.unboundTitle = QStringLiteral("Give Jolstrand's shortcut a key");
      texts.setup.unboundBody = QStringLiteral(
          "The desktop gave Jolstrand's shortcut no key. In the desktop's shortcut settings, "
          "give Show Jolstrand a key, for example Super-Space.");
      texts.menu.shortcutUnbound = QStringLiteral("Jolstrand's shortcut has no key yet");
      break;
    case ShortcutRoute::hyprlandPortal:
      compositorBinding(
          texts, QStringLiteral("Hyprland"),
          QStringLiteral("Hyprland binds keys to the shortcuts that apps ask its portal for. "
                         "Add this line to ~/.config/hypr/hyprland.conf:\n\nbind = SUPER, "
                         "SPACE, global, org.jolstrand.Jolstrand:show-panel"),
          QStringLiteral("Bind Super-Space to Jolstrand's shortcut in Hyprland's configuration"));
      askingDesktop(texts, QStringLiteral("Hyprland's portal has not granted Jolstrand's "
                                          "shortcut yet."));
      break;
    case ShortcutRoute::gnomeCustomShortcut:
      texts.setup.unboundTitle = QStringLiteral("Add a shortcut for Super-Space");
      texts.setup.unboundBody = QStringLiteral(
          "This version of GNOME gives global shortcuts only to commands. Click Add Shortcut, "
          "and Jolstrand adds one to your own shortcuts: Super-Space runs %1. Your other "
          "shortcuts stay as they are, and Remove Shortcut takes it away again.");
      texts.setup.readyBody += QStringLiteral(
          "\n\nGNOME Settings lists the shortcut as Jolstrand among your custom "
          "shortcuts; Remove Shortcut takes it away again.");
      texts.setup.addShortcutButton = QStringLiteral("Add Shortcut");
      texts.setup.removeShortcutButton = QStringLiteral("Remove Shortcut");
      texts.menu.shortcutOtherKey = QStringLiteral("The shortcut is %1");
      texts.menu.shortcutUnbound =
          QStringLiteral("Super-Space has no shortcut yet: add it in Set Up Super-Space");
      break;
    case ShortcutRoute::sway:
      compositorBinding(texts, QStringLiteral("sway"),
                        QStringLiteral("sway runs the commands its configuration binds to keys. "
                                       "Add this line to ~/.config/sway/config, then reload "
                                       "sway with Super-Shift-C:\n\nbindsym Mod4+space exec %1"),
                        QStringLiteral("Bind a shortcut to jolstrand in sway's configuration"));
      break;
    case ShortcutRoute::hyprland:
      compositorBinding(texts, QStringLiteral("Hyprland"),
                        QStringLiteral("Hyprland runs the commands its configuration binds to "
                                       "keys. Add this line to "
                                       "~/.config/hypr/hyprland.conf:\n\nbind = SUPER, SPACE, "
                                       "exec, %1"),
                        QStringLiteral("Bind a shortcut to jolstrand in Hyprland's "
                                       "configuration"));
      break;
    case ShortcutRoute::otherCompositor:
      compositorBinding(texts, QStringLiteral("the desktop"),
                        QStringLiteral("This desktop gives keys only to the commands it is told "
                                       "of. In its keyboard settings or its configuration, "
                                       "bind Super-Space to this command:\n\n%1"),
                        QStringLiteral("Bind a shortcut to jolstrand in the desktop's settings"));
      break;
  }
  return texts;
}

}  // namespace

const CompanionTexts& macOSCompanionTexts() {
  static const CompanionTexts table = macOSTable();
  return table;
}

const CompanionTexts& linuxCompanionTexts(ShortcutRoute route) {
  static const std::array<CompanionTexts, shortcutRouteCount> tables = [] {
    std::array<CompanionTexts, shortcutRouteCount> all;
    for (std::size_t each = 0; each < all.size(); ++each) {
      all[each] = routeTable(static_cast<ShortcutRoute>(each));
    }
    return all;
  }();
  return tables.at(static_cast<std::size_t>(route));
}

const CompanionTexts& platformCompanionTexts([[maybe_unused]] ShortcutRoute route) {
#ifdef __APPLE__
  return macOSCompanionTexts();
#else
  return linuxCompanionTexts(route);
#endif
}

}  // namespace jolstrand
