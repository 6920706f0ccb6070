#pragma once
// Parsing property lists from bytes that may come from anyone: XML or binary, at most 1 MiB,
// with binary object graphs checked before the parser sees them.

#include <plist/plist.h>

#include <memory>
#include <string_view>
#include <type_traits>

namespace jolstrand::detail {

/// Property lists above this size are treated as unreadable: no real one comes near it.
inline constexpr std::size_t maxPropertyListBytes = 1 << 20;

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

/// The parsed property list, or null when the bytes are empty, too large, hostile or malformed.
[[nodiscard]] Plist parsePropertyList(std::string_view bytes);

}  // namespace jolstrand::detail
