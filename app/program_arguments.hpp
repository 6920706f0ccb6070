#pragma once
// What the program's arguments ask for. --list or --query anywhere makes it the command-line tool
// (everything after the first --query is a query term, whatever it looks like); otherwise
// --help/-h and --version answer at once, and the launcher starts when every argument is one it
// or Qt knows (--setup, --about, --support-reminder, and Qt's own options such as
// -platform NAME, with one dash or two). Anything else is refused before a window system is
// touched. Pure functions.

#include <string>
#include <vector>

namespace jolstrand {

enum class ProgramMode { launcher, commandLine, help, version, refused };

struct ProgramChoice {
  ProgramMode mode;
  std::string problem;  ///< for refused: what was wrong, naming the argument
};

/// The mode for the arguments, program path first.
[[nodiscard]] ProgramChoice chooseMode(const std::vector<std::string>& args);

}  // namespace jolstrand
