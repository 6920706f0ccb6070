// The ranking of desktop entries over a corpus modelled on what GNOME, KDE and Xfce packages
// ship (data/desktop_corpus): everyday queries, and the application a user expects first.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "fixture_tree.hpp"
#include "jolstrand/app_scanner.hpp"
#include "jolstrand/matcher.hpp"

namespace jolstrand {
namespace {

struct Expected {
  const char* desktop;  // XDG_CURRENT_DESKTOP
  const char* query;
  const char* first;  // desktop-file id
};

constexpr Expected table[] = {
    {"GNOME", "files", "org.gnome.Nautilus.desktop"},
    {"GNOME", "settings", "org.gnome.Settings.desktop"},
    {"GNOME", "text editor", "org.gnome.TextEditor.desktop"},
    {"GNOME", "archive", "org.gnome.FileRoller.desktop"},
    {"GNOME", "terminal", "org.gnome.Terminal.desktop"},
    {"GNOME", "calculator", "org.gnome.Calculator.desktop"},
    {"GNOME", "calc", "org.gnome.Calculator.desktop"},
    {"GNOME", "pdf", "org.gnome.Evince.desktop"},
    {"GNOME", "web", "org.gnome.Epiphany.desktop"},
    {"GNOME", "image viewer", "org.gnome.eog.desktop"},
    {"GNOME", "calendar", "org.gnome.Calendar.desktop"},
    {"GNOME", "clock", "org.gnome.clocks.desktop"},
    {"GNOME", "weather", "org.gnome.Weather.desktop"},
    {"GNOME", "screenshot", "org.gnome.Screenshot.desktop"},
    {"GNOME", "disks", "org.gnome.DiskUtility.desktop"},
    {"GNOME", "disk usage", "org.gnome.baobab.desktop"},
    {"GNOME", "system monitor", "gnome-system-monitor.desktop"},
    {"GNOME", "task manager", "xfce4-taskmanager.desktop"},
    {"GNOME", "music", "org.gnome.Music.desktop"},
    {"GNOME", "videos", "org.gnome.Totem.desktop"},
    {"GNOME", "passwords", "org.gnome.seahorse.Application.desktop"},
    {"GNOME", "help", "yelp.desktop"},
    {"GNOME", "software", "org.gnome.Software.desktop"},
    {"GNOME", "nautilus", "org.gnome.Nautilus.desktop"},
    {"GNOME", "writer", "libreoffice-writer.desktop"},
    {"GNOME", "word", "libreoffice-writer.desktop"},
    {"GNOME", "spreadsheet", "libreoffice-calc.desktop"},
    {"GNOME", "presentation", "libreoffice-impress.desktop"},
    {"GNOME", "emacs", "emacs.desktop"},
    {"GNOME", "email", "org.gnome.Geary.desktop"},
    {"GNOME", "photo", "shotwell.desktop"},
    {"GNOME", "backup", "org.gnome.DejaDup.desktop"},
    {"GNOME", "print", "system-config-printer.desktop"},
    {"GNOME", "fonts", "org.gnome.font-viewer.desktop"},
    {"GNOME", "editor", "org.gnome.TextEditor.desktop"},
    {"GNOME", "firefox", "firefox-esr.desktop"},
    {"GNOME", "spotify", "com.spotify.Client.desktop"},
    {"GNOME", "telegram", "org.telegram.desktop.desktop"},
    {"GNOME", "system settings", "kdesystemsettings.desktop"},
    {"KDE", "settings", "systemsettings.desktop"},
    {"KDE", "system settings", "systemsettings.desktop"},
    {"KDE", "dolphin", "org.kde.dolphin.desktop"},
    {"KDE", "konsole", "org.kde.konsole.desktop"},
    {"KDE", "kate", "org.kde.kate.desktop"},
    {"KDE", "text editor", "org.gnome.TextEditor.desktop"},
    {"KDE", "calculator", "org.gnome.Calculator.desktop"},
    {"KDE", "image viewer", "org.gnome.eog.desktop"},
    {"KDE", "screenshot", "org.gnome.Screenshot.desktop"},
    {"KDE", "archive", "org.gnome.FileRoller.desktop"},
    {"KDE", "info center", "org.kde.kinfocenter.desktop"},
    {"KDE", "system monitor", "org.kde.plasma-systemmonitor.desktop"},
    {"KDE", "print settings", "system-config-printer.desktop"},
    {"KDE", "partition", "org.kde.partitionmanager.desktop"},
    {"KDE", "music", "org.gnome.Music.desktop"},
    {"KDE", "cons", "org.kde.konsole.desktop"},
    {"KDE", "console", "org.kde.konsole.desktop"},
    {"KDE", "okular", "org.kde.okular.desktop"},
    {"KDE", "files", "org.gnome.Nautilus.desktop"},
    {"KDE", "discover", "org.kde.discover.desktop"},
    {"KDE", "spectacle", "org.kde.spectacle.desktop"},
    {"KDE", "wallet", "org.kde.kwalletmanager5.desktop"},
    {"KDE", "menu editor", "org.kde.kmenuedit.desktop"},
    {"KDE", "word", "libreoffice-writer.desktop"},
    {"KDE", "presentation", "libreoffice-impress.desktop"},
};

// The corpus's catalogue under one desktop, its programs stubbed in a search path of its own.
class Corpus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree = new testing::FixtureTree;
    std::ifstream programs(JOLSTRAND_DESKTOP_CORPUS "/programs");
    for (std::string program; std::getline(programs, program);) {
      if (!program.empty() && program[0] != '#') tree->program("bin/" + program, "#!/bin/sh\n");
    }
  }
  static void TearDownTestSuite() { delete tree; }

  static Matcher catalogue(const std::string& desktop) {
    AppScanner scanner({}, {}, {JOLSTRAND_DESKTOP_CORPUS "/applications"});
    scanner.currentDesktops = desktop;
    scanner.searchPath = tree->path("bin");
    return Matcher(scanner.scan());
  }

  static std::vector<std::string> ids(const Matcher& matcher, const std::string& query) {
    std::vector<std::string> out;
    for (const Match& match : matcher.search(query, {}, 9)) out.push_back(match.entry.id());
    return out;
  }

  static inline testing::FixtureTree* tree = nullptr;
};

TEST_F(Corpus, PutsFirstWhatTheUserMeans) {
  for (const std::string desktop : {"GNOME", "KDE"}) {
    const Matcher matcher = catalogue(desktop);
    for (const Expected& row : table) {
      if (row.desktop != desktop) continue;
      const auto found = ids(matcher, row.query);
      EXPECT_EQ(found.empty() ? "" : found.front(), row.first)
          << desktop << ": \"" << row.query << '"';
    }
  }
}

TEST_F(Corpus, NamesNoLauncherProgramAndShowsWhatTheDesktopShows) {
  const Matcher gnome = catalogue("GNOME");
  EXPECT_THAT(ids(gnome, "sh"), ::testing::Not(::testing::Contains("emacsclient.desktop")));
  EXPECT_THAT(ids(gnome, "flatpak"), ::testing::IsEmpty());
  EXPECT_THAT(ids(gnome, "signal-desktop"),
              ::testing::ElementsAre("signal-desktop_signal-desktop.desktop"));
  EXPECT_EQ(gnome.entries().size(), 99U);
  EXPECT_EQ(catalogue("KDE").entries().size(), 97U);
}

}  // namespace
}  // namespace jolstrand
