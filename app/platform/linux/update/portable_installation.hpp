#pragma once
// The folder a portable Jolstrand runs from (the unpacked release archive: bin/jolstrand,
// share/jolstrand/Info.plist, a copy of the program's own that only this archive carries, and the
// rest of share/ and README.txt), and putting a verified update archive in its place.
//
// Installing checks the archive's length and signature before anything is unpacked; unpacks it
// into "<root>.staging-<random>" beside the installation; takes the archive's one top folder
// ("Jolstrand-<version>-linux-<arch>") out to "<root>.staging-<random>.tree"; checks that it holds
// an executable bin/jolstrand and that its share/jolstrand/Info.plist reports the item's build;
// then swaps the folders by renaming, the old installation becoming "<root>.old-<running build>".
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
/// installation in /usr is not portable); ROOT, ROOT/bin or ROOT/share holds an entry that the
/// archive's list ROOT/share/jolstrand/portable-layout does not name (the archive was unpacked
/// into a folder of other things, such as ~/.local, which an update must never replace); or ROOT
/// or the folder above it is not writable for this process (the kernel's own check: modes, ACLs,
/// read-only mounts).
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

/// The same with the swap's method and a step run between its two renames chosen by the caller,
/// for tests that make the swap fail half-way.
[[nodiscard]] Checked<std::string> installUpdate(const PortableInstallation& installation,
                                                 const std::string& archivePath,
                                                 const UpdateItem& item, std::string_view publicKey,
                                                 std::string_view runningBuild,
                                                 FolderSwap::Method method,
                                                 std::function<void()> betweenSteps);

/// Removes what an earlier update left beside installation: every "<root>.old-*" folder that is a
/// portable installation (holds the layout list) and every staging folder named as installUpdate
/// names them, never following a symbolic link; called once the new version runs, never while an
/// update is installed. Failures are logged, one line each.
void removeUpdateLeftovers(const PortableInstallation& installation);

}  // namespace jolstrand
