#include "desktop_program.hpp"

#include <algorithm>
#include <string_view>

#include "file_system.hpp"

namespace jolstrand::detail {
namespace {

using Words = std::span<const std::string>;

// Programs that run the command after their options, and those of their options that take the
// next word as a value, each between spaces.
struct Runner {
  std::string_view name;
  std::string_view valueOptions;
};
constexpr Runner runners[] = {
    {"env", " -u --unset -C --chdir -S --split-string "},
    {"pkexec", " --user -u "},
    {"sudo", " -u --user -g --group -h --host -p --prompt -C -D -R -T -U "},
    {"nice", " -n --adjustment "},
    {"ionice", " -c --class -n --classdata -p -P -u "},
    {"nohup", ""},
    {"setsid", ""},
    {"firejail", ""},
    {"torsocks", " -u -p -a -P "},
    {"dbus-launch", " --config-file --autolaunch "},
    {"prime-run", ""},
    {"primusrun", ""},
    {"optirun", " -b --bridge -c --vgl-compress "},
};

// Programs that open another entry, a file or an address: what they start is not on the line.
constexpr std::string_view openers[] = {"gtk-launch", "xdg-open",   "gio",      "exo-open",
                                        "kioclient",  "kioclient5", "kde-open", "kde-open5"};

constexpr std::string_view shells[] = {"sh", "bash", "dash", "zsh", "ksh", "mksh"};

template <std::size_t count>
bool listed(const std::string_view (&list)[count], std::string_view name) {
  return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

bool isOption(const std::string& word) {
  return word.size() > 1 && word[0] == '-';
}

// The words after a runner's options (and, for env, its settings NAME=VALUE).
Words commandAfter(const Runner& runner, Words rest) {
  while (!rest.empty()) {
    const std::string& word = rest.front();
    if (word == "--") return rest.subspan(1);
    const bool setting = runner.name == "env" && word.find('=') != std::string::npos;
    if (!isOption(word) && !setting) break;
    const bool takesValue = runner.valueOptions.find(' ' + word + ' ') != std::string::npos;
    rest = rest.subspan(takesValue && rest.size() > 1 ? 2 : 1);
  }
  return rest;
}

// flatpak run [OPTION...] APP: the --command given, else nothing known.
std::string flatpakCommand(Words rest) {
  constexpr std::string_view command = "--command";
  for (std::size_t i = 0; i < rest.size() && isOption(rest[i]); ++i) {
    if (rest[i].starts_with(std::string(command) + '=')) {
      return nameOf(rest[i].substr(command.size() + 1));
    }
    if (rest[i] == command && i + 1 < rest.size()) return nameOf(rest[i + 1]);
  }
  return {};
}

// A shell's options before its first operand; -c among them (alone or in a cluster such as -lc)
// makes that operand a script.
bool runsScript(Words rest) {
  for (const std::string& word : rest) {
    if (!isOption(word) || word.starts_with("--")) return false;
    if (word.find('c') != std::string::npos) return true;
  }
  return false;
}

}  // namespace

std::string programName(Words words) {
  if (words.empty()) return {};
  std::string name = nameOf(words.front());
  const Words rest = words.subspan(1);
  if (listed(openers, name)) return {};
  if (listed(shells, name)) return runsScript(rest) ? std::string() : name;
  if (name == "flatpak" && !rest.empty() && rest.front() == "run") {
    return flatpakCommand(rest.subspan(1));
  }
  if (name == "snap" && !rest.empty() && rest.front() == "run") {
    const Words command = commandAfter(Runner{"snap", {}}, rest.subspan(1));
    return command.empty() ? std::string() : command.front();
  }
  for (const Runner& runner : runners) {
    if (runner.name == name) return programName(commandAfter(runner, rest));
  }
  return name;
}

}  // namespace jolstrand::detail
