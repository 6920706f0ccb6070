#include "update/archive_support.hpp"

#include <archive.h>

#include <memory>

namespace jolstrand::detail {

void addBuiltInSupport(archive* reader, std::span<const ReaderSupport> supports) {
  for (const ReaderSupport support : supports) {
    const std::unique_ptr<archive, int (*)(archive*)> probe(archive_read_new(), archive_read_free);
    if (probe && support(probe.get()) == ARCHIVE_OK) support(reader);
  }
}

}  // namespace jolstrand::detail
