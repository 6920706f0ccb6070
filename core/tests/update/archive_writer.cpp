#include "archive_writer.hpp"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <stdexcept>

namespace jolstrand::testing {

void writeArchive(const std::string& path, const std::vector<ArchiveEntry>& entries,
                  ArchiveFormat format) {
  archive* writer = archive_write_new();
  if (format == ArchiveFormat::zip) {
    archive_write_set_format_zip(writer);
  } else {
    archive_write_set_format_pax_restricted(writer);
    archive_write_add_filter_gzip(writer);
  }
  if (archive_write_open_filename(writer, path.c_str()) != ARCHIVE_OK)
    throw std::runtime_error("couldn't write " + path);
  for (const ArchiveEntry& wanted : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, wanted.name.c_str());
    archive_entry_set_perm(entry, wanted.mode);
    switch (wanted.kind) {
      using Kind = ArchiveEntry::Kind;
      case Kind::file:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_size(entry, static_cast<la_int64_t>(wanted.contents.size()));
        break;
      case Kind::folder:
        archive_entry_set_filetype(entry, AE_IFDIR);
        break;
      case Kind::symlink:
        archive_entry_set_filetype(entry, AE_IFLNK);
        archive_entry_set_symlink(entry, wanted.target.c_str());
        break;
      case Kind::hardlink:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_hardlink(entry, wanted.target.c_str());
        archive_entry_set_size(entry, static_cast<la_int64_t>(wanted.contents.size()));
        break;
      case Kind::characterDevice:
        archive_entry_set_filetype(entry, AE_IFCHR);
        archive_entry_set_rdev(entry, makedev(1, 3));
        break;
      case Kind::fifo:
        archive_entry_set_filetype(entry, AE_IFIFO);
        break;
    }
    archive_write_header(writer, entry);
    if (!wanted.contents.empty())
      archive_write_data(writer, wanted.contents.data(), wanted.contents.size());
    archive_entry_free(entry);
  }
  archive_write_close(writer);
  archive_write_free(writer);
}

}  // namespace jolstrand::testing
