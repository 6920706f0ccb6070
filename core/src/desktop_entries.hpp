#pragma once
// The applications a Linux desktop's menu shows: where its desktop entries live, which file
// stands for which desktop-file id, and the catalogue entry one file makes. Files are parsed by
// GLib's key-file reader, which does the localisation by the user's language, the escapes and
// the lists; the menu's rules on top (Type, Hidden, NoDisplay, OnlyShowIn/NotShowIn, TryExec and
// the Exec program present) are GDesktopAppInfo's, applied here because building a
// GDesktopAppInfo per file costs several times the budget of a scan. Linux only; every function
// may run on any thread.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "jolstrand/app_entry.hpp"

namespace jolstrand::detail {

/// The data folders in order of precedence: the data home (default home/.local/share), then
/// the data folders (default /usr/local/share:/usr/share). Unset, empty and relative values are
/// skipped, as are repeats.
[[nodiscard]] std::vector<std::string> dataFolders(const char* dataHome, const char* dataDirs,
                                                   const char* home);

/// The applications/ folders below the data folders, in the same order.
[[nodiscard]] std::vector<std::string> desktopEntryFolders(const char* dataHome,
                                                           const char* dataDirs, const char* home);

/// One desktop entry file and its desktop-file id (sub/x.desktop has the id sub-x.desktop).
struct DesktopEntryFile {
  std::string id;
  std::string path;
};

/// Every name ending in .desktop below the folders, one per id: an id found in an earlier
/// folder hides the same id later, whatever that earlier file says (also when it is a folder,
/// which is not searched, and yields no entry). Names starting with a dot count like others.
/// Within a folder, names are taken in byte order.
[[nodiscard]] std::vector<DesktopEntryFile> findDesktopEntries(
    const std::vector<std::string>& folders);

/// What the menu's rules depend on, for one scan: the current desktops ($XDG_CURRENT_DESKTOP)
/// and the folders where programs are found ($PATH). Not shared between threads.
class MenuContext {
 public:
  MenuContext(std::string_view currentDesktops, std::string_view searchPath);

  /// GLib's rule: the first current desktop named in either list decides; with none named, the
  /// entry shows unless it has an OnlyShowIn list.
  [[nodiscard]] bool shows(const std::vector<std::string>& onlyShowIn,
                           const std::vector<std::string>& notShowIn) const;

  /// Whether an OnlyShowIn list names a current desktop: the entry is made for it.
  [[nodiscard]] bool madeForCurrent(const std::vector<std::string>& onlyShowIn) const;

  /// Whether program (a path, or a name looked up in the search path) is an executable file.
  /// Each search folder is listed, and each program looked up, once per context; in a folder
  /// that cannot be listed but may be searched, the program is looked for by its path.
  [[nodiscard]] bool programExists(const std::string& program);

 private:
  bool lookUp(const std::string& program);

  std::vector<std::string> desktops_;
  std::vector<std::string> searchPath_;
  // Per search folder, its names; none when it cannot be listed.
  std::unordered_map<std::string, std::optional<std::unordered_set<std::string>>> listings_;
  std::unordered_map<std::string, bool> programs_;
};

/// What one desktop entry file yields: an entry, nothing (an entry the menu does not show, or
/// not an application), or the reason the file is malformed.
struct DesktopEntryRead {
  std::optional<AppEntry> entry;
  std::optional<std::string> malformed;
};

/// Reads the bytes of the file at path, whose id is id. Bytes that are not UTF-8 are read as
/// Latin-1.
[[nodiscard]] DesktopEntryRead readDesktopEntry(const std::string& id, const std::string& path,
                                                std::string_view bytes, MenuContext& context);

/// The entries of every file findDesktopEntries yields, in that order, for the current desktops
/// ($XDG_CURRENT_DESKTOP) and search path ($PATH; empty for the usual folders); malformed files
/// are skipped with one log line for all of them.
[[nodiscard]] std::vector<AppEntry> desktopEntries(const std::vector<std::string>& folders,
                                                   std::string_view currentDesktops,
                                                   std::string_view searchPath);

}  // namespace jolstrand::detail
