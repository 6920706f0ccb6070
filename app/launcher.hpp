#pragma once
// The normal start: the launcher with its hot key and panel, until it is quit.

#include "environment.hpp"

namespace jolstrand {

/// Runs the launcher over the folders the environment names. Returns the exit status.
int runLauncher(int argc, char** argv, const Environment& environment);

}  // namespace jolstrand
