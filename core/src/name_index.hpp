#pragma once
// The prepared names of a whole catalogue laid out contiguously, with a bit mask of the
// characters of each entry, so that a search runs through memory in order and skips at once the
// entries that lack a character of the query. Built once per catalogue; immutable afterwards.

#include <cstdint>
#include <span>
#include <vector>

#include "jolstrand/app_entry.hpp"

namespace jolstrand::detail {

struct IndexedName {
  CharactersView folded;
  std::span<const CharactersView> words;
  std::uint64_t mask;        ///< one bit for each character of the name and its words
  std::uint64_t wordStarts;  ///< one bit for the first character of each word
};

class NameIndex {
 public:
  explicit NameIndex(const std::vector<AppEntry>& entries);
  NameIndex(const NameIndex&) = delete;  // the views point into this object's own storage
  NameIndex& operator=(const NameIndex&) = delete;

  [[nodiscard]] std::span<const IndexedName> names(std::size_t entry) const {
    return std::span(names_).subspan(firstName_[entry], firstName_[entry + 1] - firstName_[entry]);
  }

  /// The kinds of the entry's names, in the same order; kept apart from the names, whose scan
  /// most names leave at their masks.
  [[nodiscard]] std::span<const NameKind> kinds(std::size_t entry) const {
    return std::span(kinds_).subspan(firstName_[entry], firstName_[entry + 1] - firstName_[entry]);
  }

  /// The masks of all the entry's names together.
  [[nodiscard]] std::uint64_t mask(std::size_t entry) const { return masks_[entry]; }
  /// Whether some name is not of the kind `name`, or some entry is made for the current desktop.
  [[nodiscard]] bool kinded() const { return kinded_; }
  /// Whether the entry is not made for the current desktop (as every bundle).
  [[nodiscard]] bool otherDesktop(std::size_t entry) const { return otherDesktop_[entry] != 0; }

  /// A character's bit in the masks: lower-case ASCII letters and digits have bits of their
  /// own (nearly every name is made of them), every other character is hashed to the rest.
  [[nodiscard]] static std::uint64_t bitOf(Character c) {
    if (c >= U'a' && c <= U'z') return std::uint64_t{1} << (c - U'a');
    if (c >= U'0' && c <= U'9') return std::uint64_t{1} << (26 + c - U'0');
    return std::uint64_t{1} << (36 + (c * 0x9E3779B1U) % 28);
  }

 private:
  std::vector<Character> characters_;
  std::vector<CharactersView> words_;
  std::vector<IndexedName> names_;
  std::vector<NameKind> kinds_;
  std::vector<std::uint32_t> firstName_;  // per entry, then one past the last name
  std::vector<std::uint64_t> masks_;
  std::vector<std::uint8_t> otherDesktop_;
  bool kinded_ = false;
};

}  // namespace jolstrand::detail
