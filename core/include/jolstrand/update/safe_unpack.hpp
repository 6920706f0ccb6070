#pragma once
// Unpacking a verified update archive into a new staging folder, so that nothing is ever written
// outside it, whatever the archive holds. Tar (a portable release is a .tar.gz), zip, 7-Zip and
// cpio archives are read, uncompressed or compressed with gzip, bzip2, xz or zstd; libarchive's
// other formats are not (mtree would copy files named in it from this machine's disk).
//
// Refused, with the staging folder removed again: an entry whose name is empty, absolute, not
// UTF-8, holds a control character, a ".." component, a component longer than 255 bytes or is
// longer than 4095 bytes, or whose path below the staging folder would reach PATH_MAX; a name that
// appears twice; an entry below a symbolic link; any hard link; device files, FIFOs and sockets;
// setuid and setgid bits; a symbolic link whose target is absolute, has ".." after another
// component, or climbs above the staging folder (or above the top folder, when one is required);
// more entries or more unpacked bytes than the limits allow.
//
// Regular files, folders and the remaining symbolic links are created by this code, not by
// libarchive's disk writer: relative to the opened staging folder, one component at a time, never
// following a symbolic link and never replacing anything that exists. Permission bits are the
// archive's, less the process's umask (read once, without changing it) and never writable by
// group or others; a folder gets its bits only after everything inside it was written. Owners are
// not restored; files keep their modification times. The working directory and the umask, which
// other threads share, are never changed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jolstrand {

struct UnpackLimits {
  std::uint64_t maxEntries = 10'000;
  std::uint64_t maxBytes = std::uint64_t{1} << 30;  ///< of file contents, unpacked
  /// Everything must lie in one folder at the archive's top, and symbolic links are bounded by
  /// that folder instead of the staging folder: for a tree that is used without the staging
  /// folder around it.
  bool oneTopFolder = false;
};

/// Unpacks the archive whose bytes are archiveBytes (the very bytes that were verified, never
/// read again from a file that could have changed since) into staging, which must not exist yet
/// and is created. None on success; otherwise what was refused or failed, and staging is gone.
[[nodiscard]] std::optional<std::string> unpackArchiveBytes(std::string_view archiveBytes,
                                                            const std::string& staging,
                                                            const UnpackLimits& limits = {});

/// Removes a folder that unpackArchive made, or part of it, read-only folders inside included. None
/// on success (or when it is already gone), otherwise why not; a symbolic link in the folder's
/// place is not followed and not removed.
[[nodiscard]] std::optional<std::string> removeUnpackedFolder(const std::string& folder);

}  // namespace jolstrand
