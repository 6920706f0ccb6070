#include "jolstrand/update/folder_swap.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Makes the renames in folder durable, so that after a power cut the folder names what was last
// put there.
void syncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
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
                                      const fs::path& old, const FolderSwap& swap,
                                      ExchangeFolders exchange) {
  if (const int error = exchange(staging.c_str(), installation.c_str())) {
    if (isExchangeUnavailable(error)) return std::nullopt;
    return Failure(
        failed("couldn't exchange " + staging.string() + " and the installation", error));
  }
  syncFolder(installation.parent_path());
  runBetweenSteps(swap);
  const int error = move(staging, old);
  if (error == 0) {
    syncFolder(installation.parent_path());
    return Failure();
  }
  std::string message = failed("couldn't move the old installation to " + old.string(), error);
  if (const int undo = exchange(staging.c_str(), installation.c_str()))
    message += "; " + failed("and couldn't exchange the folders back", undo);
  syncFolder(installation.parent_path());
  return Failure(message);
}

Failure swapByRenames(const fs::path& installation, const fs::path& staging, const fs::path& old,
                      const FolderSwap& swap) {
  if (const int error = move(installation, old))
    return failed("couldn't move the installation to " + old.string(), error);
  runBetweenSteps(swap);
  const int error = move(staging, installation);
  syncFolder(installation.parent_path());
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

int exchangeFolders(const char* a, const char* b) {
#ifdef RENAME_EXCHANGE
  return renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_EXCHANGE) == 0 ? 0 : errno;
#else
  (void)a;
  (void)b;
  return ENOSYS;
#endif
}

bool isExchangeUnavailable(int error) {
  return error == ENOSYS || error == EINVAL || error == ENOTSUP;
}

std::optional<std::string> exchangeUnavailableIn(const std::string& folder) {
  const fs::path base = folderPath(folder);
  std::string first = (base / ".jolstrand-exchange-XXXXXX").string();
  if (mkdtemp(first.data()) == nullptr)
    return failed("couldn't try swapping folders in " + base.string(), errno);
  const std::string second = first + "-b";
  int error =
      mkdir(second.c_str(), 0700) == 0 ? exchangeFolders(first.c_str(), second.c_str()) : errno;
  rmdir(second.c_str());
  rmdir(first.c_str());
  if (error == 0) return std::nullopt;
  if (isExchangeUnavailable(error))
    return "the file system of " + base.string() +
           " cannot swap two folders in one step, so an update could leave no installation "
           "there if it were stopped half-way";
  return failed("couldn't try swapping folders in " + base.string(), error);
}

std::optional<std::string> swapFolders(const FolderSwap& swap) {
  return swapFolders(swap, exchangeFolders);
}

std::optional<std::string> swapFolders(const FolderSwap& swap, ExchangeFolders exchange) {
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
  if (swap.method != FolderSwap::Method::twoRenames) {
    if (auto done = swapByExchange(installation, staging, old, swap, exchange)) return *done;
    if (swap.method == FolderSwap::Method::exchangeOnly)
      return "the file system of " + installation.parent_path().string() +
             " cannot swap two folders in one step, so the update is not installed there";
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
