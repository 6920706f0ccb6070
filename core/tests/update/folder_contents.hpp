#pragma once
// Reading back what the update tests left on disk.

#include <filesystem>
#include <string>
#include <vector>

namespace jolstrand::testing {

/// The file's bytes; empty when it cannot be read.
[[nodiscard]] std::string fileContents(const std::filesystem::path& path);
/// The names of the folder's entries, in no particular order.
[[nodiscard]] std::vector<std::string> namesIn(const std::filesystem::path& folder);

}  // namespace jolstrand::testing
