#pragma once
// How well a name matches a query, best first. Ordered by raw value (smaller is better).

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

namespace jolstrand {

enum class MatchTier : std::uint8_t {
  exact = 0,     ///< the folded name equals the query
  prefix = 1,    ///< the folded name starts with the query
  initials = 2,  ///< the name's initials start with the one-word query
  wordPrefix =
      3,          ///< a later word starts with the query, or the query's words start words in order
  substring = 4,  ///< the query occurs anywhere in the folded name
  subsequence = 5,  ///< the query's characters occur in order, from the start of a word
};

/// The tier with this raw value; none outside 0 to 5.
[[nodiscard]] std::optional<MatchTier> matchTier(int rawValue);

[[nodiscard]] constexpr int rawValue(MatchTier tier) {
  return static_cast<int>(tier);
}

/// The case name, as the command line prints it ("wordPrefix").
[[nodiscard]] std::string_view name(MatchTier tier);

std::ostream& operator<<(std::ostream& out, MatchTier tier);

}  // namespace jolstrand
