#pragma once
// The query as matching compares it, and the tier test of one name against it.

#include <optional>
#include <string_view>
#include <vector>

#include "jolstrand/app_entry.hpp"
#include "jolstrand/match_tier.hpp"

namespace jolstrand::detail {

struct PreparedQuery {
  Characters folded;              ///< trimmed, then folded; never empty
  std::vector<Characters> words;  ///< folded split at U+0020, empty pieces dropped
  Characters compact;             ///< folded without U+0020
};

/// Trims Unicode space separators and tabs from both ends and folds; none when that leaves
/// nothing, which asks for the usage list.
[[nodiscard]] std::optional<PreparedQuery> prepareQuery(std::string_view query);

/// The tier at which a name matches, none when it does not match at all.
[[nodiscard]] std::optional<MatchTier> tierOf(const SearchName& name, const PreparedQuery& query);

}  // namespace jolstrand::detail
