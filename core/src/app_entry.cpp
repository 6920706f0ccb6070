#include "jolstrand/app_entry.hpp"

#include <algorithm>
#include <unordered_map>

#include "icu_text.hpp"

namespace jolstrand {
namespace {

Characters foldedCharacters(std::string_view text) {
  if (detail::isAscii(text)) return detail::asciiCharacters(text, true);
  return detail::charactersOfNormalized(detail::folded(detail::decodeUtf8(text)));
}

// The folded forms of the names so far, each with its place among them.
using SeenNames = std::unordered_map<Characters, std::size_t>;

// Appends the name unless it folds to nothing; a name seen before keeps its place and takes the
// stronger of the two kinds.
void addName(std::vector<SearchName>& names, SeenNames& seen, std::string_view text,
             NameKind kind) {
  SearchName name(text, kind);
  if (name.folded.empty()) return;
  const auto [found, added] = seen.try_emplace(name.folded, names.size());
  if (added) {
    names.push_back(std::move(name));
  } else {
    names[found->second].kind = std::min(names[found->second].kind, kind);
  }
}

std::size_t combine(std::size_t seed, std::size_t value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

}  // namespace

SearchName::SearchName(std::string_view name, NameKind nameKind)
    : folded(foldedCharacters(name)), kind(nameKind) {
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
  SeenNames seen;
  addName(names_, seen, displayName_, NameKind::name);
  for (const std::string& other : otherNames) addName(names_, seen, other, NameKind::name);
}

AppEntry::AppEntry(std::string id, std::string path, std::string displayName,
                   const std::vector<OtherName>& otherNames, bool madeForCurrentDesktop)
    : id_(std::move(id)),
      path_(std::move(path)),
      displayName_(std::move(displayName)),
      madeForCurrentDesktop_(madeForCurrentDesktop) {
  SeenNames seen;
  addName(names_, seen, displayName_, NameKind::name);
  for (const OtherName& other : otherNames) addName(names_, seen, other.text, other.kind);
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
  seed = jolstrand::combine(seed, hashText(name.initials));
  return jolstrand::combine(seed, static_cast<std::size_t>(name.kind));
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
  return jolstrand::combine(seed, entry.madeForCurrentDesktop() ? 1 : 0);
}
