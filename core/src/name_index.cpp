#include "name_index.hpp"

namespace jolstrand::detail {

NameIndex::NameIndex(const std::vector<AppEntry>& entries) {
  std::size_t characterCount = 0;
  std::size_t wordCount = 0;
  std::size_t nameCount = 0;
  for (const AppEntry& entry : entries) {
    for (const SearchName& name : entry.names()) {
      characterCount += name.folded.size();
      for (const Characters& word : name.words) characterCount += word.size();
      wordCount += name.words.size();
      ++nameCount;
    }
  }
  // Reserved in full first: the views below must never see a reallocation.
  characters_.reserve(characterCount);
  words_.reserve(wordCount);
  names_.reserve(nameCount);
  kinds_.reserve(nameCount);
  firstName_.reserve(entries.size() + 1);
  masks_.reserve(entries.size());
  otherDesktop_.reserve(entries.size());

  const auto store = [&](const Characters& text, std::uint64_t& mask) {
    const Character* start = characters_.data() + characters_.size();
    for (const Character c : text) mask |= bitOf(c);
    characters_.insert(characters_.end(), text.begin(), text.end());
    return CharactersView(start, text.size());
  };
  for (const AppEntry& entry : entries) {
    firstName_.push_back(static_cast<std::uint32_t>(names_.size()));
    std::uint64_t entryMask = 0;
    for (const SearchName& name : entry.names()) {
      std::uint64_t mask = 0;
      const CharactersView folded = store(name.folded, mask);
      const std::size_t firstWord = words_.size();
      std::uint64_t wordStarts = 0;
      for (const Characters& word : name.words) {
        words_.push_back(store(word, mask));
        wordStarts |= bitOf(word.front());
      }
      names_.push_back(
          {folded, std::span(words_).subspan(firstWord, name.words.size()), mask, wordStarts});
      kinds_.push_back(name.kind);
      kinded_ = kinded_ || name.kind != NameKind::name;
      entryMask |= mask;
    }
    masks_.push_back(entryMask);
    otherDesktop_.push_back(entry.madeForCurrentDesktop() ? 0 : 1);
    kinded_ = kinded_ || entry.madeForCurrentDesktop();
  }
  firstName_.push_back(static_cast<std::uint32_t>(names_.size()));
}

}  // namespace jolstrand::detail
