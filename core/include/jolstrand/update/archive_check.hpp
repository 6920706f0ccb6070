#pragma once
// Checking a downloaded update archive against its feed item before anything of it is used: its
// size must be the enclosure's length and its Ed25519 signature (the item's sparkle:edSignature)
// must verify over all of its bytes with the public key. Stateless; any thread.

#include <optional>
#include <string>
#include <string_view>

#include "jolstrand/update/checked.hpp"
#include "jolstrand/update/update_feed.hpp"

namespace jolstrand {

/// None when archive is the item's archive; otherwise what is wrong with it.
[[nodiscard]] std::optional<std::string> checkArchive(std::string_view archive,
                                                      const UpdateItem& item,
                                                      std::string_view publicKey);

/// The same for the archive in the file at path, whose size is checked before it is read.
[[nodiscard]] std::optional<std::string> checkArchiveFile(const std::string& path,
                                                          const UpdateItem& item,
                                                          std::string_view publicKey);

/// The bytes of the archive in the file at path once they are checked as checkArchiveFile does, so
/// that what is used is what was verified; otherwise what is wrong.
[[nodiscard]] Checked<std::string> readCheckedArchive(const std::string& path,
                                                      const UpdateItem& item,
                                                      std::string_view publicKey);

}  // namespace jolstrand
