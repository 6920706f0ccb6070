#pragma once
// The usage file's format: one JSON object whose members are entry ids, each an object with the
// numbers "score" and "updated" (seconds since 1 January 2001 00:00:00 UTC); extra members of a
// record are ignored, anything else makes the whole file unusable.
//
// JSON text must be Unicode, but on Linux an id can be any bytes (it may be a path). An id that
// is not valid UTF-8, or that begins with a NUL character, is stored as a NUL character followed
// by its bytes with everything outside printable ASCII, and '%', written as %XX. No real id
// begins with NUL, so every id reads back exactly as it was written.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "jolstrand/usage_store.hpp"

namespace jolstrand::detail {

using UsageRecords = std::unordered_map<std::string, UsageStore::Record>;

/// The records of a usage file; none when the text is not a usable usage file.
[[nodiscard]] std::optional<UsageRecords> decodeUsage(std::string_view text);

/// The compact JSON text of the records. Never fails.
[[nodiscard]] std::string encodeUsage(const UsageRecords& records);

}  // namespace jolstrand::detail
