#pragma once
// The order in which file lists sort names: the current locale's collation, case not a primary
// difference, runs of digits compared by numeric value ("Tool 2" before "Tool 10"). The locale
// comes from LC_ALL, LC_COLLATE or LANG; with none, or with C or POSIX, the root collation is
// used. One collator is made per thread and reused. Safe to call from any thread.

#include <string>
#include <string_view>

namespace jolstrand {

/// True only when a sorts strictly before b.
[[nodiscard]] bool localizedStandardLess(std::string_view a, std::string_view b);

/// A key whose plain byte order is the comparison's order: two names compare equal exactly
/// when their keys are equal. For sorting many names against each other.
[[nodiscard]] std::string localizedSortKey(std::string_view name);

}  // namespace jolstrand
