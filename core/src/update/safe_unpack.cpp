#include "jolstrand/update/safe_unpack.hpp"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "icu_text.hpp"
#include "unique_fd.hpp"
#include "update/archive_support.hpp"

namespace jolstrand {
namespace {

using Refusal = std::optional<std::string>;

struct ReaderFree {
  void operator()(archive* a) const { archive_read_free(a); }
};

constexpr std::size_t maxNameBytes = 4095;
constexpr std::size_t maxComponentBytes = 255;

// The parts of a name between slashes, without empty and "." parts.
std::vector<std::string_view> components(std::string_view name) {
  std::vector<std::string_view> parts;
  while (!name.empty()) {
    const std::size_t slash = name.find('/');
    const std::string_view part = name.substr(0, slash);
    if (!part.empty() && part != ".") parts.push_back(part);
    name.remove_prefix(slash == std::string_view::npos ? name.size() : slash + 1);
  }
  return parts;
}

bool hasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

// The entry's name relative to the staging folder, with "." parts and repeated slashes gone;
// empty for the folder itself.
Refusal normalizedName(const char* raw, std::string& out) {
  const std::string_view name = raw ? raw : "";
  const std::string quoted = "\"" + std::string(name) + "\"";
  if (name.empty()) return "an entry has no name";
  if (!detail::isValidUtf8(name) || hasControlCharacter(name))
    return "an entry's name is not valid text";
  if (name.size() > maxNameBytes) return "an entry's name is too long";
  if (name.front() == '/') return "the entry " + quoted + " has an absolute path";
  out.clear();
  for (const std::string_view part : components(name)) {
    if (part == "..") return "the entry " + quoted + " climbs out with \"..\"";
    if (part.size() > maxComponentBytes) return "the entry " + quoted + " has too long a name";
    if (!out.empty()) out += '/';
    out += part;
  }
  return std::nullopt;
}

// A symbolic link's target may only climb (with leading "..") through the folders that hold the
// link, up to the bound (the first `fixed` of them stay), then go down: so that, with every link
// checked alike, no chain of links can resolve to anything outside the bound.
Refusal checkLinkTarget(const std::string& name, const char* raw, std::size_t fixed,
                        std::string_view bound) {
  const std::string_view target = raw ? raw : "";
  const std::string what = "the link \"" + name + "\" -> \"" + std::string(target) + "\"";
  if (target.empty() || !detail::isValidUtf8(target) || hasControlCharacter(target))
    return what + " has no valid target";
  if (target.front() == '/') return what + " points to an absolute path";
  std::size_t available = components(name).size() - 1 - fixed;  // folders it may climb
  bool descended = false;
  for (const std::string_view part : components(target)) {
    if (part != "..") {
      descended = true;
    } else if (descended) {
      return what + " climbs with \"..\" after going down";
    } else if (available-- == 0) {
      return what + " leaves " + std::string(bound);
    }
  }
  return std::nullopt;
}

std::string archiveError(archive* a, std::string_view doing) {
  const char* message = archive_error_string(a);
  return "couldn't " + std::string(doing) + ": " + (message ? message : "unknown error");
}

std::string systemError(std::string_view doing, const std::string& name) {
  return "couldn't " + std::string(doing) + " \"" + name + "\": " + std::strerror(errno);
}

// The umask as the kernel reports it, read without setting it (setting it, even to put it back at
// once, would change it for every thread meanwhile). 022 when it cannot be read.
mode_t processUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (!line.starts_with("Umask:")) continue;
    try {
      return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
    } catch (const std::exception&) {
      break;
    }
  }
  return 022;
}

// The last part of a normalized name.
std::string lastComponent(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// A folder of the staged tree opened for the *at calls; O_PATH needs no read permission.
detail::UniqueFd openFolder(int parent, const std::string& name) {
  return detail::UniqueFd(
      openat(parent, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

class Unpacker {
 public:
  // root is the staging folder, opened; rootPath its resolved path, for the length of paths.
  Unpacker(int root, std::string rootPath, const UnpackLimits& limits)
      : root_(root), rootPath_(std::move(rootPath)), limits_(limits), umask_(processUmask()) {}

  Refusal run(std::string_view archiveBytes) {
    const std::unique_ptr<archive, ReaderFree> reader(archive_read_new());
    if (!reader) return "couldn't make an archive reader";
    // Not every format libarchive reads: an mtree "archive" only names files, which the reader
    // then copies from the local disk; and only the decoders built into libarchive.
    static constexpr detail::ReaderSupport supports[] = {
        archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
        archive_read_support_filter_xz,   archive_read_support_filter_zstd,
        archive_read_support_format_tar,  archive_read_support_format_zip,
        archive_read_support_format_7zip, archive_read_support_format_cpio};
    detail::addBuiltInSupport(reader.get(), supports);
    if (archive_read_open_memory(reader.get(), archiveBytes.data(), archiveBytes.size()) !=
        ARCHIVE_OK)
      return archiveError(reader.get(), "open the archive");
    for (;;) {
      archive_entry* entry = nullptr;
      const int status = archive_read_next_header(reader.get(), &entry);
      if (status == ARCHIVE_EOF) break;
      if (status != ARCHIVE_OK) return archiveError(reader.get(), "read the archive");
      if (auto refusal = extract(reader.get(), entry)) return refusal;
    }
    if (entries_ == 0) return "the archive holds nothing";
    return finishFolders();
  }

 private:
  Refusal extract(archive* reader, archive_entry* entry) {
    if (++entries_ > limits_.maxEntries)
      return "the archive has more than " + std::to_string(limits_.maxEntries) + " entries";
    std::string name;
    if (auto refusal = checkEntry(entry, name)) return refusal;
    if (name.empty()) return std::nullopt;  // the staging folder itself
    // A tree with paths this long could not be used or removed by path afterwards.
    if (rootPath_.size() + 1 + name.size() >= PATH_MAX)
      return "the entry \"" + name + "\" has too long a path";
    const std::string leaf = lastComponent(name);
    detail::UniqueFd parent;
    if (auto refusal = openParent(name, parent)) return refusal;
    const mode_t mode = archive_entry_perm(entry) & 0777 & ~(umask_ | 022);
    switch (archive_entry_filetype(entry)) {
      case AE_IFDIR:
        if (mkdirat(parent.get(), leaf.c_str(), 0700) != 0 && errno != EEXIST)
          return systemError("unpack", name);
        if (!openFolder(parent.get(), leaf).valid()) return systemError("unpack", name);
        folderModes_[name] = mode;
        return std::nullopt;
      case AE_IFLNK:
        if (symlinkat(archive_entry_symlink(entry), parent.get(), leaf.c_str()) != 0)
          return systemError("unpack", name);
        return std::nullopt;
      default:
        return writeFile(reader, entry, parent.get(), leaf, name, mode);
    }
  }

  // Opens the folder that holds name one component at a time, never following a symbolic link,
  // and makes the folders that no entry has named yet.
  Refusal openParent(const std::string& name, detail::UniqueFd& parent) {
    parent.reset(fcntl(root_, F_DUPFD_CLOEXEC, 0));
    if (!parent.valid()) return systemError("unpack", name);
    std::string path;
    const auto parts = components(name);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      const std::string part(parts[i]);
      path += (path.empty() ? "" : "/") + part;
      if (mkdirat(parent.get(), part.c_str(), 0700) == 0)
        folderModes_.emplace(path, 0755 & ~umask_);
      else if (errno != EEXIST)
        return systemError("make the folder", path);
      detail::UniqueFd next = openFolder(parent.get(), part);
      if (!next.valid()) return systemError("open the folder", path);
      parent = std::move(next);
    }
    return std::nullopt;
  }

  Refusal writeFile(archive* reader, archive_entry* entry, int parent, const std::string& leaf,
                    const std::string& name, mode_t mode) {
    const detail::UniqueFd file(
        openat(parent, leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.valid()) return systemError("unpack", name);
    std::uint64_t end = 0;
    if (auto refusal = copyData(reader, file.get(), name, end)) return refusal;
    // A sparse file may end in a hole, which no block covers.
    if (archive_entry_size_is_set(entry))
      end = std::max(end, static_cast<std::uint64_t>(archive_entry_size(entry)));
    if (ftruncate(file.get(), static_cast<off_t>(end)) != 0) return systemError("write", name);
    if (archive_entry_mtime_is_set(entry)) {
      const timespec times[2] = {{0, UTIME_OMIT}, {archive_entry_mtime(entry), 0}};
      futimens(file.get(), times);  // only cosmetic, so a failure does not stop the update
    }
    if (fchmod(file.get(), mode) != 0) return systemError("set the permissions of", name);
    return std::nullopt;
  }

  // Folders get their own permission bits last, deepest first, so that a read-only folder was
  // still writable while its contents were unpacked.
  Refusal finishFolders() {
    for (auto it = folderModes_.rbegin(); it != folderModes_.rend(); ++it) {
      detail::UniqueFd parent;
      if (auto refusal = openParent(it->first, parent)) return refusal;
      const detail::UniqueFd folder(openat(parent.get(), lastComponent(it->first).c_str(),
                                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (!folder.valid() || fchmod(folder.get(), it->second) != 0)
        return systemError("set the permissions of", it->first);
    }
    return std::nullopt;
  }
  Refusal checkEntry(archive_entry* entry, std::string& name) {
    if (auto refusal = normalizedName(archive_entry_pathname(entry), name)) return refusal;
    const std::string quoted = "\"" + name + "\"";
    if (archive_entry_hardlink(entry) != nullptr)
      return "the entry " + quoted + " is a hard link, which an update never holds";
    const auto type = archive_entry_filetype(entry);
    if (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK)
      return "the entry " + quoted + " is a device file, FIFO or socket";
    if ((archive_entry_mode(entry) & (S_ISUID | S_ISGID)) != 0)
      return "the entry " + quoted + " has the setuid or setgid bit";
    if (name.empty()) {
      if (type != AE_IFDIR) return "an entry names the staging folder itself";
      return std::nullopt;
    }
    // Archives made in parts (CPack's, one part per install component) name a folder again
    // for each part it holds files of; a folder named again as a folder changes nothing.
    const auto [seen, isNew] = names_.emplace(name, type == AE_IFDIR);
    if (!isNew && !(seen->second && type == AE_IFDIR))
      return "the entry " + quoted + " appears twice";
    if (limits_.oneTopFolder) {
      if (auto refusal = checkInTopFolder(name, type)) return refusal;
    }
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
      if (links_.contains(name.substr(0, slash)))
        return "the entry " + quoted + " lies below a symbolic link";
    }
    if (type == AE_IFLNK) {
      const auto refusal =
          limits_.oneTopFolder
              ? checkLinkTarget(name, archive_entry_symlink(entry), 1, "the archive's top folder")
              : checkLinkTarget(name, archive_entry_symlink(entry), 0, "the staging folder");
      if (refusal) return refusal;
      links_.insert(name);
    }
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
      return countBytes(static_cast<std::uint64_t>(archive_entry_size(entry)), name);
    return std::nullopt;
  }

  // Everything below one folder, named by the first entry.
  Refusal checkInTopFolder(const std::string& name, mode_t type) {
    const std::string first(components(name).front());
    if (first == name && type != AE_IFDIR)
      return "the archive's top entry \"" + name + "\" is not a folder";
    if (topFolder_.empty()) topFolder_ = first;
    if (first != topFolder_)
      return "the archive holds \"" + first + "\" beside its top folder \"" + topFolder_ + "\"";
    return std::nullopt;
  }

  // Counts what the headers announce, and again what really comes, so that neither a lying
  // header nor a format without sizes gets past the cap.
  Refusal countBytes(std::uint64_t count, const std::string& name) {
    announced_ += count;
    if (announced_ > limits_.maxBytes)
      return "the archive unpacks to more than " + std::to_string(limits_.maxBytes) +
             " bytes (at \"" + name + "\")";
    return std::nullopt;
  }

  // Writes the entry's data blocks at their offsets, counting what really comes.
  Refusal copyData(archive* reader, int file, const std::string& name, std::uint64_t& end) {
    for (;;) {
      const void* block = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      const int status = archive_read_data_block(reader, &block, &size, &offset);
      if (status == ARCHIVE_EOF) return std::nullopt;
      if (status != ARCHIVE_OK) return archiveError(reader, "read \"" + name + "\"");
      written_ += size;
      if (written_ > limits_.maxBytes || offset < 0 ||
          static_cast<std::uint64_t>(offset) + size > limits_.maxBytes)
        return "the archive unpacks to more than " + std::to_string(limits_.maxBytes) + " bytes";
      for (std::size_t done = 0; done < size;) {
        const ssize_t wrote = pwrite(file, static_cast<const char*>(block) + done, size - done,
                                     static_cast<off_t>(offset + static_cast<la_int64_t>(done)));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return systemError("write", name);
        done += static_cast<std::size_t>(wrote);
      }
      end = std::max(end, static_cast<std::uint64_t>(offset) + size);
    }
  }

  const int root_;
  const std::string rootPath_;
  const UnpackLimits& limits_;
  const mode_t umask_;
  std::uint64_t entries_ = 0;
  std::uint64_t announced_ = 0;
  std::uint64_t written_ = 0;
  std::map<std::string, bool> names_;  ///< every entry's name, and whether it is a folder
  std::set<std::string> links_;
  std::string topFolder_;  ///< when one is required: the first entry's first component
  std::map<std::string, mode_t> folderModes_;  ///< every folder made, with its final bits
};

}  // namespace

std::optional<std::string> unpackArchiveBytes(std::string_view archiveBytes,
                                              const std::string& staging,
                                              const UnpackLimits& limits) {
  if (mkdir(staging.c_str(), 0755) != 0)
    return "couldn't make the staging folder " + staging + ": " + std::strerror(errno);
  const detail::UniqueFd root(open(staging.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  std::error_code error;
  const std::filesystem::path rootPath = std::filesystem::canonical(staging, error);
  Refusal refusal;
  if (!root.valid())
    refusal = "couldn't open the staging folder " + staging + ": " + std::strerror(errno);
  else if (error)
    refusal = "couldn't resolve the staging folder " + staging + ": " + error.message();
  else
    refusal = Unpacker(root.get(), rootPath.string(), limits).run(archiveBytes);
  if (refusal) (void)removeUnpackedFolder(staging);
  return refusal;
}

std::optional<std::string> removeUnpackedFolder(const std::string& folder) {
  std::error_code error;
  const auto type = std::filesystem::symlink_status(folder, error).type();
  if (type == std::filesystem::file_type::not_found) return std::nullopt;
  if (type != std::filesystem::file_type::directory)
    return "couldn't remove " + folder + ": it is not a folder";
  std::filesystem::recursive_directory_iterator walk(folder, error);
  for (; !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
    if (walk->is_directory(error) && !walk->is_symlink(error))
      std::filesystem::permissions(walk->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(folder, error);
  if (error) return "couldn't remove " + folder + ": " + error.message();
  return std::nullopt;
}

}  // namespace jolstrand
