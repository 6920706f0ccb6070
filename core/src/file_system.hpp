#pragma once
// The few file-system questions a catalogue scan asks, answered by the platform.

#include <optional>
#include <string>
#include <vector>

namespace jolstrand::detail {

/// One entry of a folder listing, with the flags read together with the listing. A flag that
/// could not be read leaves the entry without flags.
struct ListedEntry {
  std::string name;  ///< the last path component, exact bytes
  std::string path;  ///< folder + "/" + name
  struct Flags {
    bool isSymbolicLink;  ///< the entry itself, not its target
    bool isDirectory;     ///< without following a link
    bool isPackage;       ///< a directory the platform presents as a single file
  };
  std::optional<Flags> flags;
};

/// The folder's entries, hidden ones included, in no particular order; none when the folder
/// cannot be listed.
[[nodiscard]] std::optional<std::vector<ListedEntry>> listFolder(const std::string& folder);

/// Whether anything exists at path, following symbolic links.
[[nodiscard]] bool fileExists(const std::string& path);

/// Whether path exists and, following symbolic links, is a directory.
[[nodiscard]] bool isDirectory(const std::string& path);

/// The canonical path with every symbolic link resolved, or path itself when that fails.
[[nodiscard]] std::string resolvingSymlinks(const std::string& path);

/// The folder that holds path ("." for a bare name), and its last component.
[[nodiscard]] std::string folderOf(const std::string& path);
[[nodiscard]] std::string nameOf(const std::string& path);

}  // namespace jolstrand::detail
