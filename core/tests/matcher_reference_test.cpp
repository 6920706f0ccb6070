// The matcher's search skips work it can prove useless. This test holds its results to a plain,
// unpruned reading of the ranking rules over a random catalogue and many queries.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "jolstrand/collation.hpp"
#include "jolstrand/matcher.hpp"
#include "name_tier.hpp"

namespace jolstrand {
namespace {

bool startsWith(const Characters& text, const Characters& start) {
  return text.compare(0, start.size(), start) == 0 && text.size() >= start.size();
}

std::optional<MatchTier> referenceTier(const SearchName& name, const Characters& q,
                                       const std::vector<Characters>& words,
                                       const Characters& compact) {
  if (name.folded == q) return MatchTier::exact;
  if (startsWith(name.folded, q)) return MatchTier::prefix;
  if (words.size() == 1) {
    if (q.size() > 1 && name.initials.size() > 1 && startsWith(name.initials, q)) {
      return MatchTier::initials;
    }
    for (std::size_t k = 1; k < name.words.size(); ++k) {
      if (startsWith(name.words[k], q)) return MatchTier::wordPrefix;
    }
  }
  if (words.size() > 1 && detail::wordsInOrder(name.words, words)) return MatchTier::wordPrefix;
  if (detail::contains(name.folded, q)) return MatchTier::substring;
  for (std::size_t k = 0; k < name.words.size() && !compact.empty(); ++k) {
    if (name.words[k].front() != compact.front()) continue;
    Characters joined;
    for (std::size_t j = k; j < name.words.size(); ++j) joined += name.words[j];
    std::size_t wanted = 0;
    for (const Character c : joined) {
      if (wanted < compact.size() && c == compact[wanted]) ++wanted;
    }
    if (wanted == compact.size()) return MatchTier::subsequence;
  }
  return std::nullopt;
}

struct Expected {
  std::string id;
  MatchTier tier;
  std::ptrdiff_t nameLength;
  double usage;
  friend bool operator==(const Expected&, const Expected&) = default;
};

// Queries here are ASCII with single inner spaces, so trimming is plain.
std::vector<Expected> referenceSearch(const std::vector<AppEntry>& entries, std::string query,
                                      const UsageScores& usage, std::size_t limit) {
  query.erase(0, query.find_first_not_of(' '));
  query.erase(query.find_last_not_of(' ') + 1);
  const Characters q = characters(fold(query));
  std::vector<Characters> words;
  Characters compact;
  for (const std::string& w : splitWords(query)) words.push_back(characters(fold(w)));
  for (const Character c : q) {
    if (c != U' ') compact.push_back(c);
  }
  // Strong tiers by kind of name, then weak tiers by kind; then tier, entries made for the
  // current desktop, name length.
  using Key = std::tuple<bool, NameKind, MatchTier, bool, std::ptrdiff_t>;
  std::vector<std::pair<Key, std::pair<Expected, const AppEntry*>>> found;
  for (const AppEntry& entry : entries) {
    std::optional<Key> best;
    for (const SearchName& name : entry.names()) {
      const auto tier = referenceTier(name, q, words, compact);
      if (!tier) continue;
      const Key key{*tier >= MatchTier::substring, name.kind, *tier, !entry.madeForCurrentDesktop(),
                    static_cast<std::ptrdiff_t>(name.folded.size())};
      if (!best || key < *best) best = key;
    }
    if (!best) continue;
    const double score = usage.contains(entry.id()) ? usage.at(entry.id()) : 0.0;
    found.push_back({*best, {{entry.id(), std::get<2>(*best), std::get<4>(*best), score}, &entry}});
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& keyed, const auto& otherKeyed) {
    if (keyed.first != otherKeyed.first) return keyed.first < otherKeyed.first;
    const auto& a = keyed.second;
    const auto& b = otherKeyed.second;
    if (a.first.usage != b.first.usage) return a.first.usage > b.first.usage;
    return localizedStandardLess(a.second->displayName(), b.second->displayName());
  });
  std::vector<Expected> out;
  for (std::size_t i = 0; i < std::min(limit, found.size()); ++i) {
    out.push_back(found[i].second.first);
  }
  return out;
}

// Random catalogues of bundles or, with kinds, of desktop entries whose names are of every
// kind and some of which are made for the current desktop.
void agreeOnRandomCatalogues(bool withKinds) {
  const char* words[] = {"Sound", "wave", "Editor", "PDF",  "view", "Note", "book", "Map",
                         "maker", "X",    "Pro",    "tool", "Kit",  "2",    "10",   "Ed"};
  const char* separators[] = {" ", " ", "", "-", "."};
  std::mt19937 random(42);
  const auto pick = [&](auto& array) {
    return array[std::uniform_int_distribution<std::size_t>(0, std::size(array) - 1)(random)];
  };
  const auto makeName = [&] {
    std::string name = pick(words);
    const int more = std::uniform_int_distribution(0, 3)(random);
    for (int i = 0; i < more; ++i) name.append(pick(separators)).append(pick(words));
    return name;
  };
  std::vector<AppEntry> entries;
  UsageScores usage;
  for (int i = 0; i < 400; ++i) {
    const std::string id = "id" + std::to_string(i % 390);  // a few shared ids
    std::vector<OtherName> others;
    const int count = withKinds ? std::uniform_int_distribution(0, 4)(random) : i % 3 == 0;
    for (int k = 0; k < count; ++k) {
      const auto kind = withKinds
                            ? static_cast<NameKind>(std::uniform_int_distribution(0, 2)(random))
                            : NameKind::name;
      others.push_back({makeName(), kind});
    }
    const bool madeForDesktop = withKinds && i % 5 == 0;
    entries.emplace_back(id, "/A/" + std::to_string(i) + ".app", makeName(), others,
                         madeForDesktop);
    if (i % 4 == 0) usage[id] = std::uniform_int_distribution(0, 3)(random) * 0.5;
  }
  const Matcher matcher(entries);

  const char* letters = "swepdvnbmkxt210 ";
  for (int round = 0; round < 600; ++round) {
    std::string query;
    if (round % 2 == 0) {
      const std::string name = fold(pick(words));
      query = name.substr(0, std::uniform_int_distribution<std::size_t>(1, name.size())(random));
      if (round % 6 == 0) query += " " + fold(pick(words)).substr(0, 2);
    } else {
      const int length = std::uniform_int_distribution(1, 4)(random);
      for (int i = 0; i < length; ++i) {
        query += letters[std::uniform_int_distribution(0, 15)(random)];
      }
    }
    const std::size_t limit = std::uniform_int_distribution<std::size_t>(1, 12)(random);
    std::vector<Expected> actual;
    for (const Match& m : matcher.search(query, usage, limit)) {
      actual.push_back({m.entry.id(), m.tier, m.nameLength, m.usage});
    }
    if (query.find_first_not_of(' ') == std::string::npos) continue;  // the usage list
    ASSERT_EQ(actual, referenceSearch(entries, query, usage, limit))
        << "query \"" << query << "\", limit " << limit;
  }
}

TEST(MatcherReference, AgreesWithThePlainRankingOnRandomCatalogues) {
  agreeOnRandomCatalogues(false);
}

TEST(MatcherReference, AgreesWithThePlainRankingOnRandomDesktopEntries) {
  agreeOnRandomCatalogues(true);
}

}  // namespace
}  // namespace jolstrand
