// The pure parts of the Linux desktop glue: reading $XDG_CURRENT_DESKTOP, GNOME's accelerator
// notation, and which program shows the keyboard shortcuts.

#include <gtest/gtest.h>

#include <set>

#include "platform/current_desktop.hpp"
#include "platform/gnome_shortcuts.hpp"
#include "platform/keyboard_settings.hpp"

namespace jolstrand {
namespace {

TEST(CurrentDesktop, FindsANameAnywhereInTheListIgnoringCase) {
  EXPECT_TRUE(currentDesktopIncludes("GNOME", "GNOME"));
  EXPECT_TRUE(currentDesktopIncludes("ubuntu:GNOME", "GNOME"));
  EXPECT_TRUE(currentDesktopIncludes("GNOME-Flashback:gnome", "GNOME"));
  EXPECT_TRUE(currentDesktopIncludes("KDE:", "KDE"));
  EXPECT_FALSE(currentDesktopIncludes("GNOME-Flashback", "GNOME"));
  EXPECT_FALSE(currentDesktopIncludes("XFCE", "GNOME"));
  EXPECT_FALSE(currentDesktopIncludes("", "GNOME"));
  EXPECT_FALSE(currentDesktopIncludes("::", "GNOME"));
}

TEST(GnomeAccelerator, AcceptsEverySpellingOfSuperSpace) {
  for (const char* text : {"<Super>space", "<super>space", "<SUPER>Space", "<Mod4>space",
                           "<mod4>SPACE", "<Super><Mod4>space"}) {
    EXPECT_TRUE(isSuperSpace(text)) << text;
  }
}

TEST(GnomeAccelerator, RejectsOtherKeysModifiersAndMalformedText) {
  for (const char* text : {"space", "<Super>", "<Super>s", "<Super>KP_Space", "<Shift><Super>space",
                           "<Super><Alt>space", "<Primary>space", "<Super>space ", "<Super space",
                           "Super+space", "<>space", "", "disabled"}) {
    EXPECT_FALSE(isSuperSpace(text)) << text;
  }
}

TEST(KeyboardSettingsCommand, PrefersGnomeSettingsThenKdesModules) {
  const auto onPath = [](std::set<QString> programs) {
    return [programs](const QString& program) { return programs.count(program) > 0; };
  };
  const SettingsCommand gnome{"gnome-control-center", {"keyboard"}};
  const SettingsCommand plasma{"systemsettings", {"kcm_keys"}};
  EXPECT_EQ(keyboardSettingsCommand("GNOME", onPath({"gnome-control-center", "systemsettings"})),
            gnome);
  EXPECT_EQ(keyboardSettingsCommand("", onPath({"systemsettings", "kcmshell5"})), plasma);
  EXPECT_EQ(keyboardSettingsCommand("", onPath({"kcmshell6", "kcmshell5"})),
            (SettingsCommand{"kcmshell6", {"kcm_keys"}}));
  EXPECT_EQ(keyboardSettingsCommand("", onPath({"kcmshell5"})),
            (SettingsCommand{"kcmshell5", {"kcm_keys"}}));
  EXPECT_EQ(keyboardSettingsCommand("GNOME", onPath({})), std::nullopt);
  // In a KDE session its own settings come first, even where GNOME's are installed too.
  EXPECT_EQ(keyboardSettingsCommand("KDE", onPath({"gnome-control-center", "systemsettings"})),
            plasma);
  EXPECT_EQ(keyboardSettingsCommand("KDE", onPath({"gnome-control-center"})), gnome);
}

}  // namespace
}  // namespace jolstrand
