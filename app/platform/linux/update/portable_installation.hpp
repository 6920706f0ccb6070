#pragma once
// The folder a portable Jolstrand runs from (the unpacked release archive: bin/jolstrand,
// share/jolstrand/Info.plist, a copy of the program's own that only this archive carries, and the
// rest of share/ and README.txt), and putting a verified update archive in its place.
//
// Installing checks the archive's length and signature before anything is unpacked; unpacks it
// into "<root>.staging-<random>" beside the installation; takes the archive's one top folder
// ("Jolstrand-<version>-linux-<arch>") out to "<root>.staging-<random>.tree"; checks that it holds
// an executable bin/jolstrand and the launcher module; writes the tree to disk; runs its program's
// self-test (staged_program.hpp), which must report the item's build; checks that its
// share/jolstrand/Info.plist reports that build too; then exchanges the folders in one step, the
// old installation becoming "<root>.old-<running build>". A kill at any moment leaves a whole
// installation at root.
// Any failure leaves the installation as it was and removes what was unpacked; messages complete
// "update stopped: ...". Blocking file work on the calling thread, any thread, but never two
// installations of one folder at once.

#include <functional>
#include <string>
#include <string_view>

#include "jolstrand/update/checked.hpp"
#include "jolstrand/update/folder_swap.hpp"
#include "jolstrand/update/update_feed.hpp"

namespace jolstrand {

struct PortableInstallation {
  std::string root;     ///< the folder that is replaced as a whole
  std::string program;  ///< root + "/bin/jolstrand"
};

/// The portable installation programPath runs from (symbolic links resolved), or why updates
/// cannot be installed there: not ROOT/bin/jolstrand beside ROOT/share/jolstrand/Info.plist (an
/// installation in /usr is not portable); ROOT holds, anywhere inside, an entry that the archive's
/// list ROOT/share/jolstrand/portable-layout does not name (the archive was unpacked into a folder
/// of other things, such as ~/.local, or the user keeps files there, which an update must never
/// carry off); ROOT or the folder above it is not writable for this process (the kernel's own
/// check: modes, ACLs, read-only mounts); the folder above is shared with other users (sticky,
/// writable by others or by a group not the user's own, or owned by another user); or its file
/// system cannot exchange two folders in one step (NFS, CIFS, most FUSE file systems).
[[nodiscard]] Checked<PortableInstallation> findPortableInstallation(
    const std::string& programPath);

/// Installs the archive at archivePath (the item's download) over installation; runningBuild (this
/// program's CFBundleVersion: letters, digits, '.', '-', '_') names the old folder. On success the
/// installation holds the new version and the old one waits beside it to be removed; answers the
/// program to start, installation.root + "/bin/jolstrand".
[[nodiscard]] Checked<std::string> installUpdate(const PortableInstallation& installation,
                                                 const std::string& archivePath,
                                                 const UpdateItem& item, std::string_view publicKey,
                                                 std::string_view runningBuild);

/// The moments of an installation, in order, at which a test may stop it (or kill the process).
enum class InstallStep { unpacked, takenOut, synced, tried, swapHalfDone, swapped };

struct InstallOptions {
  FolderSwap::Method method = FolderSwap::Method::exchangeOnly;
  std::function<void(InstallStep)> atStep;  ///< for tests
  int selfTestTimeoutMs = 30'000;
};

/// The same with options chosen by the caller.
[[nodiscard]] Checked<std::string> installUpdate(const PortableInstallation& installation,
                                                 const std::string& archivePath,
                                                 const UpdateItem& item, std::string_view publicKey,
                                                 std::string_view runningBuild,
                                                 const InstallOptions& options);

/// The same with the swap's method and a step run between its two renames chosen by the caller,
/// for tests that make the swap fail half-way.
[[nodiscard]] Checked<std::string> installUpdate(const PortableInstallation& installation,
                                                 const std::string& archivePath,
                                                 const UpdateItem& item, std::string_view publicKey,
                                                 std::string_view runningBuild,
                                                 FolderSwap::Method method,
                                                 std::function<void()> betweenSteps);

/// Removes what an earlier update left beside installation: replacedFolder, the old installation
/// that update put aside (when it is "<root>.old-*" beside root and wholly an installation, as its
/// own layout list says), and every staging folder named as installUpdate names them, never
/// following a symbolic link; any other folder, a user's "<root>.old-mine" included, stays. Called
/// once the new version runs, never while an update is installed. Failures are logged, one line
/// each.
void removeUpdateLeftovers(const PortableInstallation& installation,
                           const std::string& replacedFolder);

/// Removes from tempFolder the download folders ("jolstrand-update-XXXXXX") that an update of this
/// user's left when it was killed: real folders owned by this user, in which nothing has changed
/// for longer than any download may take (an hour). Others' folders, links and anything else stay.
/// Failures are logged, one line each.
void removeStaleDownloads(const std::string& tempFolder);

}  // namespace jolstrand
