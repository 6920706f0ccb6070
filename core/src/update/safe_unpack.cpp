#include "jolstrand/update/safe_unpack.hpp"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "icu_text.hpp"

namespace jolstrand {
namespace {

using Refusal = std::optional<std::string>;

struct ReaderFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriterFree {
  void operator()(archive* a) const { archive_write_free(a); }
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
// link, then go down: so that, with every link checked alike, no chain of links can resolve to
// anything outside the staging folder.
Refusal checkLinkTarget(const std::string& name, const char* raw) {
  const std::string_view target = raw ? raw : "";
  const std::string what = "the link \"" + name + "\" -> \"" + std::string(target) + "\"";
  if (target.empty() || !detail::isValidUtf8(target) || hasControlCharacter(target))
    return what + " has no valid target";
  if (target.front() == '/') return what + " points to an absolute path";
  std::size_t available = components(name).size() - 1;  // folders above the link
  bool descended = false;
  for (const std::string_view part : components(target)) {
    if (part != "..") {
      descended = true;
    } else if (descended) {
      return what + " climbs with \"..\" after going down";
    } else if (available-- == 0) {
      return what + " leaves the staging folder";
    }
  }
  return std::nullopt;
}

std::string archiveError(archive* a, std::string_view doing) {
  const char* message = archive_error_string(a);
  return "couldn't " + std::string(doing) + ": " + (message ? message : "unknown error");
}

class Unpacker {
 public:
  // root is the staging folder's canonical path: libarchive's symlink check refuses any
  // symbolic link on the way, including one above the staging folder.
  Unpacker(std::string root, const UnpackLimits& limits)
      : root_(std::move(root)), limits_(limits) {}

  Refusal run(const std::string& archivePath) {
    const std::unique_ptr<archive, ReaderFree> reader(archive_read_new());
    const std::unique_ptr<archive, WriterFree> writer(archive_write_disk_new());
    if (!reader || !writer) return "couldn't make an archive reader";
    // Not every format libarchive reads: an mtree "archive" only names files, which the reader
    // then copies from the local disk, and some filters run external programs.
    for (const auto support : {archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
                               archive_read_support_filter_xz, archive_read_support_filter_zstd,
                               archive_read_support_format_tar, archive_read_support_format_zip,
                               archive_read_support_format_7zip, archive_read_support_format_cpio})
      support(reader.get());
    archive_write_disk_set_options(
        writer.get(), ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                          ARCHIVE_EXTRACT_NO_OVERWRITE | ARCHIVE_EXTRACT_TIME);
    if (archive_read_open_filename(reader.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK)
      return archiveError(reader.get(), "open the archive");
    for (;;) {
      archive_entry* entry = nullptr;
      const int status = archive_read_next_header(reader.get(), &entry);
      if (status == ARCHIVE_EOF) break;
      if (status != ARCHIVE_OK) return archiveError(reader.get(), "read the archive");
      if (auto refusal = extract(reader.get(), writer.get(), entry)) return refusal;
    }
    if (entries_ == 0) return "the archive holds nothing";
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
      return archiveError(writer.get(), "finish unpacking");
    return std::nullopt;
  }

 private:
  Refusal extract(archive* reader, archive* writer, archive_entry* entry) {
    if (++entries_ > limits_.maxEntries)
      return "the archive has more than " + std::to_string(limits_.maxEntries) + " entries";
    std::string name;
    if (auto refusal = checkEntry(entry, name)) return refusal;
    if (name.empty()) return std::nullopt;  // the staging folder itself
    // Written by absolute path below the staging folder, never relative to the working
    // directory, which other threads share. A symbolic link's target stays as the archive has
    // it: it was checked relative to the link's own place.
    const std::string path = root_ + "/" + name;
    // libarchive changes the working directory to write a path this long.
    if (path.size() >= PATH_MAX) return "the entry \"" + name + "\" has too long a path";
    archive_entry_set_pathname(entry, path.c_str());
    archive_entry_set_perm(entry, archive_entry_perm(entry) & 0777);
    if (archive_write_header(writer, entry) != ARCHIVE_OK)
      return archiveError(writer, "unpack \"" + name + "\"");
    if (auto refusal = copyData(reader, writer, name)) return refusal;
    if (archive_write_finish_entry(writer) != ARCHIVE_OK)
      return archiveError(writer, "unpack \"" + name + "\"");
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
    if (!names_.insert(name).second) return "the entry " + quoted + " appears twice";
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
      if (links_.contains(name.substr(0, slash)))
        return "the entry " + quoted + " lies below a symbolic link";
    }
    if (type == AE_IFLNK) {
      if (auto refusal = checkLinkTarget(name, archive_entry_symlink(entry))) return refusal;
      links_.insert(name);
    }
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
      return countBytes(static_cast<std::uint64_t>(archive_entry_size(entry)), name);
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

  Refusal copyData(archive* reader, archive* writer, const std::string& name) {
    for (;;) {
      const void* block = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      const int status = archive_read_data_block(reader, &block, &size, &offset);
      if (status == ARCHIVE_EOF) return std::nullopt;
      if (status != ARCHIVE_OK) return archiveError(reader, "read \"" + name + "\"");
      written_ += size;
      if (written_ > limits_.maxBytes)
        return "the archive unpacks to more than " + std::to_string(limits_.maxBytes) + " bytes";
      if (archive_write_data_block(writer, block, size, offset) != ARCHIVE_OK)
        return archiveError(writer, "write \"" + name + "\"");
    }
  }

  const std::string root_;
  const UnpackLimits& limits_;
  std::uint64_t entries_ = 0;
  std::uint64_t announced_ = 0;
  std::uint64_t written_ = 0;
  std::set<std::string> names_;
  std::set<std::string> links_;
};

// Removes a partly unpacked staging folder, even one whose folders were unpacked read-only.
void removeStaging(const std::string& staging) {
  std::error_code error;
  std::filesystem::recursive_directory_iterator walk(staging, error);
  for (; !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
    if (walk->is_directory(error) && !walk->is_symlink(error))
      std::filesystem::permissions(walk->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(staging, error);
}

}  // namespace

std::optional<std::string> unpackArchive(const std::string& archivePath, const std::string& staging,
                                         const UnpackLimits& limits) {
  if (mkdir(staging.c_str(), 0755) != 0)
    return "couldn't make the staging folder " + staging + ": " + std::strerror(errno);
  std::error_code error;
  const std::filesystem::path root = std::filesystem::canonical(staging, error);
  Refusal refusal;
  if (error)
    refusal = "couldn't resolve the staging folder " + staging + ": " + error.message();
  else
    refusal = Unpacker(root.string(), limits).run(archivePath);
  if (refusal) removeStaging(staging);
  return refusal;
}

}  // namespace jolstrand
