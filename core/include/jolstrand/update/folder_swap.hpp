#pragma once
// Putting an unpacked, verified update in the place of the installation by renaming folders, so
// that the program is either wholly the old version or wholly the new one.
//
// The staging folder must lie beside the installation (same parent folder) and its Info.plist
// must report the expected build (CFBundleVersion, compared with compareVersions) before
// anything moves. The installation then becomes "<installation>.old-<running build>" and the
// staging folder becomes the installation: in one atomic step with renameat2(RENAME_EXCHANGE),
// so that at every moment a whole installation is in place. Where the file system cannot exchange
// (NFS, CIFS, most FUSE file systems) the swap is refused; two plain renames are left only for
// tests. The parent folder is synced after each rename. When any step fails, the steps already
// taken are undone, so the old installation stays in place and intact (the staging folder too).
// Once the new version has started it removes the old folder. Not thread-safe against other
// changes of the same folders.

#include <functional>
#include <optional>
#include <string>

namespace jolstrand {

/// Whether the real folder (never a symbolic link) at the path is wholly an installation of the
/// program, and nothing else a user might keep there: only such a folder is ever removed.
using IsInstallation = std::function<bool(const std::string& folder)>;

struct FolderSwap {
  std::string installation;  ///< the portable installation's root folder
  std::string staging;       ///< the unpacked update, beside it
  std::string infoPlist;     ///< the Info.plist's path inside the staged tree
  std::string expectedBuild;
  std::string runningBuild;  ///< names the old folder; letters, digits, '.', '-', '_' only

  /// exchangeOnly refuses where the file system cannot exchange; the others fall back to, or use,
  /// two renames, between which no installation is in place.
  enum class Method { exchangeOnly, exchangeWhereAvailable, twoRenames };
  Method method = Method::exchangeOnly;
  /// Runs between the first and the second step, for tests that make the second step fail.
  std::function<void()> betweenSteps;
  /// Decides whether a folder already at the old folder's path, left by an earlier update, may be
  /// removed; when it may not (or this is unset), the swap is refused and the folder left alone.
  IsInstallation isInstallation;
};

/// Exchanges the folders at the two paths in one step: 0, or the errno (ENOSYS, EINVAL or ENOTSUP
/// where it is not offered). Replaceable for tests that stand in for a file system without it.
using ExchangeFolders = int (*)(const char* a, const char* b);
[[nodiscard]] int exchangeFolders(const char* a, const char* b);
/// Whether errno answer from ExchangeFolders means the file system cannot exchange at all.
[[nodiscard]] bool isExchangeUnavailable(int error);

/// Swaps the folders as described (exchanging with exchange); none on success, otherwise what
/// failed.
[[nodiscard]] std::optional<std::string> swapFolders(const FolderSwap& swap,
                                                     ExchangeFolders exchange);
/// Swaps the folders as described; none on success, otherwise what failed.
[[nodiscard]] std::optional<std::string> swapFolders(const FolderSwap& swap);

/// The folder the old installation is kept in until the new version has started.
[[nodiscard]] std::string oldInstallationPath(const std::string& installation,
                                              const std::string& runningBuild);

/// Why updates cannot swap folders in folder (its file system cannot exchange two folders in one
/// step, tried on two empty folders of its own there), or none when they can.
[[nodiscard]] std::optional<std::string> exchangeUnavailableIn(const std::string& folder);

/// Removes every "<installation>.old-*" folder beside installation that is a real folder (not a
/// symbolic link) and that isInstallation accepts. Anything else of that name is left alone. None
/// on success, otherwise the first removal that failed.
[[nodiscard]] std::optional<std::string> removeOldInstallations(
    const std::string& installation, const IsInstallation& isInstallation);

}  // namespace jolstrand
