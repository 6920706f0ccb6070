#pragma once
// Unpacking a verified update archive into a new staging folder, so that nothing is ever written
// outside it, whatever the archive holds. Tar (a portable release is a .tar.gz), zip, 7-Zip and
// cpio archives are read, uncompressed or compressed with gzip, bzip2, xz or zstd; libarchive's
// other formats are not (mtree would copy files named in it from this machine's disk).
//
// Refused, with the staging folder removed again: an entry whose name is empty, absolute, not
// UTF-8, holds a control character, a ".." component, a component longer than 255 bytes or is
// longer than 4095 bytes; a name that appears twice; an entry below a symbolic link; any hard
// link; device files, FIFOs and sockets; setuid and setgid bits; a symbolic link whose target is
// absolute, has ".." after another component, or climbs above the staging folder; more entries
// or more unpacked bytes than the limits allow. Regular files, folders and the remaining
// symbolic links are written with their permission bits (the process's umask applies); owners
// are not restored.
//
// Every entry is written by its absolute path below the staging folder, so the process's working
// directory is never changed and other threads may go on using it; for the same reason an entry
// whose full path would reach PATH_MAX is refused. libarchive does still read the umask the only
// way there is, setting it to 0 and back for each entry, so a file another thread creates at that
// instant may miss the umask.

#include <cstdint>
#include <optional>
#include <string>

namespace jolstrand {

struct UnpackLimits {
  std::uint64_t maxEntries = 10'000;
  std::uint64_t maxBytes = std::uint64_t{1} << 30;  ///< of file contents, unpacked
};

/// Unpacks the archive at archivePath into staging, which must not exist yet and is created.
/// None on success; otherwise what was refused or failed, and staging is gone.
[[nodiscard]] std::optional<std::string> unpackArchive(const std::string& archivePath,
                                                       const std::string& staging,
                                                       const UnpackLimits& limits = {});

}  // namespace jolstrand
