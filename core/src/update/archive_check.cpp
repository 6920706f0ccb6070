#include "jolstrand/update/archive_check.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "jolstrand/release_signing.hpp"
#include "unique_fd.hpp"

namespace jolstrand {
namespace {

std::string lengthError(std::uint64_t size, std::uint64_t length) {
  return "the archive has " + std::to_string(size) + " bytes, the feed says " +
         std::to_string(length);
}

}  // namespace

std::optional<std::string> checkArchive(std::string_view archive, const UpdateItem& item,
                                        std::string_view publicKey) {
  if (archive.size() != item.length) return lengthError(archive.size(), item.length);
  if (!ReleaseSigning::isSigned(archive, item.signature, publicKey))
    return "the archive's signature does not verify with the public key";
  return std::nullopt;
}

ArchiveBytes::~ArchiveBytes() {
  if (address_ != nullptr && size_ > 0) munmap(const_cast<void*>(address_), size_);
}

std::optional<std::string> checkArchiveFile(const std::string& path, const UpdateItem& item,
                                            std::string_view publicKey) {
  const Checked<ArchiveBytes> archive = readCheckedArchive(path, item, publicKey);
  if (!archive) return archive.error();
  return std::nullopt;
}

Checked<ArchiveBytes> readCheckedArchive(const std::string& path, const UpdateItem& item,
                                         std::string_view publicKey) {
  using Read = Checked<ArchiveBytes>;
  const auto failed = [&](std::string_view what) {
    return Read::failure("couldn't " + std::string(what) + " " + path + ": " +
                         std::strerror(errno));
  };
  // Without O_NONBLOCK a named pipe in the archive's place would hold the open until a writer
  // came; regular files read the same either way.
  const detail::UniqueFd file(
      open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (!file.valid()) return failed("open");
  struct stat status {};
  if (fstat(file.get(), &status) != 0) return failed("read the size of");
  if (!S_ISREG(status.st_mode)) return Read::failure(path + " is not a regular file");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size != item.length) return Read::failure(lengthError(size, item.length));
  if (size > maxArchiveBytes)
    return Read::failure("the archive has " + std::to_string(size) +
                         " bytes, more than an update may have");
  if (size == 0) {
    ArchiveBytes empty(nullptr, 0);
    if (auto wrong = checkArchive(empty.bytes(), item, publicKey)) return Read::failure(*wrong);
    return empty;
  }
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.get(), 0);
  if (mapped == MAP_FAILED) return failed("map");
  ArchiveBytes bytes(mapped, size);
  if (auto wrong = checkArchive(bytes.bytes(), item, publicKey)) return Read::failure(*wrong);
  return bytes;
}

}  // namespace jolstrand
