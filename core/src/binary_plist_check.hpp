#pragma once
// A check of a binary property list's object graph before it is handed to the parser. The binary
// format refers to objects by index, so a small hostile file can nest objects deep enough to
// exhaust the parser's stack, refer to one object many times so that it expands exponentially,
// or form cycles. This walks the graph once, without building anything.

#include <string_view>

namespace jolstrand::detail {

/// Whether the binary property list is well formed enough to walk and, expanded into a tree,
/// stays within a small nesting depth and node count (far above any real Info.plist).
[[nodiscard]] bool isTameBinaryPlist(std::string_view bytes);

}  // namespace jolstrand::detail
