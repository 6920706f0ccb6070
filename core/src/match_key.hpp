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
/// another desktop, still gives a key no greater than limit; none when no tier does. A key grows
/// with the tier for a given kind, entry and length; the limit's group, tier and desktop say
/// which tiers of the kind's strong and weak groups still fit, and at the last of them the
/// length is bounded only when all above the length equals the limit's.
[[nodiscard]] constexpr std::optional<TierBound> boundWithin(MatchKey limit, NameKind kind,
                                                             bool otherDesktop) {
  const auto group = static_cast<int>(limit >> 40);
  const auto tier = static_cast<int>((limit >> 36) & 0xF);
  const auto desktop = static_cast<int>((limit >> 32) & 0xF);
  const int strong = static_cast<int>(kind);
  const int weak = nameKindCount + strong;
  const int own = otherDesktop ? 1 : 0;
  // The last tier from low to high whose key, in the limit's group, is within the limit.
  const auto lastWithin = [&](int low, int high) {
    if (tier > high) return high;
    if (tier < low) return low - 1;
    return own <= desktop ? tier : tier - 1;
  };
  int last = rawValue(MatchTier::subsequence);
  int lastGroup = weak;
  if (weak == group) {
    last = lastWithin(rawValue(MatchTier::substring), rawValue(MatchTier::subsequence));
  }
  if (weak > group || last < rawValue(MatchTier::substring)) {
    lastGroup = strong;
    last = strong < group ? rawValue(MatchTier::wordPrefix)
           : strong == group
               ? lastWithin(rawValue(MatchTier::exact), rawValue(MatchTier::wordPrefix))
               : -1;
  }
  if (last < 0) return std::nullopt;
  const bool sameAboveLength = lastGroup == group && last == tier && own == desktop;
  return TierBound{static_cast<MatchTier>(last),
                   sameAboveLength ? nameLengthIn(limit) : UINT32_MAX};
}

/// boundWithin for one limit, worked out for each kind of name and kind of entry when first
/// asked for.
class Bounds {
 public:
  explicit Bounds(MatchKey limit) : limit_(limit) {}

  [[nodiscard]] const std::optional<TierBound>& of(NameKind kind, bool otherDesktop) {
    const auto index = static_cast<std::size_t>(kind) * 2 + (otherDesktop ? 1 : 0);
    if ((known_ & (1U << index)) == 0) {
      bounds_[index] = boundWithin(limit_, kind, otherDesktop);
      known_ |= 1U << index;
    }
    return bounds_[index];
  }

 private:
  MatchKey limit_;
  unsigned known_ = 0;
  std::array<std::optional<TierBound>, 2 * nameKindCount> bounds_{};
};

/// How keys are made and read where names have kinds: as above.
struct KindedKeys {
  static constexpr bool kinded = true;
  [[nodiscard]] static constexpr MatchKey key(MatchTier tier, NameKind kind, bool otherDesktop,
                                              std::uint32_t length) {
    return keyOf(tier, kind, otherDesktop, length);
  }
  [[nodiscard]] static constexpr MatchTier tier(MatchKey key) { return tierIn(key); }
  [[nodiscard]] static constexpr std::uint32_t length(MatchKey key) { return nameLengthIn(key); }
};

/// The same for a catalogue of names only, none of them made for a desktop (bundles alone),
/// where tier and length are all there is to a key: the search then does as little per name as
/// it did before names had kinds.
struct PlainKeys {
  static constexpr bool kinded = false;
  [[nodiscard]] static constexpr MatchKey key(MatchTier tier, NameKind /*kind*/,
                                              bool /*otherDesktop*/, std::uint32_t length) {
    return static_cast<MatchKey>(tier) << 32 | length;
  }
  [[nodiscard]] static constexpr MatchTier tier(MatchKey key) {
    return static_cast<MatchTier>(key >> 32);
  }
  [[nodiscard]] static constexpr std::uint32_t length(MatchKey key) {
    return static_cast<std::uint32_t>(key);
  }
  /// The worst tier and length no greater than limit; one less than a key with length 0 is the
  /// tier before with any length.
  [[nodiscard]] static constexpr TierBound bound(MatchKey limit) {
    return {tier(limit), length(limit)};
  }
};

}  // namespace jolstrand::detail
