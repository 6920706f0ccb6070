#include "jolstrand/match_tier.hpp"

#include <array>

namespace jolstrand {
namespace {

constexpr std::array<std::string_view, 6> caseNames = {"exact",      "prefix",    "initials",
                                                       "wordPrefix", "substring", "subsequence"};

}  // namespace

std::optional<MatchTier> matchTier(int rawValue) {
  if (rawValue < 0 || rawValue >= static_cast<int>(caseNames.size())) return std::nullopt;
  return static_cast<MatchTier>(rawValue);
}

std::string_view name(MatchTier tier) {
  return caseNames.at(static_cast<std::size_t>(tier));
}

std::ostream& operator<<(std::ostream& out, MatchTier tier) {
  return out << name(tier);
}

}  // namespace jolstrand
