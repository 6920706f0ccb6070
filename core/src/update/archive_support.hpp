#pragma once
// Choosing what an archive reader may decode. libarchive answers ARCHIVE_WARN from a filter's
// support call when it has no decoder of its own built in, and then decodes by running an external
// program (xz, zstd, bzip2) found on PATH: an update must never run such a program. So each
// support call is tried first on a reader of its own, and made on the real reader only when it
// answered ARCHIVE_OK there. Stateless; any thread.

#include <span>

struct archive;

namespace jolstrand::detail {

/// One of libarchive's archive_read_support_* calls.
using ReaderSupport = int (*)(archive*);

/// Makes on reader each of supports that libarchive offers built in (see above).
void addBuiltInSupport(archive* reader, std::span<const ReaderSupport> supports);

}  // namespace jolstrand::detail
