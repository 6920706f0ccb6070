#include "jolstrand/update/archive_check.hpp"

#include <fcntl.h>
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

std::optional<std::string> checkArchiveFile(const std::string& path, const UpdateItem& item,
                                            std::string_view publicKey) {
  const Checked<std::string> archive = readCheckedArchive(path, item, publicKey);
  if (!archive) return archive.error();
  return std::nullopt;
}

Checked<std::string> readCheckedArchive(const std::string& path, const UpdateItem& item,
                                        std::string_view publicKey) {
  using Read = Checked<std::string>;
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

  std::string bytes(size, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failed("read");
    if (got == 0) return Read::failure(path + " became shorter while it was read");
    done += static_cast<std::size_t>(got);
  }
  if (auto wrong = checkArchive(bytes, item, publicKey)) return Read::failure(*wrong);
  return bytes;
}

}  // namespace jolstrand
