#include "atomic_file.hpp"
#include "file_system.hpp"
#include "jolstrand/file_access.hpp"
#include "unique_fd.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace jolstrand::detail {
namespace {

// Temporary files are named ".NAME.PID.tmpXXXXXX", so that an abandoned one can be told from
// one that a live process is still writing.
std::string temporaryPrefix(const std::string& target) {
  return "." + nameOf(target) + ".";
}

std::string failure(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string writeTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit on link chains
    struct stat info {};
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::vector<char> buffer(static_cast<std::size_t>(info.st_size) + 1);
    const ssize_t length = readlink(current.c_str(), buffer.data(), buffer.size());
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return current;
    const std::string link(buffer.data(), static_cast<std::size_t>(length));
    current = link.starts_with('/') ? link : folderOf(current).append("/").append(link);
  }
  return current;
}

std::optional<std::string> replaceFile(const std::string& target, std::string_view bytes,
                                       const std::optional<std::string>& keepOldAs) {
  struct stat existing {};
  const bool targetExists = stat(target.c_str(), &existing) == 0;
  // A pipe, device or socket serves whoever reads or writes it and holds nothing to keep aside:
  // never move or replace one (think of a link to /dev/null).
  if (targetExists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
    return target + " is not a regular file";
  }
  const std::string folder = folderOf(target);
  std::string temporary =
      folder + "/" + temporaryPrefix(target) + std::to_string(getpid()) + ".tmpXXXXXX";
  UniqueFd file(mkstemp(temporary.data()));
  if (!file.valid()) return failure("couldn't create a temporary file in", folder);

  const mode_t mode = targetExists ? (existing.st_mode & 07777) : [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0644 & ~mask);
  }();

  std::optional<std::string> error;
  if (fchmod(file.get(), mode) != 0) {
    error = failure("couldn't set the permissions of", temporary);
  } else if (!writeAll(file.get(), bytes)) {
    error = failure("couldn't write", temporary);
  } else if (fsync(file.get()) != 0) {
    error = failure("couldn't flush", temporary);
  } else if (close(file.release()) != 0) {
    error = failure("couldn't close", temporary);
  } else if (keepOldAs && targetExists && rename(target.c_str(), keepOldAs->c_str()) != 0) {
    error = failure("couldn't keep the old file as", *keepOldAs);
  } else if (rename(temporary.c_str(), target.c_str()) != 0) {
    error = failure("couldn't replace", target);
  }
  if (error) {
    unlink(temporary.c_str());
    return error;
  }
  const UniqueFd directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid() || fsync(directory.get()) != 0) return failure("couldn't flush", folder);
  return std::nullopt;
}

void removeAbandonedTemporaries(const std::string& target) {
  const std::string folder = folderOf(target);
  const std::string prefix = temporaryPrefix(target);
  for (const ListedEntry& item : listFolder(folder).value_or(std::vector<ListedEntry>{})) {
    const std::string_view name = item.name;
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos || !rest.substr(dot).starts_with(".tmp")) continue;
    const std::string pid(rest.substr(0, dot));
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    // A writer that still runs may be about to rename its file: leave that one alone.
    const long owner = std::strtol(pid.c_str(), nullptr, 10);
    if (kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM) continue;
    unlink(item.path.c_str());
  }
}

}  // namespace jolstrand::detail

namespace jolstrand {

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes) {
  return detail::replaceFile(detail::writeTarget(path), bytes, std::nullopt);
}

}  // namespace jolstrand
