#pragma once
// Checking a downloaded update archive against its feed item before anything of it is used: its
// size must be the enclosure's length and its Ed25519 signature (the item's sparkle:edSignature)
// must verify over all of its bytes with the public key. Stateless; any thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

/// The most an update's archive may have: an announced length beyond it is refused before anything
/// is downloaded.
inline constexpr std::uint64_t maxArchiveBytes = std::uint64_t{512} << 20;

/// An archive file mapped read-only into memory, not copied: a large archive is never held twice.
/// Move-only; unmapped when destroyed.
class ArchiveBytes {
 public:
  ArchiveBytes(const void* address, std::size_t size) : address_(address), size_(size) {}
  ArchiveBytes(ArchiveBytes&& other) noexcept
      : address_(std::exchange(other.address_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  ArchiveBytes& operator=(ArchiveBytes&&) = delete;
  ~ArchiveBytes();
  [[nodiscard]] std::string_view bytes() const {
    return {static_cast<const char*>(address_), size_};
  }

 private:
  const void* address_;
  std::size_t size_;
};

/// The bytes of the archive in the file at path once they are checked as checkArchiveFile does, so
/// that what is used is what was verified; otherwise what is wrong. The file lies in a folder of
/// this user's alone: only this user could change it while it is mapped.
[[nodiscard]] Checked<ArchiveBytes> readCheckedArchive(const std::string& path,
                                                       const UpdateItem& item,
                                                       std::string_view publicKey);

}  // namespace jolstrand
