#pragma once
// The order of matches as one integer, smaller first: the group (the strong tiers, exact to word
// prefix, by kind of name, then the weak tiers, substring and scattered letters, by kind of
// name), the tier, whether the entry is made for some other desktop than the current one, and
// the length of the matched name. A bundle's names are all names and it is made for no desktop,
// so bundles are ordered by tier and length alone.

#include <array>
#include <cstdint>
#include <optional>

#include "jolstrand/app_entry.hpp"
#include "jolstrand/match_tier.hpp"
#include "name_tier.hpp"

namespace jolstrand::detail {

using MatchKey = std::uint64_t;

inline constexpr int nameKindCount = 3;

[[nodiscard]] constexpr MatchKey keyOf(MatchTier tier, NameKind kind, bool otherDesktop,
                                       std::uint32_t length) {
  const int weak = tier >= MatchTier::substring ? nameKindCount : 0;
  const auto group = static_cast<MatchKey>(weak + static_cast<int>(kind));
  return group << 40 | static_cast<MatchKey>(tier) << 36 | MatchKey{otherDesktop} << 32 | length;
}

[[nodiscard]] constexpr MatchTier tierIn(MatchKey key) {
  return static_cast<MatchTier>((key >> 36) & 0xF);
}

[[nodiscard]] constexpr std::uint32_t nameLengthIn(MatchKey key) {
  return static_cast<std::uint32_t>(key);
}

/// The worst tier and name length at which a name of this kind, in an entry made (or not) for
/// another desktop, still gives a key no greater than limit; none when no tier does.
[[nodiscard]] std::optional<TierBound> boundWithin(MatchKey limit, NameKind kind,
                                                   bool otherDesktop);

/// boundWithin for every kind of name and both kinds of entry, indexed by boundIndex.
using Bounds = std::array<std::optional<TierBound>, 2 * nameKindCount>;
[[nodiscard]] Bounds boundsWithin(MatchKey limit);

[[nodiscard]] constexpr std::size_t boundIndex(NameKind kind, bool otherDesktop) {
  return static_cast<std::size_t>(kind) * 2 + (otherDesktop ? 1 : 0);
}

}  // namespace jolstrand::detail
