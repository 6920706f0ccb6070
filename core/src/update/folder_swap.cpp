#include "jolstrand/update/folder_swap.hpp"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "jolstrand/property_list.hpp"
#include "jolstrand/update/safe_unpack.hpp"
#include "jolstrand/update/version_compare.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using Failure = std::optional<std::string>;

std::string failed(std::string_view what, int error) {
  return std::string(what) + ": " + std::strerror(error);
}

// A folder path without trailing slashes, so that its parent and name are the folder's own.
fs::path folderPath(const std::string& path) {
  fs::path folder = fs::path(path).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  return folder;
}

bool isRealFolder(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

bool isPlainBuild(const std::string& build) {
  return !build.empty() && build != "." && build != ".." &&
         std::all_of(build.begin(), build.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  c == '.' || c == '-' || c == '_';
         });
}

Failure checkStagedBuild(const fs::path& staging, const FolderSwap& swap) {
  const fs::path plist = staging / swap.infoPlist;
  const auto list = readPropertyListFile(plist.string());
  const auto* dictionary =
      list ? std::get_if<PropertyListValue::Dictionary>(&list->value) : nullptr;
  if (!dictionary) return "the staged " + plist.string() + " is not a readable property list";
  const auto found = dictionary->find("CFBundleVersion");
  const auto* build =
      found == dictionary->end() ? nullptr : std::get_if<std::string>(&found->second.value);
  if (!build) return "the staged Info.plist has no CFBundleVersion";
  if (compareVersions(*build, swap.expectedBuild) != 0)
    return "the staged Info.plist reports build " + *build + ", not " + swap.expectedBuild;
  return std::nullopt;
}

Failure checkBeforeSwap(const fs::path& installation, const fs::path& staging,
                        const FolderSwap& swap) {
  if (!isPlainBuild(swap.runningBuild))
    return "the running build \"" + swap.runningBuild + "\" cannot name a folder";
  if (!isRealFolder(installation)) return installation.string() + " is not a folder";
  if (!isRealFolder(staging)) return staging.string() + " is not a folder";
  std::error_code error;
  if (fs::weakly_canonical(fs::absolute(installation).parent_path(), error) !=
      fs::weakly_canonical(fs::absolute(staging).parent_path(), error))
    return "the staging folder " + staging.string() + " is not beside " + installation.string();
  if (fs::equivalent(installation, staging, error))
    return "the staging folder is the installation itself";
  return checkStagedBuild(staging, swap);
}

// Exchanges the two folders in one step; ENOSYS, EINVAL or ENOTSUP when it cannot be done here.
int exchange(const fs::path& a, const fs::path& b) {
#ifdef RENAME_EXCHANGE
  return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
#else
  (void)a;
  (void)b;
  return ENOSYS;
#endif
}

int move(const fs::path& from, const fs::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void runBetweenSteps(const FolderSwap& swap) {
  if (swap.betweenSteps) swap.betweenSteps();
}

// Step one exchanges staging and installation, step two names the old one, now at the staging
// path. Returns ENOSYS and the like untouched when exchanging is not offered.
std::optional<Failure> swapByExchange(const fs::path& installation, const fs::path& staging,
                                      const fs::path& old, const FolderSwap& swap) {
  if (const int error = exchange(staging, installation)) {
    if (error == ENOSYS || error == EINVAL || error == ENOTSUP) return std::nullopt;
    return Failure(
        failed("couldn't exchange " + staging.string() + " and the installation", error));
  }
  runBetweenSteps(swap);
  const int error = move(staging, old);
  if (error == 0) return Failure();
  std::string message = failed("couldn't move the old installation to " + old.string(), error);
  if (const int undo = exchange(staging, installation))
    message += "; " + failed("and couldn't exchange the folders back", undo);
  return Failure(message);
}

Failure swapByRenames(const fs::path& installation, const fs::path& staging, const fs::path& old,
                      const FolderSwap& swap) {
  if (const int error = move(installation, old))
    return failed("couldn't move the installation to " + old.string(), error);
  runBetweenSteps(swap);
  const int error = move(staging, installation);
  if (error == 0) return std::nullopt;
  std::string message = failed("couldn't move " + staging.string() + " into place", error);
  if (const int undo = move(old, installation))
    message +=
        "; " + failed("and couldn't move the old installation back from " + old.string(), undo);
  return message;
}

}  // namespace

std::string oldInstallationPath(const std::string& installation, const std::string& runningBuild) {
  return folderPath(installation).string() + ".old-" + runningBuild;
}

std::optional<std::string> swapFolders(const FolderSwap& swap) {
  const fs::path installation = folderPath(swap.installation);
  const fs::path staging = folderPath(swap.staging);
  if (auto failure = checkBeforeSwap(installation, staging, swap)) return failure;
  const fs::path old = oldInstallationPath(swap.installation, swap.runningBuild);
  // Left over from an update whose new version never cleaned up; anything else there is kept.
  std::error_code error;
  if (fs::symlink_status(old, error).type() != fs::file_type::not_found) {
    if (!isRealFolder(old) || !swap.isInstallation || !swap.isInstallation(old.string()))
      return old.string() + " is in the way and is not an old installation of the program";
    if (auto failure = removeUnpackedFolder(old.string())) return failure;
  }
  if (swap.method == FolderSwap::Method::exchangeWhereAvailable) {
    if (auto done = swapByExchange(installation, staging, old, swap)) return *done;
  }
  return swapByRenames(installation, staging, old, swap);
}

std::optional<std::string> removeOldInstallations(const std::string& installation,
                                                  const IsInstallation& isInstallation) {
  const fs::path folder = folderPath(installation);
  const std::string prefix = folder.filename().string() + ".old-";
  std::error_code error;
  const fs::path parent = fs::absolute(folder, error).parent_path();
  for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
    if (!it->path().filename().string().starts_with(prefix) || !isRealFolder(it->path()) ||
        !isInstallation(it->path().string()))
      continue;
    if (auto failure = removeUnpackedFolder(it->path().string())) return failure;
  }
  if (error) return "couldn't list " + parent.string() + ": " + error.message();
  return std::nullopt;
}

}  // namespace jolstrand
