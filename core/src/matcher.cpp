#include "jolstrand/matcher.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "icu_text.hpp"
#include "jolstrand/collation.hpp"
#include "tiers.hpp"

namespace jolstrand {

// A matching entry before its launch score is looked up.
struct Matcher::Candidate {
  std::uint32_t index;
  MatchTier tier;
  std::uint32_t nameLength;
  double usage = 0;

  // Tier and name length together, the keys that need no lookup.
  [[nodiscard]] std::uint64_t primaryKey() const {
    return (static_cast<std::uint64_t>(tier) << 32) | nameLength;
  }
};

namespace {

// The rank of every name in the order given by keyOf; equal keys share a rank.
template <class KeyOf>
std::vector<std::uint32_t> ranks(const std::vector<AppEntry>& entries, KeyOf keyOf) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (const AppEntry& entry : entries) keys.push_back(keyOf(entry.displayName()));
  std::vector<std::uint32_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0U);
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  std::vector<std::uint32_t> rank(entries.size());
  std::uint32_t current = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && keys[order[i]] != keys[order[i - 1]]) current = static_cast<std::uint32_t>(i);
    rank[order[i]] = current;
  }
  return rank;
}

std::string codePointKey(std::string_view name) {
  // UTF-8 byte order is code-point order.
  if (detail::isAscii(name)) return std::string(name);
  return detail::encodeUtf8(detail::normalized(detail::decodeUtf8(name)));
}

// The entry's score; a score that is not a number counts as none, so ordering stays sound.
double scoreOf(const UsageScores& usage, const std::string& id) {
  const auto found = usage.find(id);
  return found == usage.end() || std::isnan(found->second) ? 0.0 : found->second;
}

}  // namespace

Matcher::Matcher(std::vector<AppEntry> entries) {
  setEntries(std::move(entries));
}

void Matcher::setEntries(std::vector<AppEntry> entries) {
  entries_ = std::move(entries);
  localizedRank_ = ranks(entries_, localizedSortKey);
  codePointRank_ = ranks(entries_, codePointKey);
}

std::vector<Match> Matcher::search(std::string_view query, const UsageScores& usage,
                                   std::size_t limit) const {
  const std::optional<detail::PreparedQuery> prepared = detail::prepareQuery(query);
  if (!prepared) return usageList(usage, limit);

  std::vector<Candidate> candidates;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::optional<Candidate> best;
    for (const SearchName& name : entries_[i].names()) {
      const std::optional<MatchTier> tier = detail::tierOf(name, *prepared);
      if (!tier) continue;
      const auto length = static_cast<std::uint32_t>(name.folded.size());
      if (!best || *tier < best->tier || (*tier == best->tier && length < best->nameLength)) {
        best = Candidate{static_cast<std::uint32_t>(i), *tier, length};
      }
    }
    if (best) candidates.push_back(*best);
  }
  return ranked(std::move(candidates), usage, limit);
}

// Orders matches by tier, name length, usage (descending), display name, catalogue order.
// Only the entries that can still reach the first `limit` places need their usage looked up:
// those whose tier and length are no worse than the limit-th best.
std::vector<Match> Matcher::ranked(std::vector<Candidate> candidates, const UsageScores& usage,
                                   std::size_t limit) const {
  if (limit == 0) return {};
  if (candidates.size() > limit) {
    std::vector<std::uint64_t> primaries(candidates.size());
    std::transform(candidates.begin(), candidates.end(), primaries.begin(),
                   [](const Candidate& c) { return c.primaryKey(); });
    std::nth_element(primaries.begin(), primaries.begin() + static_cast<std::ptrdiff_t>(limit - 1),
                     primaries.end());
    const std::uint64_t worstPlaced = primaries[limit - 1];
    std::erase_if(candidates, [&](const Candidate& c) { return c.primaryKey() > worstPlaced; });
  }
  for (Candidate& c : candidates) c.usage = scoreOf(usage, entries_[c.index].id());

  const auto better = [&](const Candidate& a, const Candidate& b) {
    if (a.primaryKey() != b.primaryKey()) return a.primaryKey() < b.primaryKey();
    if (a.usage != b.usage) return a.usage > b.usage;
    if (localizedRank_[a.index] != localizedRank_[b.index]) {
      return localizedRank_[a.index] < localizedRank_[b.index];
    }
    return a.index < b.index;
  };
  const std::size_t count = std::min(limit, candidates.size());
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(count),
                    candidates.end(), better);

  std::vector<Match> matches;
  matches.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Candidate& c = candidates[i];
    matches.push_back({entries_[c.index], c.tier, c.nameLength, c.usage});
  }
  return matches;
}

std::vector<Match> Matcher::usageList(const UsageScores& usage, std::size_t limit) const {
  struct Used {
    std::uint32_t index;
    double usage;
  };
  std::vector<Used> used;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const double score = scoreOf(usage, entries_[i].id());
    if (score > 0) used.push_back({static_cast<std::uint32_t>(i), score});
  }
  const auto better = [&](const Used& a, const Used& b) {
    if (a.usage != b.usage) return a.usage > b.usage;
    if (codePointRank_[a.index] != codePointRank_[b.index]) {
      return codePointRank_[a.index] < codePointRank_[b.index];
    }
    return a.index < b.index;
  };
  const std::size_t count = std::min(limit, used.size());
  std::partial_sort(used.begin(), used.begin() + static_cast<std::ptrdiff_t>(count), used.end(),
                    better);

  std::vector<Match> matches;
  matches.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const AppEntry& entry = entries_[used[i].index];
    const auto length = entry.names().empty() ? 0 : entry.names().front().folded.size();
    matches.push_back(
        {entry, MatchTier::exact, static_cast<std::ptrdiff_t>(length), used[i].usage});
  }
  return matches;
}

}  // namespace jolstrand
