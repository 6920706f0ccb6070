#include "platform/linux/update/portable_installation.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "jolstrand/log.hpp"
#include "jolstrand/update/archive_check.hpp"
#include "jolstrand/update/safe_unpack.hpp"
#include "launcher_module.hpp"
#include "platform/linux/update/staged_program.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;

constexpr char programInTree[] = "bin/jolstrand";
// Only the portable archive carries it, so it tells a portable installation from an FHS one.
constexpr char infoPlistInTree[] = "share/jolstrand/Info.plist";
// The archive's list of what it holds in its top folder and in each folder there that the list
// names entries of (bin/, lib/, share/), one path a line: the folder is replaced as a whole only
// when it holds nothing else (unpacked into a prefix such as ~/.local, it is not the program's
// own folder).
constexpr char layoutInTree[] = "share/jolstrand/portable-layout";
constexpr std::uintmax_t maxLayoutBytes = 64 * 1024;

// The kernel's own verdict for this process (modes, ACLs, read-only mounts, immutable folders),
// asked without writing anything.
std::optional<std::string> notWritable(const fs::path& folder) {
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return std::nullopt;
  return "the folder " + folder.string() + " is not writable (" + std::strerror(errno) +
         "), so updates cannot be installed there";
}

// Staging folders are named "<installation>" + this + a random name (+ ".tree").
constexpr char stagingMark[] = ".staging-";
constexpr std::size_t randomNameLength = 16;

// Whether name is one this code gives a staging folder of the installation named root.
bool isStagingName(const std::string& name, const std::string& root) {
  const std::string prefix = root + stagingMark;
  if (!name.starts_with(prefix)) return false;
  std::string_view rest = std::string_view(name).substr(prefix.size());
  if (rest.ends_with(".tree")) rest.remove_suffix(5);
  return rest.size() == randomNameLength && std::all_of(rest.begin(), rest.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Walks the installation against its layout list. A list that names itself (every build since
// the list named every file) has the whole tree compared with it; an older list, which named only
// the first two levels, has the top folder and the folders it names entries of compared.
class LayoutCheck {
 public:
  explicit LayoutCheck(const fs::path& root) : root_(root) {}

  // The first entry that the list does not name, or why the list cannot be read.
  std::optional<std::string> unlisted() {
    std::error_code error;
    const fs::path list = root_ / layoutInTree;
    if (fs::symlink_status(list, error).type() != fs::file_type::regular ||
        fs::file_size(list, error) > maxLayoutBytes || error)
      return "it has no readable " + std::string(layoutInTree);
    std::set<std::string> folders{"", "bin", "share"};
    std::ifstream stream(list);
    for (std::string line; std::getline(stream, line);) {
      listed_.insert(line);
      if (const auto slash = line.find('/'); slash != std::string::npos)
        folders.insert(line.substr(0, slash));
    }
    const bool wholeTree = listed_.contains(layoutInTree);
    for (const std::string& folder : folders) {
      if (fs::symlink_status(root_ / folder, error).type() != fs::file_type::directory)
        return root_.string() + "/" + folder + " is not a folder";
      if (wholeTree && !folder.empty()) continue;
      if (auto found = unlistedIn(folder, wholeTree)) return found;
    }
    return std::nullopt;
  }

 private:
  std::optional<std::string> unlistedIn(const std::string& folder, bool deep) {
    std::error_code error;
    for (fs::directory_iterator it(root_ / folder, error), end; !error && it != end;
         it.increment(error)) {
      if (++seen_ > maxEntries)
        return "it holds more than " + std::to_string(maxEntries) + " entries";
      const std::string name =
          (folder.empty() ? "" : folder + "/") + it->path().filename().string();
      if (!listed_.contains(name)) return "it holds \"" + name + "\", which is not the program's";
      if (deep && fs::symlink_status(it->path(), error).type() == fs::file_type::directory) {
        if (auto found = unlistedIn(name, deep)) return found;
      }
    }
    if (error) return "couldn't list " + (root_ / folder).string() + ": " + error.message();
    return std::nullopt;
  }

  static constexpr std::size_t maxEntries = 10'000;
  fs::path root_;
  std::set<std::string> listed_;
  std::size_t seen_ = 0;
};

std::optional<std::string> unlistedEntry(const fs::path& root) {
  return LayoutCheck(root).unlisted();
}

// Whether others than this user (or root) may create or remove entries in folder: then another
// user could take the old folder's name first, or move folders about.
std::optional<std::string> sharedWithOthers(const fs::path& folder) {
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0)
    return "couldn't look at " + folder.string() + ": " + std::strerror(errno);
  const bool othersOwn = status.st_uid != geteuid() && status.st_uid != 0;
  // A folder writable by the user's own group (a private group, as Debian makes them) is not
  // shared.
  const bool groupShares = (status.st_mode & S_IWGRP) != 0 && status.st_gid != getegid();
  if (!othersOwn && !groupShares && (status.st_mode & (S_IWOTH | S_ISVTX)) == 0)
    return std::nullopt;
  return "the folder " + folder.string() +
         " is shared with other users, who could get in the way of an update, so updates are not "
         "installed there";
}

// Writes the staged tree's files and folders to disk, so that after a power cut the swap never
// names folders whose files are still empty.
std::optional<std::string> syncTree(const fs::path& tree) {
  const auto syncOne = [](const fs::path& path, bool folder) -> std::optional<std::string> {
    const int fd =
        open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | (folder ? O_DIRECTORY : 0));
    if (fd < 0 || fsync(fd) != 0) {
      const int error = errno;
      if (fd >= 0) close(fd);
      return "couldn't write " + path.string() + " to disk: " + std::strerror(error);
    }
    close(fd);
    return std::nullopt;
  };
  std::error_code error;
  for (fs::recursive_directory_iterator it(tree, error), end; !error && it != end;
       it.increment(error)) {
    const fs::file_type type = it->symlink_status(error).type();
    if (type != fs::file_type::regular && type != fs::file_type::directory) continue;
    if (auto failure = syncOne(it->path(), type == fs::file_type::directory)) return failure;
  }
  if (error) return "couldn't list " + tree.string() + ": " + error.message();
  if (auto failure = syncOne(tree, true)) return failure;
  return syncOne(tree.parent_path(), true);
}

std::string notOnlyTheProgram(const std::string& root, const std::string& unlisted) {
  return root + " is not only a portable installation (" + unlisted +
         "), so updates cannot replace it";
}

// Only a folder that holds the program and nothing else is ever replaced or removed.
bool isWhollyTheProgram(const std::string& folder) {
  return !unlistedEntry(folder);
}

// Which folder is at path, to tell afterwards whether it is still the same one.
std::optional<std::pair<dev_t, ino_t>> identity(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return std::nullopt;
  return std::pair(status.st_dev, status.st_ino);
}

std::string randomName() {
  std::random_device random;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", random(), random());
  return text;
}

// The one folder the archive holds at its top, which is the new installation.
Checked<std::string> topFolder(const std::string& unpacked) {
  std::vector<fs::path> top;
  std::error_code error;
  for (fs::directory_iterator it(unpacked, error), end; !error && it != end; it.increment(error))
    top.push_back(it->path());
  if (error)
    return Checked<std::string>::failure("couldn't list " + unpacked + ": " + error.message());
  if (top.size() != 1)
    return Checked<std::string>::failure("the archive holds " + std::to_string(top.size()) +
                                         " entries at its top, not the one folder of a portable "
                                         "installation");
  if (fs::symlink_status(top.front(), error).type() != fs::file_type::directory)
    return Checked<std::string>::failure("the archive's top entry \"" +
                                         top.front().filename().string() + "\" is not a folder");
  return top.front().string();
}

// Moves the archive's top folder out of the unpacked folder to tree, beside the installation.
std::optional<std::string> takeOutTree(const std::string& unpacked, const std::string& tree) {
  const auto top = topFolder(unpacked);
  if (!top) return top.error();
  if (std::rename(top->c_str(), tree.c_str()) != 0)
    return "couldn't move the unpacked update to " + tree + ": " + std::strerror(errno);
  struct stat program {};
  const std::string programPath = tree + "/" + programInTree;
  if (stat(programPath.c_str(), &program) != 0 || !S_ISREG(program.st_mode) ||
      (program.st_mode & S_IXUSR) == 0)
    return std::string("the update holds no program ") + programInTree + " that can run";
  struct stat module {};
  const std::string modulePath = tree + "/" + launcherModuleInTree;
  if (stat(modulePath.c_str(), &module) != 0 || !S_ISREG(module.st_mode))
    return std::string("the update holds no launcher module ") + launcherModuleInTree;
  return std::nullopt;
}

}  // namespace

Checked<PortableInstallation> findPortableInstallation(const std::string& programPath) {
  using Found = Checked<PortableInstallation>;
  std::error_code error;
  const fs::path program = fs::canonical(programPath, error);
  if (error) return Found::failure("couldn't resolve " + programPath + ": " + error.message());
  const fs::path root = program.parent_path().parent_path();
  if (program.filename() != "jolstrand" || program.parent_path().filename() != "bin" ||
      root == root.root_path() ||
      fs::symlink_status(root / infoPlistInTree, error).type() != fs::file_type::regular)
    return Found::failure(program.string() + " does not run from a portable installation (" +
                          "ROOT/" + programInTree + " beside ROOT/" + infoPlistInTree + ")");
  if (auto unlisted = unlistedEntry(root))
    return Found::failure(notOnlyTheProgram(root.string(), *unlisted));
  for (const fs::path& folder : {root, root.parent_path()}) {
    if (auto refusal = notWritable(folder)) return Found::failure(*refusal);
  }
  if (auto refusal = sharedWithOthers(root.parent_path())) return Found::failure(*refusal);
  if (auto refusal = exchangeUnavailableIn(root.parent_path().string()))
    return Found::failure(*refusal);
  return PortableInstallation{.root = root.string(), .program = program.string()};
}

Checked<std::string> installUpdate(const PortableInstallation& installation,
                                   const std::string& archivePath, const UpdateItem& item,
                                   std::string_view publicKey, std::string_view runningBuild) {
  return installUpdate(installation, archivePath, item, publicKey, runningBuild, InstallOptions{});
}

Checked<std::string> installUpdate(const PortableInstallation& installation,
                                   const std::string& archivePath, const UpdateItem& item,
                                   std::string_view publicKey, std::string_view runningBuild,
                                   FolderSwap::Method method, std::function<void()> betweenSteps) {
  return installUpdate(installation, archivePath, item, publicKey, runningBuild,
                       InstallOptions{.method = method, .atStep = [betweenSteps](InstallStep step) {
                                        if (step == InstallStep::swapHalfDone && betweenSteps)
                                          betweenSteps();
                                      }});
}

Checked<std::string> installUpdate(const PortableInstallation& installation,
                                   const std::string& archivePath, const UpdateItem& item,
                                   std::string_view publicKey, std::string_view runningBuild,
                                   const InstallOptions& options) {
  using Installed = Checked<std::string>;
  const auto step = [&](InstallStep reached) {
    if (options.atStep) options.atStep(reached);
  };
  // The folder may have gained files of the user's since the program started: then it is no
  // longer the program's alone, and the swap would carry them off with the old version.
  if (auto unlisted = unlistedEntry(installation.root))
    return Installed::failure(notOnlyTheProgram(installation.root, *unlisted));
  // Unpacked from these very bytes: the file is not read again after it was verified.
  const Checked<ArchiveBytes> archive = readCheckedArchive(archivePath, item, publicKey);
  if (!archive) return Installed::failure(archive.error());
  const std::string unpacked = installation.root + stagingMark + randomName();
  const std::string tree = unpacked + ".tree";
  // The top folder becomes the installation, so links must stay inside it, not merely inside the
  // staging folder around it.
  if (auto refusal = unpackArchiveBytes(archive->bytes(), unpacked, {.oneTopFolder = true}))
    return Installed::failure(*refusal);
  step(InstallStep::unpacked);
  auto failure = takeOutTree(unpacked, tree);
  (void)removeUnpackedFolder(unpacked);
  step(InstallStep::takenOut);
  if (!failure) failure = syncTree(tree);
  step(InstallStep::synced);
  if (!failure)
    failure = checkStagedProgram(tree + "/" + programInTree, item.build, options.selfTestTimeoutMs);
  step(InstallStep::tried);
  const auto installed = identity(installation.root);
  if (!failure) {
    failure = swapFolders({.installation = installation.root,
                           .staging = tree,
                           .infoPlist = infoPlistInTree,
                           .expectedBuild = item.build,
                           .runningBuild = std::string(runningBuild),
                           .method = options.method,
                           .betweenSteps = [&] { step(InstallStep::swapHalfDone); },
                           .isInstallation = isWhollyTheProgram});
  }
  if (failure) {
    // Unless a swap that could not be undone left the old installation at the tree's path.
    if (identity(installation.root) == installed) (void)removeUnpackedFolder(tree);
    return Installed::failure(*failure);
  }
  step(InstallStep::swapped);
  return installation.root + "/" + programInTree;
}

void removeUpdateLeftovers(const PortableInstallation& installation,
                           const std::string& replacedFolder) {
  const fs::path root(installation.root);
  // Only the very folder the update made, beside this installation and under the name it gives.
  if (!replacedFolder.empty()) {
    const fs::path old(replacedFolder);
    std::error_code error;
    if (old.parent_path() != root.parent_path() ||
        !old.filename().string().starts_with(root.filename().string() + ".old-")) {
      logLine("left " + replacedFolder + " alone: it is not an old folder of " + root.string());
    } else if (fs::symlink_status(old, error).type() == fs::file_type::not_found) {
    } else if (fs::symlink_status(old, error).type() != fs::file_type::directory ||
               !isWhollyTheProgram(old.string())) {
      logLine("left " + replacedFolder + " alone: it holds more than an old version");
    } else if (auto failure = removeUnpackedFolder(old.string())) {
      logLine(*failure);
    }
  }
  std::error_code error;
  for (fs::directory_iterator it(root.parent_path(), error), end; !error && it != end;
       it.increment(error)) {
    if (!isStagingName(it->path().filename().string(), root.filename().string())) continue;
    if (auto failure = removeUnpackedFolder(it->path().string())) logLine(*failure);
  }
  if (error) logLine("couldn't list " + root.parent_path().string() + ": " + error.message());
}

void removeStaleDownloads(const std::string& tempFolder) {
  constexpr std::string_view prefix = "jolstrand-update-";
  constexpr auto stale = std::chrono::hours(1);
  const auto now = fs::file_time_type::clock::now();
  std::error_code error;
  for (fs::directory_iterator it(tempFolder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) continue;
    struct stat status {};
    if (lstat(it->path().c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid())
      continue;
    // The newest change inside: a download under way writes its file all the time.
    std::error_code ignored;
    auto newest = fs::last_write_time(it->path(), ignored);
    for (fs::directory_iterator inside(it->path(), ignored), last; !ignored && inside != last;
         inside.increment(ignored)) {
      if (fs::symlink_status(inside->path(), ignored).type() == fs::file_type::symlink) continue;
      newest = std::max(newest, fs::last_write_time(inside->path(), ignored));
    }
    if (ignored || now - newest < stale) continue;
    if (auto failure = removeUnpackedFolder(it->path().string())) logLine(*failure);
  }
}

}  // namespace jolstrand
