// The pure parts of the Linux desktop glue: reading $XDG_CURRENT_DESKTOP, GNOME's accelerator
// notation, and which program shows the keyboard shortcuts.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <set>
#include <string>
#include <vector>

#include "jolstrand/log.hpp"

#include "jolstrand/current_desktop.hpp"
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

// Runs the opener with PATH set to folder alone.
void openWithPath(const QString& folder, std::string_view desktop) {
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", folder.toLocal8Bit());
  openKeyboardSettings(desktop);
  qputenv("PATH", path);
}

TEST(OpenKeyboardSettings, StartsTheProgramFoundOnThePathOrSaysThereIsNone) {
  QTemporaryDir folder;
  std::vector<std::string> lines;
  const LogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
  openWithPath(folder.path(), "GNOME");
  EXPECT_EQ(lines, std::vector<std::string>{"Jolstrand: no keyboard settings program was found"});

  const QString marker = folder.filePath(QStringLiteral("arguments"));
  QFile program(folder.filePath(QStringLiteral("kcmshell6")));
  ASSERT_TRUE(program.open(QIODevice::WriteOnly));
  program.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(marker).toUtf8());
  program.close();
  program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  openWithPath(folder.path(), "KDE");
  const auto written = [&] {
    QFile file(marker);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
  };
  QTRY_COMPARE_WITH_TIMEOUT(written(), QByteArray("kcm_keys"), 10000);
  EXPECT_EQ(lines.size(), 1U);
}

}  // namespace
}  // namespace jolstrand
