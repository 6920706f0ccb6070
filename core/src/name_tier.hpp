#pragma once
// The query as matching compares it, and the tier test of one name against it.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "jolstrand/match_tier.hpp"
#include "jolstrand/text.hpp"
#include "name_index.hpp"

namespace jolstrand::detail {

struct PreparedQuery {
  Characters folded;              ///< trimmed, then folded; never empty
  std::vector<Characters> words;  ///< folded split at U+0020, empty pieces dropped
  Characters compact;             ///< folded without U+0020
  std::uint64_t mask = 0;         ///< the bits of the compact query's characters
};

/// Trims Unicode space separators and tabs from both ends and folds; none when that leaves
/// nothing, which asks for the usage list.
[[nodiscard]] std::optional<PreparedQuery> prepareQuery(std::string_view query);

/// The worst tier and name length still worth finding: a name matching at a worse tier, or at
/// this tier with a longer folded name, is of no use to the caller.
struct TierBound {
  MatchTier tier = MatchTier::subsequence;
  std::uint32_t length = UINT32_MAX;
};

/// The tier at which a name matches; none when it does not match or only beyond the bound.
[[nodiscard]] std::optional<MatchTier> tierOf(const IndexedName& name, const PreparedQuery& query,
                                              TierBound bound = {});

/// Whether the query words start words of the name in order, each name word serving at most one
/// query word; the words need not be adjacent. No query words answers true.
[[nodiscard]] bool wordsInOrder(std::span<const CharactersView> nameWords,
                                const std::vector<Characters>& queryWords);
[[nodiscard]] bool wordsInOrder(const std::vector<Characters>& nameWords,
                                const std::vector<Characters>& queryWords);

/// Whether part occurs contiguously in text. The empty part occurs in anything.
[[nodiscard]] bool contains(CharactersView text, CharactersView part);

}  // namespace jolstrand::detail
