// The command-line modes, through the real executable, on fixture trees.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>

#include "fixture_tree.hpp"
#include "scoped_variable.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using testing::FixtureTree;
using ::testing::MatchesRegex;

struct Result {
  int status;
  std::vector<std::string> lines;
  std::string output;
  std::string errors;
};

// Runs the launcher with the arguments over the tree: its roots, home, data folder and
// desktop entry folders (Home/data/applications, then Shared/applications), with the locale,
// and without a display.
Result runJolstrand(const FixtureTree& tree, const std::vector<std::string>& arguments,
                    const std::string& locale = "en_US.UTF-8",
                    const std::string& program = JOLSTRAND_EXECUTABLE) {
  int pipeEnds[2];
  EXPECT_EQ(pipe(pipeEnds), 0);
  FILE* errors = std::tmpfile();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(fileno(errors), STDERR_FILENO);
    close(pipeEnds[0]);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    setenv("JOLSTRAND_ROOT", tree.path("").c_str(), 1);
    setenv("HOME", tree.path("Home").c_str(), 1);
    setenv("XDG_DATA_HOME", tree.path("Home/data").c_str(), 1);
    setenv("XDG_DATA_DIRS", tree.path("Shared").c_str(), 1);
    setenv("LC_ALL", locale.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  Result run{};
  char buffer[4096];
  for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
    run.output.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::rewind(errors);
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, errors)) > 0;) {
    run.errors.append(buffer, got);
  }
  std::fclose(errors);
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  return run;
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.bundle("Applications/Quill.app", {.identifier = "Quill", .displayName = "Quill Writer"});
    tree.bundle("Applications/Sound Wave.app", {.identifier = "com.example.wave"});
    tree.bundle("System/Applications/Soundboard.app", {.identifier = "com.example.board"});
    tree.file("Home/data/Jolstrand/usage.json",
              R"({"com.example.board":{"score":3,"updated":9e8}})");
  }
  FixtureTree tree;
};

TEST_F(CommandLine, ListsTheCatalogueThenItsSize) {
  const Result run = runJolstrand(tree, {"--list"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(
      run.lines,
      ElementsAre(
          "Quill\tquill\t" + tree.path("Applications/Quill.app") + "  (also: quill writer)",
          "Sound Wave\tcom.example.wave\t" + tree.path("Applications/Sound Wave.app"),
          "Soundboard\tcom.example.board\t" + tree.path("System/Applications/Soundboard.app"),
          MatchesRegex("3 apps, scanned in [0-9]+\\.[0-9]+ seconds")));
  EXPECT_TRUE(run.output.ends_with("seconds\n"));
}

TEST_F(CommandLine, RunsEveryTermAfterQueryAsOneQuery) {
  const Result run = runJolstrand(tree, {"--query", "sound", "wave", "sound wave", ""});
  EXPECT_EQ(run.status, 0);
  const std::string wave = "\tSound Wave\t" + tree.path("Applications/Sound Wave.app");
  const std::string board = "\tSoundboard\t" + tree.path("System/Applications/Soundboard.app");
  const std::string time = " \\([0-9]+\\.[0-9]+ seconds\\):";
  EXPECT_THAT(run.lines,
              ElementsAre(MatchesRegex("\"sound\"" + time), "  prefix" + board, "  prefix" + wave,
                          MatchesRegex("\"wave\"" + time), "  wordPrefix" + wave,
                          MatchesRegex("\"sound wave\"" + time), "  exact" + wave,
                          MatchesRegex("\"\"" + time), "  exact" + board));
}

TEST_F(CommandLine, TreatsEverythingAfterQueryAsTermsButStillSeesList) {
  const Result run = runJolstrand(tree, {"--query", "zzz", "--list"});
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 6U);
  EXPECT_THAT(run.lines[3], MatchesRegex("3 apps, scanned in .* seconds"));
  EXPECT_THAT(run.lines[4], MatchesRegex("\"zzz\" \\(.* seconds\\):"));
  EXPECT_THAT(run.lines[5], MatchesRegex("\"--list\" \\(.* seconds\\):"));
}

TEST_F(CommandLine, PrintsNothingForAQueryFlagWithoutTerms) {
  const Result run = runJolstrand(tree, {"--query"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "");
}

class CommandLineDesktopEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    files = tree.file("Shared/applications/org.example.Files.desktop",
                      "[Desktop Entry]\nType=Application\nName=Files\nName[de]=Dateien\n"
                      "Name[fr]=Fichiers\nGenericName=File Manager\nKeywords=folder;explorer;\n"
                      "Keywords[de]=Ordner;\nExec=/bin/sh --new-window %U\n");
    tree.file("Shared/applications/hidden.desktop",
              "[Desktop Entry]\nType=Application\nName=Hidden Files\nExec=sh\nNoDisplay=true\n");
    tree.bundle("Applications/Filer.app", {.identifier = "com.example.filer"});
  }
  FixtureTree tree;
  std::string files;
};

TEST_F(CommandLineDesktopEntries, ListsEntriesInTheUsersLanguageBesideBundles) {
  const std::string filer = "Filer\tcom.example.filer\t" + tree.path("Applications/Filer.app");
  EXPECT_THAT(runJolstrand(tree, {"--list"}).lines,
              ElementsAre(filer,
                          "Files\torg.example.Files.desktop\t" + files +
                              "  (also: file manager, folder, explorer, sh)",
                          MatchesRegex("2 apps, .*")));
  EXPECT_THAT(runJolstrand(tree, {"--list"}, "de_DE.UTF-8").lines,
              ElementsAre("Dateien\torg.example.Files.desktop\t" + files +
                              "  (also: files, file manager, ordner, sh)",
                          filer, MatchesRegex("2 apps, .*")));
  EXPECT_THAT(runJolstrand(tree, {"--list"}, "fr_FR.UTF-8").lines.at(0),
              ::testing::StartsWith("Fichiers\t"));
}

TEST_F(CommandLineDesktopEntries, FindsEntriesByKeywordAndProgramName) {
  const std::string hit = "\tFiles\t" + files;
  const std::string time = " \\([0-9]+\\.[0-9]+ seconds\\):";
  EXPECT_THAT(runJolstrand(tree, {"--query", "explorer", "sh", "hidden"}).lines,
              ElementsAre(MatchesRegex("\"explorer\"" + time), "  exact" + hit,
                          MatchesRegex("\"sh\"" + time), "  exact" + hit,
                          MatchesRegex("\"hidden\"" + time)));
}

// Answered by the program alone, before any window system is touched; and without a display the
// launcher says so in one line rather than aborting.
TEST(ProgramArguments, HelpVersionRefusalsAndAMissingDisplay) {
  FixtureTree tree;
  const std::string usage =
      "usage: jolstrand [--setup] [--about] [--support-reminder] | --list | --query TERM... | "
      "--icons [PIXELS] [--icon-theme NAME] | --help | --version\n";
  const std::string noDisplay =
      "jolstrand: no display: run it in a desktop session, or use --list / --query\n";
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output;  // the start of what it prints, or all of it when it ends in a newline
    std::string errors;
    bool qtSpeaksFirst = false;  // Qt's own messages may come before
  };
  const Case cases[] = {
      {{"--help"}, 0, usage + "\nJolstrand is a keyboard launcher.", ""},
      {{"--setup", "-h"}, 0, "usage: jolstrand [--setup]", ""},
      {{"--version"},
       0,
       "Jolstrand " JOLSTRAND_VERSION " (build " JOLSTRAND_BUILD_NUMBER ")\n",
       ""},
      // What an update asks of a program before putting it in place: the module loads here.
      {{"--self-test"},
       0,
       "Jolstrand " JOLSTRAND_VERSION " (build " JOLSTRAND_BUILD_NUMBER ")\n",
       ""},
      {{"--bogus"}, 2, "", "jolstrand: unknown argument '--bogus'\n" + usage},
      {{"--setup", "sound"}, 2, "", "jolstrand: unknown argument 'sound'\n" + usage},
      {{"--about", "-platform"}, 2, "", "jolstrand: -platform needs a value\n" + usage},
      {{"--icons", "big"}, 2, "", "jolstrand: unknown argument 'big'\n" + usage},
      {{"--icons", "0"},
       2,
       "",
       "jolstrand: --icons takes one size, from 1 to 1024 pixels\n" + usage},
      {{"--icons", "16", "32"},
       2,
       "",
       "jolstrand: --icons takes one size, from 1 to 1024 pixels\n" + usage},
      {{"--icons", "--icon-theme"},
       2,
       "",
       "jolstrand: --icon-theme needs a theme's name\n" + usage},
      {{"--icon-theme", "breeze"}, 2, "", "jolstrand: unknown argument '--icon-theme'\n" + usage},
      {{}, 1, "", noDisplay},
      {{"--setup", "--about", "--support-reminder"}, 1, "", noDisplay},
      // Told to use X11 where there is none: Qt gives up, and the launcher ends the same way.
      {{"--platform", "xcb"}, 1, "", noDisplay, true},
  };
  for (const Case& test : cases) {
    const std::string arguments = ::testing::PrintToString(test.arguments);
    const Result run = runJolstrand(tree, test.arguments);
    EXPECT_EQ(run.status, test.status) << arguments << run.errors;
    if (test.output.ends_with('\n')) {
      EXPECT_EQ(run.output, test.output) << arguments;
    } else {
      EXPECT_THAT(run.output, ::testing::StartsWith(test.output)) << arguments;
    }
    if (test.qtSpeaksFirst) {
      EXPECT_THAT(run.errors, ::testing::EndsWith(test.errors)) << arguments;
    } else {
      EXPECT_EQ(run.errors, test.errors) << arguments;
    }
  }
  const std::string help = runJolstrand(tree, {"--help"}).output;
  EXPECT_THAT(help, ::testing::Not(::testing::HasSubstr("--self-test")));  // internal
  for (const char* fact : {"--list", "--query TERM", "--setup", "--about", "--support-reminder",
                           "XDG_DATA_DIRS", "JOLSTRAND_ROOT", "usage.json", "settings.ini"}) {
    EXPECT_THAT(help, ::testing::HasSubstr(fact));
  }
}

// Each entry's icon file in the theme asked for, else the desktop's: KDE's kdeglobals, GNOME's
// settings (through GSettings' keyfile backend here), elsewhere hicolor.
TEST_F(CommandLineDesktopEntries, PrintsTheFileOfEveryEntrysIconWithoutADisplay) {
  tree.file("Shared/applications/tool.desktop",
            "[Desktop Entry]\nType=Application\nName=Tool\nExec=sh\nIcon=tool\n");
  for (const std::string theme : {"Ocean", "hicolor"}) {
    tree.file("Shared/icons/" + theme + "/index.theme",
              "[Icon Theme]\nDirectories=48/apps\n[48/apps]\nSize=48\nType=Fixed\n");
    tree.file("Shared/icons/" + theme + "/48/apps/tool.png");
  }
  tree.file("Home/.config/kdeglobals", "[Icons]\nTheme=Ocean\n");
  tree.file("Home/.config/glib-2.0/settings/keyfile",
            "[org/gnome/desktop/interface]\nicon-theme='Ocean'\n");
  const testing::ScopedVariable backend("GSETTINGS_BACKEND", "keyfile");
  // The installed schemas: the data folders here are the fixture's only.
  const testing::ScopedVariable schemas("GSETTINGS_SCHEMA_DIR", "/usr/share/glib-2.0/schemas");
  const std::string ocean = tree.path("Shared/icons/Ocean/48/apps/tool.png");
  const std::string hicolor = tree.path("Shared/icons/hicolor/48/apps/tool.png");
  const std::pair<std::pair<const char*, std::vector<std::string>>, std::string> cases[] = {
      {{"", {"--icons"}}, hicolor},
      {{"KDE", {"--icons", "48"}}, ocean},
      {{"ubuntu:GNOME", {"--icons"}}, ocean},
      {{"KDE", {"--icon-theme", "hicolor", "--icons"}}, hicolor},
  };
  for (const auto& [asked, file] : cases) {
    const testing::ScopedVariable desktop("XDG_CURRENT_DESKTOP", asked.first);
    const Result run = runJolstrand(tree, asked.second);
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.lines,
                ElementsAre("Filer\tcom.example.filer\t", "Files\torg.example.Files.desktop\t",
                            "Tool\ttool.desktop\t" + file))
        << asked.first << run.errors;
  }
}

TEST(CommandLineEmpty, PrintsOnlyTheSummaryForAnEmptyCatalogue) {
  FixtureTree tree;
  const Result run = runJolstrand(tree, {"--list"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.lines, ElementsAre(MatchesRegex("0 apps, scanned in .* seconds")));
}

// Copied away from the launcher module, the program still answers the command-line modes, which
// never load it, and names the file it misses when asked to start the launcher.
TEST(ProgramWithoutTheLauncherModule, AnswersTheCommandLineAndNamesTheMissingModule) {
  FixtureTree tree;
  tree.bundle("Applications/Quill.app", {.identifier = "Quill"});
  const std::string program = tree.folder("Copy/bin") + "/jolstrand";
  std::filesystem::copy_file(JOLSTRAND_EXECUTABLE, program);
  EXPECT_THAT(runJolstrand(tree, {"--list"}, "en_US.UTF-8", program).lines,
              ElementsAre(::testing::StartsWith("Quill\tquill\t"),
                          MatchesRegex("1 apps, scanned in .* seconds")));

  FILE* started = popen(("'" + program + "' 2>&1").c_str(), "r");
  ASSERT_NE(started, nullptr);
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, started)) > 0;)
    output.append(buffer, got);
  const int status = pclose(started);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  const std::string module = std::filesystem::canonical(tree.path("Copy/bin")).string() +
                             "/../lib/jolstrand/modules/jolstrand-launcher.so";
  EXPECT_THAT(output, ::testing::HasSubstr("jolstrand: couldn't load the launcher " + module +
                                           ": " + module + ": "));
}

}  // namespace
}  // namespace jolstrand
