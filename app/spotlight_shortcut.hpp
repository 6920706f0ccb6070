#pragma once
// Whether Spotlight still owns Command-Space, read from the system's symbolic-hot-key
// preferences (entry "64" of "AppleSymbolicHotKeys" in "com.apple.symbolichotkeys"). Anything
// missing or malformed counts as Spotlight holding the shortcut, except an explicit "enabled"
// false or a different key or modifiers. Reading the preferences is the platform's
// SpotlightCheck. Any thread.

#include <optional>

#include "jolstrand/property_list.hpp"

namespace jolstrand {
namespace SpotlightShortcut {

/// The decision over the value of "AppleSymbolicHotKeys" (none when the key is not set).
[[nodiscard]] bool holdsCommandSpace(const std::optional<PropertyListValue>& symbolicHotKeys);

}  // namespace SpotlightShortcut
}  // namespace jolstrand
