#pragma once
// What the program's arguments ask for. --list or --query anywhere makes it the command-line tool
// (everything after the first --query is a query term, whatever it looks like); otherwise
// --icons [PIXELS] [--icon-theme NAME] lists the icons' files, --help/-h, --version and
// --self-test (internal, for updates: launcher_module.hpp) answer at once, and the launcher
// starts when every argument is one it
// or Qt knows (--setup, --about, --support-reminder, and Qt's own options such as
// -platform NAME, with one dash or two). Anything else is refused before a window system is
// touched. Pure functions.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jolstrand {

enum class ProgramMode { launcher, commandLine, icons, help, version, selfTest, refused };

struct ProgramChoice {
  ProgramMode mode;
  std::string problem;  ///< for refused: what was wrong, naming the argument
};

/// The mode for the arguments, program path first.
[[nodiscard]] ProgramChoice chooseMode(const std::vector<std::string>& args);

/// What --icons asks for: the size of the icons in pixels (the panel's, unless given) and the
/// icon theme (the desktop's, unless given).
struct IconsRequest {
  int pixels = 28;
  std::string theme;
};

/// Whether the arguments (program path first) have --icons: none when they do not; else the
/// request, or what is wrong with its arguments (every other argument must belong to it).
[[nodiscard]] std::optional<std::variant<IconsRequest, std::string>> iconsRequest(
    const std::vector<std::string>& args);

}  // namespace jolstrand
