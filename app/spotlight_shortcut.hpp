#pragma once
// Whether Spotlight still owns Command-Space, read from the system's symbolic-hot-key
// preferences (entry "64" of "AppleSymbolicHotKeys" in "com.apple.symbolichotkeys"). Anything
// missing or malformed counts as Spotlight holding the shortcut, except an explicit "enabled"
// false or a different key or modifiers. On Linux no system search owns the shortcut: the
// answer is "free" unless ${XDG_CONFIG_HOME:-~/.config}/Jolstrand/symbolichotkeys.plist exists,
// which then goes through the same decision. Main thread.

#include <optional>

#include "jolstrand/property_list.hpp"

namespace jolstrand {
namespace SpotlightShortcut {

/// The decision over the value of "AppleSymbolicHotKeys" (none when the key is not set).
[[nodiscard]] bool holdsCommandSpace(const std::optional<PropertyListValue>& symbolicHotKeys);

/// Reads the preferences afresh and decides.
[[nodiscard]] bool holdsCommandSpace();

}  // namespace SpotlightShortcut
}  // namespace jolstrand
