#include "name_tier.hpp"

#include <algorithm>

#include <unicode/uchar.h>

#include "icu_text.hpp"
#include "jolstrand/matcher.hpp"

namespace jolstrand {
namespace {

// A plain loop: most tests fail on the first character, where a library compare would not pay.
bool startsWith(CharactersView text, CharactersView start) {
  if (start.size() > text.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (text[i] != start[i]) return false;
  }
  return true;
}

bool isQueryWhitespace(UChar32 c) {
  return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR;
}

icu::UnicodeString trimmed(const icu::UnicodeString& text) {
  int32_t start = 0;
  int32_t end = text.length();
  while (start < end && isQueryWhitespace(text.char32At(start))) {
    start += U16_LENGTH(text.char32At(start));
  }
  while (end > start && isQueryWhitespace(text.char32At(end - 1))) {
    end -= U16_LENGTH(text.char32At(end - 1));
  }
  return text.tempSubStringBetween(start, end);
}

// The initials (first characters of the words) start with q.
bool initialsStartWith(std::span<const CharactersView> words, CharactersView q) {
  if (words.size() < q.size()) return false;
  for (std::size_t i = 0; i < q.size(); ++i) {
    if (words[i].front() != q[i]) return false;
  }
  return true;
}

// The compact query is a subsequence of the name's words concatenated from the first word that
// starts with its first character. Starting later can only leave fewer characters to use, so
// when the earliest such word fails every later one fails too.
bool isWordSubsequence(std::span<const CharactersView> words, CharactersView compact) {
  if (compact.empty()) return false;
  auto word = std::find_if(words.begin(), words.end(),
                           [&](CharactersView w) { return w.front() == compact.front(); });
  std::size_t wanted = 0;
  for (; word != words.end(); ++word) {
    for (const Character c : *word) {
      if (c == compact[wanted] && ++wanted == compact.size()) return true;
    }
  }
  return false;
}

}  // namespace

namespace detail {

bool wordsInOrder(const std::vector<Characters>& nameWords,
                  const std::vector<Characters>& queryWords) {
  const std::vector<CharactersView> views(nameWords.begin(), nameWords.end());
  return wordsInOrder(views, queryWords);
}

bool contains(CharactersView text, CharactersView part) {
  if (part.empty()) return true;
  for (std::size_t start = 0; start + part.size() <= text.size(); ++start) {
    if (text[start] == part[0] && startsWith(text.substr(start), part)) return true;
  }
  return false;
}

bool wordsInOrder(std::span<const CharactersView> nameWords,
                  const std::vector<Characters>& queryWords) {
  auto next = nameWords.begin();
  for (const Characters& queryWord : queryWords) {
    next = std::find_if(next, nameWords.end(),
                        [&](CharactersView word) { return startsWith(word, queryWord); });
    if (next == nameWords.end()) return false;
    ++next;
  }
  return true;
}

std::optional<PreparedQuery> prepareQuery(std::string_view query) {
  PreparedQuery prepared;
  if (isAscii(query)) {
    const std::size_t start = query.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = query.find_last_not_of(" \t");
    prepared.folded = asciiCharacters(query.substr(start, end - start + 1), true);
  } else {
    prepared.folded =
        charactersOfNormalized(folded(trimmed(decodeUtf8(query))), NewClusters::markUnknown);
    if (prepared.folded.empty()) return std::nullopt;
  }
  Characters word;
  for (const Character c : prepared.folded) {
    if (c != U' ') {
      word.push_back(c);
      prepared.compact.push_back(c);
      prepared.mask |= NameIndex::bitOf(c);
    } else if (!word.empty()) {
      prepared.words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) prepared.words.push_back(std::move(word));
  return prepared;
}

// The tests run from the best tier down; the first that holds is the name's tier, so testing
// stops as soon as the next tier would be beyond the bound.
std::optional<MatchTier> tierOf(const IndexedName& name, const PreparedQuery& query,
                                TierBound bound) {
  const CharactersView q = query.folded;
  const CharactersView f = name.folded;
  const int worst = rawValue(bound.tier) - (f.size() > bound.length ? 1 : 0);
  const auto within = [&](MatchTier tier) { return rawValue(tier) <= worst; };
  if (worst < 0) return std::nullopt;
  if (!within(MatchTier::prefix) && f.size() != q.size()) return std::nullopt;  // only exact left

  if (startsWith(f, q)) {
    const MatchTier tier = f.size() == q.size() ? MatchTier::exact : MatchTier::prefix;
    return within(tier) ? std::optional(tier) : std::nullopt;
  }
  if (!within(MatchTier::initials)) return std::nullopt;
  // Every tier but substring needs a word of the name to start with the query's first letter.
  if ((NameIndex::bitOf(query.compact.empty() ? U' ' : query.compact.front()) & name.wordStarts) ==
      0) {
    return within(MatchTier::substring) && contains(f, q) ? std::optional(MatchTier::substring)
                                                          : std::nullopt;
  }
  if (query.words.size() == 1) {
    if (q.size() > 1 && name.words.size() > 1 && initialsStartWith(name.words, q)) {
      return MatchTier::initials;
    }
    if (!within(MatchTier::wordPrefix)) return std::nullopt;
    if (std::any_of(name.words.begin() + (name.words.empty() ? 0 : 1), name.words.end(),
                    [&](CharactersView word) { return startsWith(word, q); })) {
      return MatchTier::wordPrefix;
    }
  } else if (query.words.size() > 1) {
    if (!within(MatchTier::wordPrefix)) return std::nullopt;
    if (wordsInOrder(name.words, query.words)) return MatchTier::wordPrefix;
  }
  if (!within(MatchTier::substring)) return std::nullopt;
  if (contains(f, q)) return MatchTier::substring;
  if (!within(MatchTier::subsequence)) return std::nullopt;
  if (isWordSubsequence(name.words, query.compact)) return MatchTier::subsequence;
  return std::nullopt;
}

}  // namespace detail
}  // namespace jolstrand
