#include "jolstrand/matcher.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <queue>
#include <unordered_map>

#include "icu_text.hpp"
#include "jolstrand/collation.hpp"
#include "match_key.hpp"
#include "name_index.hpp"
#include "name_tier.hpp"

namespace jolstrand {
namespace {

// The rank of every display name in the order of its key; equal keys share a rank.
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

// UTF-8 byte order is code-point order.
std::string codePointKey(std::string_view name) {
  return detail::composedUtf8(name);
}

// The entry's score; a score that is not a number counts as none, so ordering stays sound.
double scoreOf(const UsageScores& usage, const std::string& id) {
  const auto found = usage.find(id);
  return found == usage.end() || std::isnan(found->second) ? 0.0 : found->second;
}

// A match before its entry is copied out: its key (a smaller key is a better match), then the
// launch score once it has been looked up.
struct Candidate {
  std::uint32_t index;
  detail::MatchKey key;
  double usage = 0;
};

}  // namespace

struct Matcher::Catalogue {
  explicit Catalogue(std::vector<AppEntry> list)
      : entries(std::move(list)),
        names(entries),
        localizedRank(ranks(entries, localizedSortKey)),
        codePointRank(ranks(entries, codePointKey)) {
    for (std::uint32_t i = 0; i < entries.size(); ++i) byID.emplace(entries[i].id(), i);
  }

  template <class Keys>
  [[nodiscard]] std::vector<Candidate> candidates(const detail::PreparedQuery& query,
                                                  std::size_t limit) const;
  template <class Keys>
  [[nodiscard]] std::vector<Match> matches(const detail::PreparedQuery& query,
                                           const UsageScores& usage, std::size_t limit) const;
  [[nodiscard]] std::vector<Match> usageList(const UsageScores& usage, std::size_t limit) const;

  const std::vector<AppEntry> entries;
  const detail::NameIndex names;
  const std::vector<std::uint32_t> localizedRank;  // display names in file-list order
  const std::vector<std::uint32_t> codePointRank;  // display names in code-point order
  std::unordered_multimap<std::string_view, std::uint32_t> byID;
};

Matcher::Matcher(std::vector<AppEntry> entries) {
  setEntries(std::move(entries));
}

const std::vector<AppEntry>& Matcher::entries() const {
  return catalogue_->entries;
}

void Matcher::setEntries(std::vector<AppEntry> entries) {
  catalogue_ = std::make_shared<const Catalogue>(std::move(entries));
}

std::vector<Match> Matcher::search(std::string_view query, const UsageScores& usage,
                                   std::size_t limit) const {
  if (limit == 0) return {};
  const std::optional<detail::PreparedQuery> prepared = detail::prepareQuery(query);
  if (!prepared) return catalogue_->usageList(usage, limit);
  return catalogue_->names.kinded()
             ? catalogue_->matches<detail::KindedKeys>(*prepared, usage, limit)
             : catalogue_->matches<detail::PlainKeys>(*prepared, usage, limit);
}

// Every entry whose best key could be among the first `limit`: while scanning, the limit-th
// best key seen so far bounds what is worth testing, so an entry's names are tested only as far
// as that bound.
template <class Keys>
std::vector<Candidate> Matcher::Catalogue::candidates(const detail::PreparedQuery& query,
                                                      std::size_t limit) const {
  std::vector<Candidate> found;
  std::priority_queue<detail::MatchKey> placed;  // the best `limit` keys so far, worst on top
  detail::MatchKey worst = Keys::key(MatchTier::subsequence, NameKind::keyword, true, UINT32_MAX);
  detail::Bounds bounds(worst);
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    if ((query.mask & ~names.mask(i)) != 0) continue;  // lacks a character of the query
    const std::span<const detail::IndexedName> entryNames = names.names(i);
    const NameKind* const kinds = Keys::kinded ? names.kinds(i).data() : nullptr;
    const bool otherDesktop = !Keys::kinded || names.otherDesktop(i);
    std::optional<detail::MatchKey> best;
    for (std::size_t n = 0; n < entryNames.size(); ++n) {
      const detail::IndexedName& name = entryNames[n];
      if ((query.mask & ~name.mask) != 0) continue;
      const NameKind kind = Keys::kinded ? kinds[n] : NameKind::name;
      // Another name only counts when it does strictly better than the best so far.
      std::optional<MatchTier> tier;
      if constexpr (Keys::kinded) {
        const std::optional<detail::TierBound> bound =
            best ? detail::boundWithin(*best - 1, kind, otherDesktop)
                 : bounds.of(kind, otherDesktop);
        if (!bound) continue;
        tier = detail::tierOf(name, query, *bound);
      } else {
        tier = detail::tierOf(name, query, Keys::bound(best ? *best - 1 : worst));
      }
      if (!tier) continue;
      best = Keys::key(*tier, kind, otherDesktop, static_cast<std::uint32_t>(name.folded.size()));
    }
    if (!best) continue;
    found.push_back({i, *best});
    placed.push(*best);
    if (placed.size() > limit) placed.pop();
    if (placed.size() == limit && placed.top() != worst) {
      worst = placed.top();
      if constexpr (Keys::kinded) bounds = detail::Bounds(worst);
    }
  }
  std::erase_if(found, [&](const Candidate& c) { return c.key > worst; });
  return found;
}

// Orders matches by key (kind of name and tier, desktop, name length), usage (descending),
// display name, catalogue order.
// Usage is looked up only for the entries that can be placed.
template <class Keys>
std::vector<Match> Matcher::Catalogue::matches(const detail::PreparedQuery& query,
                                               const UsageScores& usage, std::size_t limit) const {
  std::vector<Candidate> candidates = this->candidates<Keys>(query, limit);
  for (Candidate& c : candidates) c.usage = scoreOf(usage, entries[c.index].id());

  const auto better = [&](const Candidate& a, const Candidate& b) {
    if (a.key != b.key) return a.key < b.key;
    if (a.usage != b.usage) return a.usage > b.usage;
    if (localizedRank[a.index] != localizedRank[b.index]) {
      return localizedRank[a.index] < localizedRank[b.index];
    }
    return a.index < b.index;
  };
  const std::size_t count = std::min(limit, candidates.size());
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(count),
                    candidates.end(), better);

  std::vector<Match> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Candidate& c = candidates[i];
    out.push_back({entries[c.index], Keys::tier(c.key),
                   static_cast<std::ptrdiff_t>(Keys::length(c.key)), c.usage});
  }
  return out;
}

// Entries with a positive score, highest first, equal scores by display name in code-point
// order. Looks up whichever is smaller: the catalogue's ids in the scores, or the scores' ids
// in the catalogue.
std::vector<Match> Matcher::Catalogue::usageList(const UsageScores& usage,
                                                 std::size_t limit) const {
  std::vector<Candidate> used;
  if (usage.size() < entries.size()) {
    for (const auto& [id, score] : usage) {
      if (!(score > 0)) continue;
      const auto [first, last] = byID.equal_range(id);
      for (auto it = first; it != last; ++it) used.push_back({it->second, 0, score});
    }
  } else {
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
      const double score = scoreOf(usage, entries[i].id());
      if (score > 0) used.push_back({i, 0, score});
    }
  }
  const auto better = [&](const Candidate& a, const Candidate& b) {
    if (a.usage != b.usage) return a.usage > b.usage;
    if (codePointRank[a.index] != codePointRank[b.index]) {
      return codePointRank[a.index] < codePointRank[b.index];
    }
    return a.index < b.index;
  };
  const std::size_t count = std::min(limit, used.size());
  std::partial_sort(used.begin(), used.begin() + static_cast<std::ptrdiff_t>(count), used.end(),
                    better);

  std::vector<Match> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const AppEntry& entry = entries[used[i].index];
    const std::size_t length = entry.names().empty() ? 0 : entry.names().front().folded.size();
    out.push_back({entry, MatchTier::exact, static_cast<std::ptrdiff_t>(length), used[i].usage});
  }
  return out;
}

}  // namespace jolstrand
