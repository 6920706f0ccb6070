#include "companion_texts.hpp"

#include "support_page.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace jolstrand {
namespace {

std::vector<QString> everyText(const CompanionTexts& t) {
  const SetupTexts& s = t.setup;
  const ReminderTexts& r = t.reminder;
  const AboutTexts& a = t.about;
  return {s.windowTitle,     s.heading,      s.introduction, s.settingsButton, s.doneButton,
          s.heldTitle,       s.heldBody,     s.freeTitle,    s.freeBody,       s.confirmedTitle,
          s.confirmedBody,   s.refusedTitle, s.refusedBody,  s.pressTitle,     s.blockedBody,
          s.readyBody,       r.message,      r.information,  r.openPageButton, r.laterButton,
          r.supportedButton, a.windowTitle,  a.name,         a.version,        a.whatItIs,
          a.howToUse,        a.shortcutNote, a.freeNote,     a.supportLink};
}

TEST(CompanionTexts, MacOSSaysWhatTheSetupWindowShouldSay) {
  const SetupTexts& s = macOSCompanionTexts().setup;
  EXPECT_EQ(s.windowTitle, "Set Up Command-Space");
  EXPECT_EQ(s.heading, "Open apps faster with Command-Space");
  EXPECT_EQ(s.introduction,
            "If you're like me, you use Command-Space primarily as a fast app launcher. "
            "Unfortunately, Spotlight can get itself stuck in ways that make that slow and buggy. "
            "Jolstrand is designed as a fast application launcher that just does it: correctly, "
            "and fast.\n\nTo use it, Command-Space has to move from Spotlight to Jolstrand. There "
            "are two steps.");
  EXPECT_EQ(s.settingsButton, "Open Keyboard Settings");
  EXPECT_EQ(s.doneButton, "Done");
  EXPECT_EQ(s.heldTitle, "Turn off Spotlight's shortcut");
  EXPECT_EQ(
      s.heldBody,
      "Spotlight is using Command-Space right now, and Jolstrand can't open with it until "
      "Spotlight stops.\n\n1. Click Open Keyboard Settings.\n2. Click Keyboard Shortcuts.\n3. "
      "Select Spotlight in the list on the left.\n4. Deselect \"Show Spotlight search\", "
      "then click Done.\n\nIf you'd still like Spotlight on a different key, double-click "
      "its shortcut and press the new keys instead.\n\nThis step will turn green once the "
      "shortcut is off.");
  EXPECT_EQ(s.freeTitle, "Spotlight's shortcut is off");
  EXPECT_EQ(s.freeBody, "Command-Space is free for Jolstrand to use.");
  EXPECT_EQ(s.confirmedTitle, "Command-Space opens Jolstrand");
  EXPECT_EQ(s.confirmedBody,
            "Setup is complete. From now on, press Command-Space, type part of an app's name, and "
            "press Return.");
  EXPECT_EQ(s.refusedTitle, "Jolstrand can't use Command-Space");
  EXPECT_EQ(s.refusedBody.arg(-50),
            "macOS refused the shortcut (error -50). Another app may be using it. Quit Jolstrand "
            "from its menu bar item and open it again to retry.");
  EXPECT_EQ(s.pressTitle, "Press Command-Space");
  EXPECT_EQ(s.blockedBody,
            "Once Spotlight's shortcut is off, press Command-Space to check that Jolstrand opens.");
  EXPECT_EQ(s.readyBody,
            "Jolstrand's search panel will open. Type part of an app's name and press Return to "
            "open it, or press Escape to close the panel.\n\nIf nothing happens, quit Jolstrand "
            "from its menu bar item and open it again.");
}

TEST(CompanionTexts, MacOSSaysWhatTheReminderAndAboutWindowShouldSay) {
  const ReminderTexts& r = macOSCompanionTexts().reminder;
  EXPECT_EQ(r.message,
            "Jolstrand is free. If you find it useful, please consider supporting it; we decide "
            "what to continue producing based on what is being supported by the community.");
  EXPECT_EQ(r.information.arg(10),
            "This app has full functionality, whether you support it or not. This reminder will "
            "appear every 10 days until you choose \"Already Did, Thanks\".");
  EXPECT_EQ(r.openPageButton, "Open the Support Page");
  EXPECT_EQ(r.laterButton, "Remind Me Later");
  EXPECT_EQ(r.supportedButton, "Already Did, Thanks");

  const AboutTexts& a = macOSCompanionTexts().about;
  EXPECT_EQ(a.windowTitle, "About Jolstrand");
  EXPECT_EQ(a.name, "Jolstrand");
  EXPECT_EQ(a.version.arg("1.2", "34"), "Version 1.2 (34)");
  EXPECT_EQ(a.whatItIs,
            "If you're like me, you use Command-Space primarily as a fast app launcher. "
            "Unfortunately, Spotlight can get itself stuck in ways that make that slow and buggy. "
            "Jolstrand is designed as a fast application launcher that just does it: correctly, "
            "and fast.");
  EXPECT_EQ(a.howToUse,
            "Press Command-Space, type part of an app's name, and press Return to open it. "
            "Command-Return will show the app in Finder, and Escape will close the panel.");
  EXPECT_EQ(a.shortcutNote,
            "Spotlight's own Command-Space shortcut has to be off for Jolstrand to use it. Choose "
            "Set Up Command-Space from the menu bar item for the steps.");
  EXPECT_EQ(a.freeNote,
            "Jolstrand is free. If it saves you some time and you'd like to say thanks, you can "
            "buy me a coffee on Ko-fi.");
  EXPECT_EQ(a.supportLink, "Support Jolstrand on Ko-fi");
}

TEST(CompanionTexts, LinuxNamesNothingOfMacOS) {
  for (const QString& text : everyText(linuxCompanionTexts())) {
    ASSERT_FALSE(text.isEmpty());
    for (const char* word : {"Command", "Spotlight", "Finder", "macOS", "menu bar"}) {
      EXPECT_FALSE(text.contains(QLatin1String(word), Qt::CaseInsensitive))
          << word << " in: " << text.toStdString();
    }
  }
}

TEST(CompanionTexts, BothPlatformsLeaveRoomForTheSameNumbers) {
  const std::vector<QString> mac = everyText(macOSCompanionTexts());
  const std::vector<QString> onLinux = everyText(linuxCompanionTexts());
  ASSERT_EQ(mac.size(), onLinux.size());
  for (std::size_t i = 0; i < mac.size(); ++i) {
    for (const char* mark : {"%1", "%2"}) {
      EXPECT_EQ(mac[i].count(QLatin1String(mark)), onLinux[i].count(QLatin1String(mark)))
          << mac[i].toStdString();
    }
  }
  const SetupTexts& steps = linuxCompanionTexts().setup;
  EXPECT_TRUE(steps.heldBody.contains(QStringLiteral("View and Customize Shortcuts")));
  EXPECT_TRUE(steps.heldBody.contains(QStringLiteral("Switch to next input source")));
}

TEST(SupportPage, IsAnAbsoluteSecureWebAddress) {
  const QUrl page = supportPageURL();
  EXPECT_TRUE(page.isValid());
  EXPECT_FALSE(page.isRelative());
  EXPECT_EQ(page.scheme(), "https");
  EXPECT_FALSE(page.host().isEmpty());
}

}  // namespace
}  // namespace jolstrand
