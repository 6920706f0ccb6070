#pragma once
// Whole files that other people or programs may control, read and replaced safely: only regular
// files are read or replaced, and a named pipe, device or socket in a file's place is refused at
// once and left alone, never waited on. A replaced file is never seen half-written. Safe to call
// from any thread.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace jolstrand {

/// The bytes of a file, or why there are none.
struct FileContents {
  std::optional<std::string> bytes;
  std::string error;  ///< when there are no bytes: the path and the reason
};

/// Reads the whole regular file at path, following symbolic links; refuses a file larger than
/// maxBytes.
[[nodiscard]] FileContents readRegularFile(const std::string& path, std::size_t maxBytes);

/// Replaces the file at path (through a symbolic link, the link's target) with bytes, keeping its
/// permissions, or creates it. Returns why it failed, in which case what was there is untouched.
[[nodiscard]] std::optional<std::string> writeFileAtomically(const std::string& path,
                                                             std::string_view bytes);

}  // namespace jolstrand
