#include "jolstrand/app_entry.hpp"

#include <unordered_set>

#include "icu_text.hpp"

namespace jolstrand {
namespace {

Characters foldedCharacters(std::string_view text) {
  if (detail::isAscii(text)) return detail::asciiCharacters(text, true);
  return detail::charactersOfNormalized(detail::folded(detail::decodeUtf8(text)));
}

std::size_t combine(std::size_t seed, std::size_t value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

}  // namespace

SearchName::SearchName(std::string_view name) : folded(foldedCharacters(name)) {
  for (const std::string& word : splitWords(name)) {
    Characters foldedWord = foldedCharacters(word);
    if (foldedWord.empty()) continue;
    initials.push_back(foldedWord.front());
    words.push_back(std::move(foldedWord));
  }
}

AppEntry::AppEntry(std::string id, std::string path, std::string displayName,
                   const std::vector<std::string>& otherNames)
    : id_(std::move(id)), path_(std::move(path)), displayName_(std::move(displayName)) {
  std::unordered_set<Characters> seen;
  const auto consider = [&](const std::string& candidate) {
    SearchName name(candidate);
    if (name.folded.empty() || !seen.insert(name.folded).second) return;
    names_.push_back(std::move(name));
  };
  consider(displayName_);
  for (const std::string& other : otherNames) consider(other);
}

AppEntry AppEntry::withID(std::string id) const {
  AppEntry copy = *this;
  copy.id_ = std::move(id);
  return copy;
}

}  // namespace jolstrand

std::size_t std::hash<jolstrand::SearchName>::operator()(
    const jolstrand::SearchName& name) const noexcept {
  const std::hash<jolstrand::Characters> hashText;
  std::size_t seed = hashText(name.folded);
  for (const auto& word : name.words) seed = jolstrand::combine(seed, hashText(word));
  return jolstrand::combine(seed, hashText(name.initials));
}

std::size_t std::hash<jolstrand::AppEntry>::operator()(
    const jolstrand::AppEntry& entry) const noexcept {
  const std::hash<std::string> hashString;
  std::size_t seed = hashString(entry.id());
  seed = jolstrand::combine(seed, hashString(entry.path()));
  seed = jolstrand::combine(seed, hashString(entry.displayName()));
  for (const auto& name : entry.names()) {
    seed = jolstrand::combine(seed, std::hash<jolstrand::SearchName>{}(name));
  }
  return seed;
}
