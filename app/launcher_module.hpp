#pragma once
// The launcher lives in a module of its own on Linux (lib/jolstrand/modules/jolstrand-launcher.so
// beside bin/), loaded only when the launcher starts: the command-line modes then never load Qt,
// the X libraries or the rest of what the windows need, and answer in a fraction of the time.

extern "C" {
/// The module's one entry: sets the process up from its environment, runs the launcher until it
/// is quit and, after an update, restarts into the new version. Returns the exit status.
int jolstrand_launcher_main(int argc, char** argv);
/// The build (CFBundleVersion) of the Info.plist compiled into the module.
const char* jolstrand_launcher_build();
}

namespace jolstrand {

/// Where the module lies in an installation, and in the build tree: beside the program's folder
/// bin/. A portable installation's update must bring it.
inline constexpr char launcherModuleInTree[] = "lib/jolstrand/modules/jolstrand-launcher.so";

/// Starts the launcher: loads the module and calls its entry (on macOS, where the launcher is
/// linked into the program, calls it directly). A module that cannot be loaded is reported on
/// standard error, naming the module and why, and gives status 1.
int startLauncher(int argc, char** argv);

/// --self-test, which needs no display: loads the launcher module as startLauncher does and, when
/// it is the program's own build, prints "Jolstrand VERSION (build N)" and gives status 0;
/// otherwise says on standard error what is wrong and gives status 1. An update runs it on the
/// program it is about to put in place.
int selfTestLauncher();

}  // namespace jolstrand
