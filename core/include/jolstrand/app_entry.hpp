#pragma once
// One catalogue application and the searchable forms of its names. Both types are immutable
// values, prepared once when built so that matching only compares stored characters; they may
// be shared freely between threads.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "jolstrand/text.hpp"

namespace jolstrand {

/// One name in searchable form.
struct SearchName {
  /// Builds the folded form, the folded words and their initials of a name.
  explicit SearchName(std::string_view name);

  Characters folded;              ///< the whole name after fold, spaces and punctuation kept
  std::vector<Characters> words;  ///< the name's words, each folded; none is empty
  Characters initials;            ///< the first character of each word

  friend bool operator==(const SearchName&, const SearchName&) = default;
};

/// One installed application.
class AppEntry {
 public:
  /// Stores id, path and display name unchanged and prepares every distinct name: the display
  /// name first, then the other names in order, leaving out names that fold to nothing or to
  /// the folded form of an earlier one.
  AppEntry(std::string id, std::string path, std::string displayName,
           const std::vector<std::string>& otherNames = {});

  /// The identity: the key of the launch history, unique within a catalogue.
  [[nodiscard]] const std::string& id() const { return id_; }
  /// The bundle's absolute path.
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const std::string& displayName() const { return displayName_; }
  /// Every distinct searchable name; possibly empty.
  [[nodiscard]] const std::vector<SearchName>& names() const { return names_; }

  /// A copy with another id; nothing else is recomputed.
  [[nodiscard]] AppEntry withID(std::string id) const;

  friend bool operator==(const AppEntry&, const AppEntry&) = default;

 private:
  std::string id_;
  std::string path_;
  std::string displayName_;
  std::vector<SearchName> names_;
};

}  // namespace jolstrand

template <>
struct std::hash<jolstrand::SearchName> {
  std::size_t operator()(const jolstrand::SearchName& name) const noexcept;
};

template <>
struct std::hash<jolstrand::AppEntry> {
  std::size_t operator()(const jolstrand::AppEntry& entry) const noexcept;
};
