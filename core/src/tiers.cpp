#include "tiers.hpp"

#include <algorithm>

#include <unicode/uchar.h>

#include "icu_text.hpp"
#include "jolstrand/matcher.hpp"

namespace jolstrand {
namespace {

bool startsWith(const Characters& text, const Characters& start) {
  return start.size() <= text.size() && std::equal(start.begin(), start.end(), text.begin());
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

// The compact query is a subsequence of the name's words concatenated from the first word that
// starts with its first character. Starting later can only leave fewer characters to use, so
// when the earliest such word fails every later one fails too.
bool isWordSubsequence(const std::vector<Characters>& words, const Characters& compact) {
  if (compact.empty()) return false;
  auto word = std::find_if(words.begin(), words.end(),
                           [&](const Characters& w) { return w.front() == compact.front(); });
  std::size_t wanted = 0;
  for (; word != words.end(); ++word) {
    for (const Character c : *word) {
      if (c == compact[wanted] && ++wanted == compact.size()) return true;
    }
  }
  return false;
}

}  // namespace

bool wordsInOrder(const std::vector<Characters>& nameWords,
                  const std::vector<Characters>& queryWords) {
  auto next = nameWords.begin();
  for (const Characters& queryWord : queryWords) {
    next = std::find_if(next, nameWords.end(),
                        [&](const Characters& word) { return startsWith(word, queryWord); });
    if (next == nameWords.end()) return false;
    ++next;
  }
  return true;
}

bool contains(const Characters& text, const Characters& part) {
  if (part.size() > text.size()) return false;
  for (std::size_t start = 0; start + part.size() <= text.size(); ++start) {
    if (std::equal(part.begin(), part.end(), text.begin() + static_cast<std::ptrdiff_t>(start))) {
      return true;
    }
  }
  return false;
}

namespace detail {

std::optional<PreparedQuery> prepareQuery(std::string_view query) {
  PreparedQuery prepared;
  if (isAscii(query)) {
    const std::size_t start = query.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = query.find_last_not_of(" \t");
    prepared.folded = asciiCharacters(query.substr(start, end - start + 1), true);
  } else {
    prepared.folded = charactersOfNormalized(folded(trimmed(decodeUtf8(query))));
    if (prepared.folded.empty()) return std::nullopt;
  }
  Characters word;
  for (const Character c : prepared.folded) {
    if (c != U' ') {
      word.push_back(c);
      prepared.compact.push_back(c);
    } else if (!word.empty()) {
      prepared.words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) prepared.words.push_back(std::move(word));
  return prepared;
}

std::optional<MatchTier> tierOf(const SearchName& name, const PreparedQuery& query) {
  const Characters& q = query.folded;
  if (startsWith(name.folded, q)) {
    return name.folded.size() == q.size() ? MatchTier::exact : MatchTier::prefix;
  }
  if (query.words.size() == 1) {
    if (q.size() > 1 && name.initials.size() > 1 && startsWith(name.initials, q)) {
      return MatchTier::initials;
    }
    const auto laterWordStarts =
        std::any_of(name.words.begin() + (name.words.empty() ? 0 : 1), name.words.end(),
                    [&](const Characters& word) { return startsWith(word, q); });
    if (laterWordStarts) return MatchTier::wordPrefix;
  } else if (query.words.size() > 1 && wordsInOrder(name.words, query.words)) {
    return MatchTier::wordPrefix;
  }
  if (contains(name.folded, q)) return MatchTier::substring;
  if (isWordSubsequence(name.words, query.compact)) return MatchTier::subsequence;
  return std::nullopt;
}

}  // namespace detail
}  // namespace jolstrand
