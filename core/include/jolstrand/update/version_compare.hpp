#pragma once
// Ordering of version and build strings, as update feeds and Info.plist files write them.
//
// Versions are cut into segments at '.'; segments are compared in turn, and a missing segment
// counts as "0", so "2" equals "2.0" and "1.10" is newer than "1.9". Each segment is a run of
// decimal digits, compared by numeric value (leading zeros ignored, any length, no overflow),
// followed by an optional suffix. A segment without digits counts as 0 with that suffix. When the
// numbers are equal, a plain number is newer than the same number with a suffix, so pre-release
// forms like "2.0b1" or "2.0-rc" come before "2.0"; two suffixes compare digit runs by value and
// everything else byte by byte ("b10" is newer than "b9"). No white space is trimmed. Never
// throws, allocates nothing; any thread.

#include <compare>
#include <string_view>

namespace jolstrand {

[[nodiscard]] std::strong_ordering compareVersions(std::string_view a, std::string_view b) noexcept;

}  // namespace jolstrand
