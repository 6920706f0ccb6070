#pragma once
// Finds the installed applications: searches root folders each to its own depth, plus a few
// single application paths, reads each bundle's Info.plist, adds on Linux the desktop entries
// of the applications/ folders, and returns the catalogue with one entry per application,
// duplicates resolved, ordered by display name as file lists order it.
//
// An AppScanner is a plain value holding only its configuration; every scan() starts from
// nothing, touches no shared state and may run on any thread, several at once. A scan never
// fails: missing or unreadable folders and malformed bundles contribute nothing or are read as
// empty.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jolstrand/app_entry.hpp"

namespace jolstrand {

class AppScanner {
 public:
  /// A folder searched to `depth` levels; its own entries are level 1, and a depth below 1
  /// leaves the folder out.
  struct Root {
    std::string path;
    std::int64_t depth;
  };

  /// One entry as discovered, with the index of the root it came from (lower is preferred).
  /// A desktop entry is never the duplicate of a bundle.
  struct Collected {
    AppEntry entry;
    std::int64_t rank;
    bool desktopEntry = false;
  };

  AppScanner(std::vector<Root> roots, std::vector<std::string> extraApps,
             std::vector<std::string> desktopEntryFolders = {});

  /// Where Linux desktop entries live and what the menu's rules depend on, as the process
  /// environment gives them. Empty values count as not set.
  struct DesktopSettings {
    std::string dataHome;         ///< XDG_DATA_HOME
    std::string dataDirs;         ///< XDG_DATA_DIRS
    std::string currentDesktops;  ///< XDG_CURRENT_DESKTOP, e.g. "ubuntu:GNOME"
    std::string searchPath;       ///< PATH: where Exec and TryExec programs are looked for
  };

  /// The platform's application folders: local (depth 3), system (depth 2), the user's under
  /// home (depth 3), and Finder as an extra application. A root that is not empty moves the
  /// local, system and core-services folders under it (tests and the demo). On Linux also the
  /// applications/ folders of the data home and data folders in `desktop`.
  [[nodiscard]] static AppScanner standard(const std::string& home, const std::string& root,
                                           const DesktopSettings& desktop = {});

  /// The roots that exist, except those in `unwatched`, and the desktop entry folders that
  /// exist: what to watch for changes.
  [[nodiscard]] std::vector<std::string> watchPaths() const;

  /// One complete search: the catalogue, deduplicated and ordered.
  [[nodiscard]] std::vector<AppEntry> scan() const;

  /// Searches folder with depthLeft levels, reporting every application path found, depth first.
  void walk(const std::string& folder, std::int64_t depthLeft,
            const std::function<void(const std::string&)>& found) const;

  /// The entry for the bundle found at `at` (whose links resolve to `resolved`), or none when
  /// the application is background-only. Reads resolved/Contents/Info.plist.
  [[nodiscard]] static std::optional<AppEntry> entry(const std::string& at,
                                                     const std::string& resolved);

  /// One entry per application (same kind, id and folded display name), preferring the lowest
  /// rank, then the shortest path, then the first path in code-point order; entries that still
  /// share an id get " " + path appended to it. Order unspecified.
  [[nodiscard]] static std::vector<AppEntry> dedupe(const std::vector<Collected>& collected);

  std::vector<Root> roots;
  std::vector<std::string> extraApps;
  /// Roots that never change while the system runs (the system's application folders).
  std::vector<std::string> unwatched;
  /// Linux: the applications/ folders of desktop entries, in order of precedence.
  std::vector<std::string> desktopEntryFolders;
  /// Linux: the current desktops, as XDG_CURRENT_DESKTOP lists them; empty for none.
  std::string currentDesktops;
  /// Linux: the program search path, as PATH gives it; empty for the usual folders.
  std::string searchPath;
};

}  // namespace jolstrand
