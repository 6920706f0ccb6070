#pragma once

namespace jolstrand {

/// The normal start: the launcher with its hot key and panel, until it is quit. Returns the
/// exit status.
int runLauncher(int argc, char** argv);

}  // namespace jolstrand
