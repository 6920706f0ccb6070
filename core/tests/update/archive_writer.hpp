#pragma once
// Writes archives with any entries at all, hostile ones included, for the unpacking tests.

#include <string>
#include <vector>

namespace jolstrand::testing {

struct ArchiveEntry {
  enum class Kind { file, folder, symlink, hardlink, characterDevice, fifo };
  std::string name;
  Kind kind = Kind::file;
  std::string contents;  ///< of a file
  std::string target;    ///< of a link
  unsigned mode = 0644;
};

enum class ArchiveFormat { tarGz, zip };

/// Writes the entries, names and targets exactly as given, to path.
void writeArchive(const std::string& path, const std::vector<ArchiveEntry>& entries,
                  ArchiveFormat format = ArchiveFormat::tarGz);

}  // namespace jolstrand::testing
