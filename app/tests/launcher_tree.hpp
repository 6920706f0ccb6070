#pragma once
// The fixture the tests of the running launcher start it in: a catalogue of one runnable
// application, "Marker Tool" (opening it leaves the file "marker" in the tree), an empty home and
// desktop-entry folder, a private runtime folder, and the variables that point a launcher there
// and keep it from the desktop the tests run in (its name, and its GSettings).

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "fixture_tree.hpp"

namespace jolstrand::testing {

inline void plantLauncherTree(FixtureTree& tree) {
  tree.runnableBundle("Applications/Marker Tool.app", "marker",
                      {.identifier = "com.example.marker"});
  tree.folder("Home/Applications");
  tree.folder("Shared/applications");
  chmod(tree.folder("run").c_str(), 0700);
}

/// Name and value of each variable a launcher started in the tree needs.
inline std::vector<std::pair<std::string, std::string>> launcherEnvironment(
    const FixtureTree& tree) {
  return {{"JOLSTRAND_ROOT", tree.path("")},
          {"HOME", tree.path("Home")},
          {"XDG_DATA_HOME", tree.path("data")},
          {"XDG_DATA_DIRS", tree.path("Shared")},
          {"XDG_CONFIG_HOME", tree.path("config")},
          {"XDG_RUNTIME_DIR", tree.path("run")},
          {"XDG_CURRENT_DESKTOP", ""},
          {"GSETTINGS_BACKEND", "memory"},
          {"QT_QPA_PLATFORM", "xcb"}};
}

}  // namespace jolstrand::testing
