#pragma once
// Ranks catalogue entries against a query typed into the search panel. A pure computation over
// the catalogue and a dictionary of launch scores; it keeps no state between calls. Matches are
// ordered by the kind of the matched name and its tier: the strong tiers (exact to word prefix)
// on names, then on generic names, then on keywords, then the weak tiers (substring, scattered
// letters) in the same order of kinds; within each, by tier, then entries made for the current
// desktop first, then by the length of the matched name, then by launch score (higher first),
// then by display name in file-list order, and finally in catalogue order. Bundles have names
// of one kind only and are made for no desktop, so for them tier and length lead. A query that
// is empty after trimming and folding lists the launched entries, most used first.
//
// A Matcher is a value: const calls may run concurrently on any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "jolstrand/app_entry.hpp"
#include "jolstrand/match_tier.hpp"
#include "jolstrand/usage_scores.hpp"

namespace jolstrand {

/// One result of a search.
struct Match {
  AppEntry entry;
  MatchTier tier;             ///< the tier of the entry's best matching name, in the order above
  std::ptrdiff_t nameLength;  ///< characters in the folded name that gave the tier (shortest)
  double usage;               ///< the entry's launch score, 0 when it has none
};

class Matcher {
 public:
  /// Takes the catalogue in its established order and prepares it for searching once.
  explicit Matcher(std::vector<AppEntry> entries = {});

  [[nodiscard]] const std::vector<AppEntry>& entries() const;
  void setEntries(std::vector<AppEntry> entries);

  /// The best matches for a query exactly as typed, at most limit of them, best first.
  [[nodiscard]] std::vector<Match> search(std::string_view query, const UsageScores& usage,
                                          std::size_t limit) const;

 private:
  struct Catalogue;
  std::shared_ptr<const Catalogue> catalogue_;  // shared by copies: it never changes
};

}  // namespace jolstrand
