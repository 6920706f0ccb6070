#pragma once
// The diagnostic command-line modes: `--list` prints the catalogue, `--query TERM...` prints the
// ranked results of each term, both with their timings. They scan the standard roots, read the
// usage file (both found through the environment) and need no display.

#include <ostream>
#include <string>
#include <vector>

#include "environment.hpp"

namespace jolstrand {

/// Runs the command-line modes the arguments ask for, printing to out; returns the exit status.
int runCommandLine(const std::vector<std::string>& args, const Environment& environment,
                   std::ostream& out);

}  // namespace jolstrand
