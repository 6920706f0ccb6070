#pragma once
// The folder a portable Jolstrand runs from (the unpacked release archive: bin/jolstrand,
// share/..., README.txt, and a copy of its Info.plist), and putting a verified update archive in
// its place. Installing checks the archive's length and signature before anything is unpacked,
// unpacks into a staging folder beside the installation, checks that the staged program reports
// the expected build, then swaps the folders by renaming; any failure leaves the installation as
// it was and removes the staging folder. Blocking file work: call it off the main thread or
// accept the pause.

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

/// The portable installation programPath runs from, or why updates cannot be installed there
/// (not a portable installation, its folder or the folder above it not writable).
[[nodiscard]] Checked<PortableInstallation> findPortableInstallation(
    const std::string& programPath);

/// Installs the archive at archivePath (the item's download) over installation. On success the
/// installation holds the new version and the old one waits beside it to be removed; answers the
/// program to start.
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

/// Removes what an earlier update left beside installation (the old versions' folders, staging
/// folders of an interrupted update); called once the new version runs. Failures are logged.
void removeUpdateLeftovers(const PortableInstallation& installation);

}  // namespace jolstrand
