#pragma once
// The process-wide table that gives each character made of several scalars a number of its
// own, so that character sequences compare as plain integers. Thread-safe.

#include <string>
#include <string_view>

#include "jolstrand/text.hpp"

namespace jolstrand::detail {

/// The character for one normalised grapheme cluster of two or more scalars (UTF-8).
[[nodiscard]] Character internCluster(std::string_view utf8);

/// Stands for a cluster that was never interned: it equals no character of any name.
inline constexpr Character unknownCharacter = 0xFFFFFFFF;

/// The character of a cluster if it was interned before, else unknownCharacter. For text that
/// is only compared against names (queries), so typing never grows the table.
[[nodiscard]] Character knownCluster(std::string_view utf8);

/// Appends the UTF-8 text of a character, single scalar or interned cluster.
void appendCharacter(std::string& out, Character c);

}  // namespace jolstrand::detail
