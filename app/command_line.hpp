#pragma once
// The diagnostic command-line modes: `--list` prints the catalogue, `--query TERM...` prints the
// ranked results of each term, both with their timings; `--icons` prints each entry's icon file.
// They scan the standard roots, read the usage file (both found through the environment) and need
// no display.

#include <ostream>
#include <string>
#include <vector>

#include "environment.hpp"
#include "program_arguments.hpp"

namespace jolstrand {

/// Runs the command-line modes the arguments ask for, printing to out; returns the exit status.
int runCommandLine(const std::vector<std::string>& args, const Environment& environment,
                   std::ostream& out);

/// The --icons mode: for every catalogue entry, its display name, id and the file its icon is
/// drawn from at that size (empty when there is none and the generic icon is drawn), separated
/// by tabs. Linux looks named icons up in the theme asked for, else the desktop's: GNOME's or
/// KDE's choice, elsewhere hicolor (the launcher would take Qt's choice there, which this mode,
/// running without Qt, cannot know). Returns the exit status.
int runIcons(const IconsRequest& request, const Environment& environment, std::ostream& out);

}  // namespace jolstrand
