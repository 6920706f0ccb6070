#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "file_system.hpp"
#include "jolstrand/file_access.hpp"
#include "platform_folders.hpp"
#include "unique_fd.hpp"

namespace jolstrand::detail {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

std::optional<ListedEntry::Flags> flagsOf(DIR* dir, const dirent& item, const std::string& path) {
  bool link = item.d_type == DT_LNK;
  bool directory = item.d_type == DT_DIR;
  if (item.d_type == DT_UNKNOWN) {  // some file systems do not fill d_type in
    struct stat info {};
    if (fstatat(dirfd(dir), item.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    link = S_ISLNK(info.st_mode);
    directory = S_ISDIR(info.st_mode);
  }
  return ListedEntry::Flags{link, directory, directory && isPackage(path)};
}

}  // namespace

std::optional<std::vector<ListedEntry>> listFolder(const std::string& folder) {
  const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  std::vector<ListedEntry> entries;
  const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
  while (const dirent* item = readdir(dir.get())) {
    const std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    ListedEntry entry{std::string(name), prefix + std::string(name), std::nullopt};
    entry.flags = flagsOf(dir.get(), *item, entry.path);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string resolvingSymlinks(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                             &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

}  // namespace jolstrand::detail

namespace jolstrand {

FileContents readRegularFile(const std::string& path, std::size_t maxBytes) {
  const auto failed = [&](const std::string& why) {
    return FileContents{std::nullopt, path + why};
  };
  const auto failedWithErrno = [&] { return failed(std::string(": ") + std::strerror(errno)); };
  const std::string notRegular = " is not a regular file";
  // Asking first spares a special file even being opened: opening some devices does something.
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return failedWithErrno();
  if (!S_ISREG(info.st_mode)) return failed(notRegular);
  // A pipe may have taken the file's place since: open without waiting for a writer, ask the
  // open file what it is, and only then read in the ordinary blocking way.
  const detail::UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) return failedWithErrno();
  if (fstat(file.get(), &info) != 0) return failedWithErrno();
  if (!S_ISREG(info.st_mode)) return failed(notRegular);
  const int flags = fcntl(file.get(), F_GETFL);
  if (flags < 0 || fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return failedWithErrno();
  const std::string tooLarge = " is larger than " + std::to_string(maxBytes) + " bytes";
  if (static_cast<std::size_t>(info.st_size) > maxBytes) return failed(tooLarge);
  std::string contents(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == contents.size()) {
      // The file may have grown since fstat: read on, but never past the limit.
      if (contents.size() > maxBytes) return failed(tooLarge);
      contents.resize(std::min(maxBytes + 1, contents.size() * 2 + 4096));
    }
    const ssize_t got = read(file.get(), contents.data() + filled, contents.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failedWithErrno();
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  if (filled > maxBytes) return failed(tooLarge);
  contents.resize(filled);
  return {std::move(contents), {}};
}

}  // namespace jolstrand
