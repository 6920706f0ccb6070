// The name of the program a desktop entry's command line starts, launchers looked through.

#include "desktop_program.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace jolstrand {
namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string word; in >> word;) out.push_back(word);
  return out;
}

TEST(ProgramName, LooksThroughLaunchersToWhatTheyStart) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/nautilus --new-window %U", "nautilus"},
      {"sh --new-window", "sh"},
      {"sh -c script sh %F", ""},
      {"/bin/bash -lc script", ""},
      {"env", ""},
      {"env GDK_BACKEND=x11 -u NAME --chdir /tmp /usr/bin/gimp %U", "gimp"},
      {"env A=1 -- flatpak run --command=/app/bin/tg org.telegram.desktop", "tg"},
      {"/usr/bin/flatpak run --branch=stable --command spotify com.spotify.Client @@u %U @@",
       "spotify"},
      {"flatpak run org.example.App", ""},
      {"flatpak update", "flatpak"},
      {"snap run --shell code.url-handler", "code.url-handler"},
      {"snap run", ""},
      {"pkexec --user root /usr/sbin/gparted %f", "gparted"},
      {"nice -n 10 ionice -c 3 nohup setsid make", "make"},
      {"gtk-launch firefox", ""},
      {"xdg-open https://example.com", ""},
      {"exo-open --launch TerminalEmulator", ""},
      {"", ""},
  };
  for (const auto& [line, name] : cases) {
    EXPECT_EQ(detail::programName(words(line)), name) << line;
  }
}

}  // namespace
}  // namespace jolstrand
