#include "match_key.hpp"

namespace jolstrand::detail {

// A key grows with the tier for a given kind, entry and length, so the worst tier that still
// fits is the last one whose shortest key does; at that tier the length is bounded only when
// everything above the length is equal to the limit's.
std::optional<TierBound> boundWithin(MatchKey limit, NameKind kind, bool otherDesktop) {
  for (int raw = rawValue(MatchTier::subsequence); raw >= 0; --raw) {
    const auto tier = static_cast<MatchTier>(raw);
    const MatchKey shortest = keyOf(tier, kind, otherDesktop, 0);
    if (shortest > limit) continue;
    const bool sameAboveLength = shortest >> 32 == limit >> 32;
    return TierBound{tier, sameAboveLength ? nameLengthIn(limit) : UINT32_MAX};
  }
  return std::nullopt;
}

Bounds boundsWithin(MatchKey limit) {
  Bounds bounds;
  for (int kind = 0; kind < nameKindCount; ++kind) {
    for (const bool otherDesktop : {false, true}) {
      const auto nameKind = static_cast<NameKind>(kind);
      bounds[boundIndex(nameKind, otherDesktop)] = boundWithin(limit, nameKind, otherDesktop);
    }
  }
  return bounds;
}

}  // namespace jolstrand::detail
