#pragma once
// Replacing a small file so that a reader sees either the old or the new contents, never a
// mixture, even if the process is killed at any instant: the bytes go to a temporary file in the
// same folder, are flushed to disk, the temporary file is renamed over the target and the folder
// is flushed too.

#include <optional>
#include <string>
#include <string_view>

namespace jolstrand::detail {

/// The path that writing to path really replaces: a symbolic link is followed to its target, so
/// that the link stays a link.
[[nodiscard]] std::string writeTarget(const std::string& path);

/// Replaces target with bytes, keeping its permissions. When keepOldAs is given and target
/// exists, the old file is moved there first (replacing what was there). A target that is a named
/// pipe, device or socket is refused. Returns the error's description on failure, in which case
/// target is untouched.
[[nodiscard]] std::optional<std::string> replaceFile(const std::string& target,
                                                     std::string_view bytes,
                                                     const std::optional<std::string>& keepOldAs);

/// Removes the temporary files that a killed writer of target left behind.
void removeAbandonedTemporaries(const std::string& target);

}  // namespace jolstrand::detail
